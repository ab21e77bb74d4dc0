#include "controls/SpinEdit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>
#include <limits>

#include "framework/AccessibleEvents.h"
#include "framework/Application.h"
#include "runtime/IntegerConversion.h"

namespace mirth {
namespace {

constexpr int kButtonWidth = 15;

// Key presses that change the text without typing a character.
bool DeletesText(QKeyEvent* event)
{
    return event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete ||
           event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
           event->matches(QKeySequence::DeleteStartOfWord) || event->matches(QKeySequence::DeleteEndOfWord) ||
           event->matches(QKeySequence::DeleteEndOfLine) || event->matches(QKeySequence::DeleteCompleteLine);
}

// Whether a widget around `widget` has an action with this key as its shortcut, one that
// works while the focus is inside that widget.
bool ShortcutAround(const QWidget& widget, const QKeyEvent& event)
{
    const QKeySequence key(event.keyCombination());
    for (const QWidget* around = widget.parentWidget(); around; around = around->parentWidget()) {
        for (const QAction* action : around->actions())
            if (action->shortcutContext() != Qt::WidgetShortcut && action->shortcuts().contains(key))
                return true;
        if (around->isWindow())
            break;
    }
    return false;
}

// Whether the user entered or left the control. Another window, a message box or a context
// menu only borrows the focus, and gives it back when it goes: a half-typed value ("15" on
// the way to "150") must neither be bounded then nor selected away on the return.
bool EntersOrLeaves(const QFocusEvent& event)
{
    return event.reason() != Qt::ActiveWindowFocusReason && event.reason() != Qt::PopupFocusReason;
}

} // namespace

TSpinEdit::TSpinEdit(QWidget* parent) : QLineEdit(QStringLiteral("0"), parent)
{
    button_ = new TSpinButton(this);
    button_->SetFocusControl(this);
    button_->OnUpClick = [this](TObject*) { UpClick(); };
    button_->OnDownClick = [this](TObject*) { DownClick(); };
    // At the form's 41 pixels three digits need every pixel the button leaves: the style's
    // frame must not pad the text (it is drawn over the edge instead), and the line edit's
    // own margin keeps the text clear of the button.
    setFrame(false);
    setTextMargins(0, 0, kButtonWidth, 0);
    // Text dragged in would bypass the character rules, and leaving drops alone lets files
    // dropped here reach the window.
    setAcceptDrops(false);
    const QFontMetrics metrics = fontMetrics();
    setMinimumHeight(4 + metrics.height() + metrics.height() / 4 + 2);
    connect(this, &QLineEdit::textChanged, [this] {
        AnnounceValue(this, Value());
        if (OnChange)
            OnChange(this);
    });
}

int32_t TSpinEdit::Value() const
{
    return TextToInt(text().toStdString()).value_or(minValue_);
}

int32_t TSpinEdit::Bounded(int64_t value) const
{
    if (minValue_ != maxValue_)
        value = std::max<int64_t>(std::min<int64_t>(value, maxValue_), minValue_);
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

void TSpinEdit::SetValue(int32_t value)
{
    const QString formatted = QString::number(Bounded(value));
    if (formatted != text())
        setText(formatted);
}

void TSpinEdit::Step(int64_t delta)
{
    if (isReadOnly())
        Beep();
    else
        SetValue(Bounded(int64_t{Value()} + delta));
}

void TSpinEdit::UpClick()
{
    Step(increment_);
}

void TSpinEdit::DownClick()
{
    Step(-int64_t{increment_});
}

bool TSpinEdit::CharacterAllowed(QChar c) const
{
    const char16_t code = c.unicode();
    if (code == 13)
        return false;
    if (!editorEnabled_ && (code >= 32 || code == 8))
        return false;
    return code < 32 || c == u'+' || c == u'-' || (code >= u'0' && code <= u'9') ||
           QString(c) == QLocale().decimalPoint();
}

// The line edit claims Copy, Paste and other Ctrl+letter editing keys before any shortcut
// is looked up. The window's commands work wherever the focus is in it, so their keys are
// left to the window.
bool TSpinEdit::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && ShortcutAround(*this, *static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    return QLineEdit::event(event);
}

void TSpinEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        event->key() == Qt::Key_Up ? UpClick() : DownClick();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)) {
        if (TextChangesAllowed())
            QLineEdit::keyPressEvent(event);
        else
            event->accept();
        return;
    }
    if (!editorEnabled_ && DeletesText(event)) {
        Beep();
        event->accept();
        return;
    }
    const QString typed = event->text();
    // Delete arrives with a DEL character, which is a key, not typing.
    const bool typing = !typed.isEmpty() && event->key() != Qt::Key_Delete;
    if (typing && !std::all_of(typed.begin(), typed.end(), [this](QChar c) { return CharacterAllowed(c); })) {
        Beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TSpinEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const QString committed = event->commitString();
    if (!std::all_of(committed.begin(), committed.end(), [this](QChar c) { return CharacterAllowed(c); })) {
        Beep();
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void TSpinEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The middle button pastes the selection on some desktops.
    if (event->button() == Qt::MiddleButton && !TextChangesAllowed()) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TSpinEdit::contextMenuEvent(QContextMenuEvent* event)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction* action : menu->actions()) {
        const QString name = action->objectName();
        if (!TextChangesAllowed() && (name == u"edit-paste" || name == u"edit-cut"))
            action->setEnabled(false);
        if (!editorEnabled_ && (name == u"edit-delete" || name == u"edit-undo" || name == u"edit-redo"))
            action->setEnabled(false);
    }
    menu->exec(event->globalPos());
}

void TSpinEdit::focusInEvent(QFocusEvent* event)
{
    const bool hadSelection = hasSelectedText();
    QLineEdit::focusInEvent(event);
    if (!EntersOrLeaves(*event))
        return;
    if (autoSelect_ && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        selectAll();
    else if (!autoSelect_ && !hadSelection)
        deselect();  // the line edit selects on its own when tabbed into
}

void TSpinEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (!EntersOrLeaves(*event))
        return;
    const int32_t value = Value();
    if (Bounded(value) != value)
        SetValue(value);
}

void TSpinEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    button_->setGeometry(width() - kButtonWidth, 1, kButtonWidth, height() - 3);
}

void TSpinEdit::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    QStyleOptionFrame frame;
    initStyleOption(&frame);
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_FrameLineEdit, &frame, &painter, this);
}

} // namespace mirth
