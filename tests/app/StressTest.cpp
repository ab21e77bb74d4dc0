// Thousands of random user actions on the real window, reproducible from a seed. After
// every action the workspace must still make sense; a failure prints the seed and the
// shortest list of actions that still breaks it.
#include <QAction>
#include <QCheckBox>
#include <QPushButton>

#include <csignal>
#include <cstdio>
#include <functional>
#include <random>
#include <sstream>

#include "controls/Slider.h"
#include "controls/SpinEdit.h"
#include "imaging/picture/ClipboardBinding.h"
#include "imaging/bitmap/Graphic.h"
#include "imaging/picture/WorkspaceFiles.h"
#include "support/JpegStreams.h"
#include "support/Pictures.h"
#include "support/WindowTesting.h"

// Present only in sanitized builds.
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace mirth {
namespace {

using testing::RandomBitmap;

struct Action {
    int kind;
    int a, b, c;
};

enum Kind {
    kPress, kRelease, kMove, kWheel, kMenu, kShortcut, kButton, kTyping, kMorphTick, kAnimationTick,
    kDrop, kPaste, kLoad, kSave, kThumbClick, kSliderKey, kPanelDoubleClick, kKinds
};

const char* const kKindNames[] = {"press", "release", "move", "wheel", "menu", "shortcut", "button", "typing",
                                  "morph tick", "animation tick", "drop", "paste", "load", "save",
                                  "thumbnail click", "slider key", "panel double-click"};

// Runs work as an event, the way menu clicks and timer ticks arrive, so that a failure
// meets the application's error report rather than the test.
void ThroughEventLoop(const std::function<void()>& work)
{
    QMetaObject::invokeMethod(qApp, work, Qt::QueuedConnection);
    QCoreApplication::processEvents();
}

std::string Describe(const Action& action)
{
    std::ostringstream text;
    text << kKindNames[action.kind] << " " << action.a << " " << action.b << " " << action.c;
    return text.str();
}

// The last run's actions, for a crash that ends the process before the test can report.
std::string& RunningLog()
{
    static std::string log;
    return log;
}

unsigned runningSeed = 0;

void ReportDeath()
{
    std::fprintf(stderr, "stress seed %u died after these actions:\n%s", runningSeed, RunningLog().c_str());
}

// Says what led to a crash, whether a sanitizer or a signal ends the process.
void ReportDeathsOf(unsigned seed)
{
    runningSeed = seed;
    if (__sanitizer_set_death_callback != nullptr)
        __sanitizer_set_death_callback(ReportDeath);
    for (int signal : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS})
        std::signal(signal, [](int number) {
            ReportDeath();
            std::signal(number, SIG_DFL);
            std::raise(number);
        });
}

class Stress : public testing::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        MakeFiles();
    }

    void MakeFiles()
    {
        good_ = SaveBmp("good.bmp", *RandomBitmap(60, 40, 11));
        SaveBmp("SHOUTED.BMP", *RandomBitmap(30, 50, 12));
        Write("good.jpg", testing::MakeJpeg(*RandomBitmap(50, 70, 13)));
        std::vector<uint8_t> bytes = testing::MakeJpeg(*RandomBitmap(40, 40, 14));
        bytes.resize(bytes.size() / 2);
        Write("cut.jpg", bytes);
        const std::string goodBytes = Contents(good_);
        std::vector<uint8_t> bmp(goodBytes.begin(), goodBytes.end());
        bmp.resize(bmp.size() / 3);
        Write("cut.bmp", bmp);
        Write("picture.gif", {'G', 'I', 'F', '8', '9', 'a'});
        Write("zero.bmp", {});
        SaveWorkingBitmap(*RandomBitmap(35, 45, 15), PathOf("good.png"));
        SaveWorkingBitmap(*RandomBitmap(45, 35, 16), PathOf("good.webp"));
        const std::string pngBytes = Contents(PathOf("good.png"));
        Write("cut.png", std::vector<uint8_t>(pngBytes.begin(), pngBytes.begin() + pngBytes.size() / 2));
    }

    std::string FileFor(int choice) const
    {
        static const char* const names[] = {"good.bmp", "SHOUTED.BMP", "good.jpg", "cut.jpg", "cut.bmp",
                                            "picture.gif", "zero.bmp", "missing.bmp", "good.png", "good.webp",
                                            "cut.png"};
        return PathOf(names[choice % std::size(names)]);
    }

    QPoint PointFor(int a) const { return QPoint(a % 160 - 20, (a / 160) % 120 - 20); }

    static Qt::KeyboardModifiers ModifiersFor(int c)
    {
        static const Qt::KeyboardModifiers choices[] = {Qt::NoModifier, Qt::ControlModifier, Qt::AltModifier,
                                                        Qt::ControlModifier | Qt::AltModifier};
        return choices[c % 4];
    }

    static Qt::MouseButton ButtonFor(int b)
    {
        static const Qt::MouseButton choices[] = {Qt::LeftButton, Qt::LeftButton, Qt::MiddleButton, Qt::RightButton};
        return choices[b % 4];
    }

    void Perform(const Action& action);
    void PutOnClipboard(int choice);

    // Empty when the workspace still makes sense, else what is wrong.
    std::string Broken();

    // The index of the first action after which the workspace no longer makes sense, or -1.
    int Run(const std::vector<Action>& actions);
    void FreshWindow()
    {
        form = std::make_unique<TForm1>();
        form->show();
    }
    std::vector<Action> Shortest(std::vector<Action> actions);

    std::string good_;
};

void Stress::PutOnClipboard(int choice)
{
    ClipboardBinding& clipboard = SystemClipboardBinding();
    if (!clipboard.Open())
        return;
    clipboard.Empty();
    std::vector<uint8_t> bytes;
    if (choice % 3 == 0) {
        const std::string file = Contents(good_);
        bytes.assign(file.begin(), file.end());
    } else if (choice % 3 == 1) {
        const std::string file = Contents(FileFor(choice / 3));
        bytes.assign(file.begin(), file.end());
    }
    if (!bytes.empty())
        clipboard.SetData(cfBitmap, bytes);
    clipboard.Close();
}

void Stress::Perform(const Action& action)
{
    QAction* const shortcuts[] = {form->Load1, form->Reload1, form->Save1, form->Rotate1, form->CounterRotate1,
                                  form->Copy1, form->Paste1, form->Keep1, form->Undo1, form->Stretch1,
                                  form->Resize1};
    // Every item but "EXIT" and "About", which would end the run or start another program.
    QAction* const menu[] = {form->Load1, form->Reload1, form->Save1, form->Rotate1, form->CounterRotate1,
                             form->Copy1, form->Paste1, form->Keep1, form->Undo1, form->Stretch1,
                             form->Resize1, form->Blend1, form->Animate1, form->ShowThumbs1, form->DeleteThumbs1};
    QPushButton* const buttons[] = {form->Button1, form->Button2, form->Button4, form->Button3};
    const int a = action.a, b = action.b, c = action.c;
    switch (action.kind) {
    case kPress: Press(PointFor(a), ButtonFor(b), ModifiersFor(c)); break;
    case kRelease: Release(PointFor(a), ButtonFor(b), ModifiersFor(c)); break;
    case kMove: Move(PointFor(a), ModifiersFor(c)); break;
    case kWheel: Wheel(form->Image1, b % 2 == 0, ModifiersFor(c)); break;
    case kMenu: ThroughEventLoop([&] { menu[a % std::size(menu)]->trigger(); }); break;
    case kShortcut: Key(static_cast<Qt::Key>(shortcuts[a % 11]->shortcut()[0].key()), Qt::ControlModifier); break;
    case kButton: QTest::mouseClick(buttons[a % 4], Qt::LeftButton); break;
    case kTyping: {
        TSpinEdit* editor = b % 2 == 0 ? form->SpinEdit1 : form->SpinEdit2;
        static const char* const texts[] = {"0", "5", "50", "150", "900", "12345", "x", "-", ""};
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, texts[a % std::size(texts)]);
        if (c % 2 == 0)
            QTest::keyClick(editor, c % 4 == 0 ? Qt::Key_Up : Qt::Key_Down);
        break;
    }
    case kMorphTick:
        if (form->Timer1.Enabled())
            ThroughEventLoop([&] { form->Timer1.Tick(); });
        break;
    case kAnimationTick:
        if (form->Timer2.Enabled())
            ThroughEventLoop([&] { form->Timer2.Tick(); });
        break;
    case kDrop: Drop({FileFor(a), FileFor(b)}); break;
    case kPaste:
        PutOnClipboard(a);
        Key(Qt::Key_V, Qt::ControlModifier);
        break;
    case kLoad:
        Answer(a % 9 == 8 ? std::nullopt : std::optional<std::string>(FileFor(a)));
        Key(b % 2 == 0 ? Qt::Key_L : Qt::Key_R, Qt::ControlModifier);
        break;
    case kSave: {
        static const char* const names[] = {"saved.bmp", "saved.JPG", "saved", "no-such-folder/saved.bmp",
                                            "saved.png", "saved.webp"};
        Answer(PathOf(names[a % std::size(names)]));
        Key(Qt::Key_S, Qt::ControlModifier);
        break;
    }
    case kThumbClick: {
        const QList<TImage*> thumbs = form->ThumbStrip->findChildren<TImage*>(Qt::FindDirectChildrenOnly);
        if (!thumbs.isEmpty())
            QTest::mouseClick(thumbs[a % thumbs.size()], Qt::LeftButton, {}, QPoint(2, 2));
        break;
    }
    case kSliderKey: {
        static const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp};
        form->Slider1->setFocus();
        QTest::keyClick(form->Slider1, keys[a % 5]);
        break;
    }
    case kPanelDoubleClick: QTest::mouseDClick(form->Panel1, Qt::LeftButton, {}, QPoint(420, 10)); break;
    }
}

std::string Stress::Broken()
{
    for (TImage* view : {form->Image1, form->Image2}) {
        TBitmap& picture = view->Picture().AsBitmap();
        if (!picture.Empty() && picture.PixelLayout() != pl24Bit)
            return "a picture left the 24-bit layout";
    }
    int thumbs = 0;
    for (QObject* child : form->ThumbStrip->children()) {
        if (!child->isWidgetType())
            continue;
        if (dynamic_cast<TImage*>(child) == nullptr)
            return "the strip holds something that is not a thumbnail";
        ++thumbs;
    }
    const int count = form->Workspace.ThumbCount;
    if (count != thumbs)
        return "ThumbCount is " + std::to_string(count) + " with " + std::to_string(thumbs) + " thumbnails";
    return "";
}

int Stress::Run(const std::vector<Action>& actions)
{
    RunningLog().clear();
    for (size_t k = 0; k < actions.size(); ++k) {
        RunningLog() += "  " + Describe(actions[k]) + "\n";
        Perform(actions[k]);
        if (!Broken().empty())
            return static_cast<int>(k);
    }
    return -1;
}

// Drops runs of actions, halving the run length, as long as what is left still fails.
std::vector<Action> Stress::Shortest(std::vector<Action> actions)
{
    auto failsAfresh = [this](const std::vector<Action>& candidate) {
        FreshWindow();
        return Run(candidate) >= 0;
    };
    for (size_t run = actions.size() / 2; run >= 1; run /= 2) {
        for (size_t start = 0; start + run <= actions.size();) {
            std::vector<Action> candidate(actions.begin(), actions.begin() + long(start));
            candidate.insert(candidate.end(), actions.begin() + long(start + run), actions.end());
            if (failsAfresh(candidate))
                actions = candidate;
            else
                start += run;
        }
    }
    return actions;
}

int EnvironmentNumber(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr ? std::atoi(text) : fallback;
}

TEST_F(Stress, RandomUserActionsLeaveASaneWorkspace)
{
    // One seed from the environment reproduces a run; by default a few fixed ones.
    const int given = EnvironmentNumber("MIRTH_STRESS_SEED", 0);
    const int count = EnvironmentNumber("MIRTH_STRESS_ACTIONS", 2500);
    std::vector<unsigned> seeds{1, 2, 3, 20261208};
    if (given != 0)
        seeds = {unsigned(given)};
    for (unsigned seed : seeds) {
        ReportDeathsOf(seed);
        std::mt19937 random(seed);
        std::vector<Action> actions;
        for (int k = 0; k < count; ++k)
            actions.push_back({int(random() % kKinds), int(random() % 20000), int(random() % 1000),
                               int(random() % 1000)});
        FreshWindow();
        const int failed = Run(actions);
        if (failed < 0)
            continue;
        const std::string what = Broken();
        actions.resize(size_t(failed) + 1);
        std::string shortest;
        for (const Action& action : Shortest(actions))
            shortest += "  " + Describe(action) + "\n";
        FAIL() << "seed " << seed << ": " << what << " after these actions:\n" << shortest;
    }
}

} // namespace
} // namespace mirth
