#include "controls/DropFiles.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <filesystem>

#include "framework/Application.h"
#include "runtime/Exceptions.h"

namespace mirth {

namespace fs = std::filesystem;

TDropFilesEvent::TDropFilesEvent(TDrop drop, uint32_t position)
    : QEvent(EventType()), drop_(std::move(drop)), position_(position)
{
}

QEvent::Type TDropFilesEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

uint32_t PackDropPosition(int x, int y)
{
    return uint32_t{static_cast<uint16_t>(x)} | uint32_t{static_cast<uint16_t>(y)} << 16;
}

QPoint UnpackDropPosition(uint32_t position)
{
    return QPoint(static_cast<int16_t>(position & 0xFFFF), static_cast<int16_t>(position >> 16));
}

void TAbstractDropFilesHelper::AfterDrop()
{
    QWidget* control = DropControl();
    if (foregroundOnDrop && control) {
        control->raise();
        control->activateWindow();
    }
    if (owner_->OnDropFiles)
        owner_->OnDropFiles(owner_);
}

void TAbstractDropFilesHelper::BeforeDrop()
{
    if (owner_->OnBeforeDrop)
        owner_->OnBeforeDrop(owner_);
}

void TAbstractDropFilesHelper::Collect(const TDrop& drop)
{
    dropped.clear();
    std::vector<std::string> openFolders;
    for (const std::string& path : drop.paths)
        AddPath(path, openFolders);
    dropPosition = drop.point;
}

void TAbstractDropFilesHelper::AddPath(const std::string& path, std::vector<std::string>& openFolders)
{
    std::error_code error;
    if (!fs::is_directory(path, error)) {
        if (options.Contains(dfoIncFiles) && Accepted(path, false))
            dropped.push_back({path, false});
        return;
    }
    if (options.Contains(dfoIncFolders) && Accepted(path, true))
        dropped.push_back({path, true});
    if (options.Contains(dfoRecurseFolders))
        AddFolderContents(path, openFolders);
}

// Depth-first, entries in name order. A folder that links back to one being expanded is
// listed but not entered again, which would never end.
void TAbstractDropFilesHelper::AddFolderContents(const std::string& folder, std::vector<std::string>& openFolders)
{
    std::error_code error;
    const std::string identity = fs::canonical(folder, error).string();
    if (error || std::find(openFolders.begin(), openFolders.end(), identity) != openFolders.end())
        return;
    std::vector<std::string> names;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    if (error)
        return;
    std::sort(names.begin(), names.end());
    const std::string prefix = folder.ends_with('/') ? folder : folder + "/";
    openFolders.push_back(identity);
    for (const std::string& name : names)
        AddPath(prefix + name, openFolders);
    openFolders.pop_back();
}

bool TAbstractDropFilesHelper::Accepted(const std::string& path, bool isFolder)
{
    bool accept = filter ? filter->Accept(path, isFolder) : true;
    if (accept && owner_->OnFileFilter)
        owner_->OnFileFilter(owner_, path, isFolder, accept);
    return accept;
}

TSubClassedDropFiles::TSubClassedDropFiles(QObject* owner) : QObject(owner) {}

TSubClassedDropFiles::~TSubClassedDropFiles() = default;

void TSubClassedDropFiles::CreateHelper()
{
    helper_ = MakeHelper();
}

void TSubClassedDropFiles::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    EnabledChanged();
}

const TAbstractDropFilesHelper::TDroppedPath& TSubClassedDropFiles::Dropped(int index) const
{
    if (index < 0 || index >= DroppedCount())
        throw Exception(Format("List index out of bounds (%d)", index));
    return helper_->dropped[static_cast<size_t>(index)];
}

const std::string& TSubClassedDropFiles::DroppedFiles(int index) const
{
    return Dropped(index).path;
}

bool TSubClassedDropFiles::DroppedFileIsFolder(int index) const
{
    return Dropped(index).isFolder;
}

std::string TSubClassedDropFiles::FirstDroppedFile() const
{
    return helper_->dropped.empty() ? std::string() : helper_->dropped.front().path;
}

QWidget* TFormDropFilesHelper::DropControl() const
{
    return qobject_cast<QWidget*>(Owner()->parent());
}

namespace {

QObject* RequireForm(QObject* owner)
{
    auto* form = qobject_cast<QWidget*>(owner);
    if (!form || !form->isWindow())
        throw Exception("TFormDropFiles owner must be a form");
    for (QObject* child : form->children())
        if (dynamic_cast<TFormDropFiles*>(child))
            throw Exception(Format("Only one TFormDropFiles component is permitted on a form: %s is already present on %s",
                                   child->objectName().toStdString(), form->objectName().toStdString()));
    return form;
}

std::vector<std::string> LocalPaths(const QMimeData* data)
{
    std::vector<std::string> paths;
    if (data)
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    return paths;
}

// Mirthlens only reads what is dropped. Answering with the proposed action would tell a
// source proposing Move (a Shift-drag from a file manager) that it may delete the original.
void AnswerCopy(QDropEvent& event)
{
    event.setDropAction(Qt::CopyAction);
    event.accept();
}

} // namespace

TFormDropFiles::TFormDropFiles(QObject* owner) : TSubClassedDropFiles(RequireForm(owner))
{
    CreateHelper();
    form_ = static_cast<QWidget*>(owner);
    form_->installEventFilter(this);
    form_->setAcceptDrops(Enabled());
}

TFormDropFiles::~TFormDropFiles()
{
    if (form_) {
        form_->removeEventFilter(this);
        form_->setAcceptDrops(false);
    }
}

std::unique_ptr<TAbstractDropFilesHelper> TFormDropFiles::MakeHelper()
{
    return std::make_unique<TFormDropFilesHelper>(this);
}

void TFormDropFiles::EnabledChanged()
{
    if (form_)
        form_->setAcceptDrops(Enabled());
}

bool TFormDropFiles::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != form_)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!Enabled() || !(drag->possibleActions() & Qt::CopyAction) || LocalPaths(drag->mimeData()).empty())
            return false;
        AnswerCopy(*drag);
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        AnswerCopy(*drop);
        if (Enabled())
            HandleDrop({LocalPaths(drop->mimeData()), drop->position().toPoint()}, std::nullopt);
        return true;
    }
    default:
        if (event->type() != TDropFilesEvent::EventType())
            return false;
        auto* request = static_cast<TDropFilesEvent*>(event);
        if (!Enabled() || HandleDrop(request->Drop(), request->Position()))
            request->SetResult(1);
        return true;
    }
}

bool TFormDropFiles::HandleDrop(const TDrop& drop, std::optional<uint32_t> packedPosition)
{
    try {
        Helper().BeforeDrop();
        Helper().Collect(drop);
        if (packedPosition)
            Helper().dropPosition = UnpackDropPosition(*packedPosition);
        Helper().AfterDrop();
        return true;
    } catch (const Exception& error) {
        ShowException(error);
        return false;
    }
}

} // namespace mirth
