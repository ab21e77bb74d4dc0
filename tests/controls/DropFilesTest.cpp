#include "controls/DropFiles.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "runtime/Exceptions.h"
#include "support/QtTesting.h"
#include "support/TempFolder.h"

namespace mirth {
namespace {

namespace fs = std::filesystem;
using testing::RecordedNotices;

// Refuses files with one extension.
class ExtensionFilter : public TDropFileFilter {
public:
    explicit ExtensionFilter(std::string refused) : refused_(std::move(refused)) {}
    bool Accept(const std::string& path, bool isFolder) override
    {
        return isFolder || fs::path(path).extension() != refused_;
    }

private:
    std::string refused_;
};

class FormDrop : public testing::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        form.setObjectName("Form1");
        form.resize(400, 300);
        label = new QLabel("picture", &form);
        label->setGeometry(20, 30, 100, 50);
        target = new TFormDropFiles(&form);
        target->setObjectName("FormDropFiles1");
        target->OnBeforeDrop = [this](TObject* sender) {
            EXPECT_EQ(sender, target);
            events.push_back("before");
        };
        target->OnDropFiles = [this](TObject* sender) {
            EXPECT_EQ(sender, target);
            events.push_back("drop " + std::to_string(target->DroppedCount()));
        };
    }
    std::string Make(const std::string& name)
    {
        const fs::path path = dir_ / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << name;
        return path.string();
    }
    std::string Folder(const std::string& name)
    {
        fs::create_directories(dir_ / name);
        return (dir_ / name).string();
    }

    // Drags the paths over `widget` and drops them at `at`, as the desktop does, offering to
    // copy or move them; the action the drop was answered with, none when it was refused.
    static Qt::DropAction DragAndDrop(QWidget* widget, QPoint at, const std::vector<std::string>& paths,
                                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& path : paths)
            urls.append(QUrl::fromLocalFile(QString::fromStdString(path)));
        data.setUrls(urls);
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(widget, &enter);
        if (!enter.isAccepted())
            return Qt::IgnoreAction;
        QDropEvent drop(at, offered, &data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(widget, &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }

    std::vector<std::string> Dropped() const
    {
        std::vector<std::string> paths;
        for (int i = 0; i < target->DroppedCount(); ++i)
            paths.push_back(target->DroppedFiles(i));
        return paths;
    }

    QWidget form;
    QLabel* label;
    TFormDropFiles* target;
    std::vector<std::string> events;
};

using Paths = std::vector<std::string>;

TEST_F(FormDrop, CollectsDroppedFilesInOrderWhereverTheyLand)
{
    const Paths files{Make("c.jpg"), Make("a.bmp"), Make("b.png")};
    ASSERT_TRUE(DragAndDrop(label, QPoint(5, 7), files));
    EXPECT_EQ(Dropped(), files);
    EXPECT_EQ(target->FirstDroppedFile(), files[0]);
    EXPECT_EQ(target->DropPosition(), QPoint(25, 37));
    EXPECT_EQ(events, (Paths{"before", "drop 3"}));
}

// The program only reads dropped files: a source proposing to move them must not be told
// it may delete them.
TEST_F(FormDrop, AnswersEveryDropAsACopy)
{
    const std::string file = Make("a.bmp");
    EXPECT_EQ(DragAndDrop(label, QPoint(1, 1), {file}, Qt::ShiftModifier), Qt::CopyAction);
    EXPECT_EQ(target->FirstDroppedFile(), file);
}

TEST_F(FormDrop, OnlyFilesMeansDroppedFoldersAreLeftOut)
{
    target->SetOptions({dfoIncFiles});
    ASSERT_TRUE(DragAndDrop(&form, QPoint(200, 100), {Folder("pictures")}));
    EXPECT_EQ(target->DroppedCount(), 0);
    EXPECT_EQ(target->FirstDroppedFile(), "");
    EXPECT_EQ(events, (Paths{"before", "drop 0"}));
}

TEST_F(FormDrop, RecursionListsEachFolderBeforeItsContentsDepthFirst)
{
    const std::string top = Folder("top");
    Make("top/x.bmp");
    Make("top/sub/y.jpg");
    Make("top/z.txt");
    Folder("top/sub/empty");
    target->SetOptions({dfoIncFolders, dfoIncFiles, dfoRecurseFolders});
    ASSERT_TRUE(DragAndDrop(&form, QPoint(1, 1), {top + "/", Make("loose.bmp")}));
    EXPECT_EQ(Dropped(), (Paths{top + "/", top + "/sub", top + "/sub/empty", top + "/sub/y.jpg", top + "/x.bmp",
                                top + "/z.txt", (dir_ / "loose.bmp").string()}));
    EXPECT_TRUE(target->DroppedFileIsFolder(1));
    EXPECT_FALSE(target->DroppedFileIsFolder(3));
    EXPECT_THROW(target->DroppedFiles(7), Exception);
}

TEST_F(FormDrop, AFolderLinkingBackIsListedButNotEnteredAgain)
{
    const std::string top = Folder("top");
    Make("top/a.bmp");
    fs::create_directory_symlink(top, dir_ / "top" / "back");
    target->SetOptions({dfoIncFolders, dfoIncFiles, dfoRecurseFolders});
    ASSERT_TRUE(DragAndDrop(&form, QPoint(1, 1), {top}));
    EXPECT_EQ(Dropped(), (Paths{top, top + "/a.bmp", top + "/back"}));
}

TEST_F(FormDrop, TheFilterComponentVetoesFirstAndTheHandlerAfterIt)
{
    ExtensionFilter filter(".txt");
    target->SetFilter(&filter);
    Paths asked;
    target->OnFileFilter = [&](TObject* sender, const std::string& path, bool isFolder, bool& accept) {
        EXPECT_EQ(sender, target);
        EXPECT_TRUE(accept);
        asked.push_back(path);
        if (isFolder)
            accept = false;
    };
    const Paths files{Make("a.txt"), Folder("f"), Make("b.bmp")};
    ASSERT_TRUE(DragAndDrop(&form, QPoint(1, 1), files));
    EXPECT_EQ(asked, (Paths{files[1], files[2]}));
    EXPECT_EQ(Dropped(), (Paths{files[2]}));
}

TEST_F(FormDrop, ForgetsAFilterThatGoesAway)
{
    {
        ExtensionFilter filter(".txt");
        target->SetFilter(&filter);
    }
    EXPECT_EQ(target->Filter(), nullptr);
    ASSERT_TRUE(DragAndDrop(&form, QPoint(1, 1), {Make("a.txt")}));
    EXPECT_EQ(target->DroppedCount(), 1);
}

TEST_F(FormDrop, DisabledTheFormRefusesDrops)
{
    target->SetEnabled(false);
    EXPECT_FALSE(form.acceptDrops());
    EXPECT_FALSE(DragAndDrop(label, QPoint(1, 1), {Make("a.bmp")}));
    TDropFilesEvent request({{Make("b.bmp")}, QPoint()}, 0);
    QApplication::sendEvent(&form, &request);
    EXPECT_EQ(request.Result(), 1);
    EXPECT_TRUE(events.empty());
    target->SetEnabled(true);
    EXPECT_TRUE(DragAndDrop(label, QPoint(1, 1), {Make("a.bmp")}));
}

TEST_F(FormDrop, TheRegisteredRequestCarriesItsOwnPosition)
{
    EXPECT_EQ(TDropFilesEvent::EventType(), TDropFilesEvent::EventType());
    EXPECT_GE(TDropFilesEvent::EventType(), QEvent::User);
    const std::string file = Make("a.bmp");
    TDropFilesEvent request({{file}, QPoint(9, 9)}, PackDropPosition(-5, 300));
    QApplication::sendEvent(&form, &request);
    EXPECT_EQ(request.Result(), 1);
    EXPECT_EQ(target->DropPosition(), QPoint(-5, 300));
    EXPECT_EQ(target->FirstDroppedFile(), file);
    EXPECT_EQ(UnpackDropPosition(PackDropPosition(-32768, 32767)), QPoint(-32768, 32767));
}

TEST_F(FormDrop, AFailingHandlerIsReportedAndTheNextDropWorks)
{
    RecordedNotices notices;
    target->OnDropFiles = [](TObject*) { throw EInvalidGraphic("Bitmap image is not valid"); };
    ASSERT_TRUE(DragAndDrop(&form, QPoint(1, 1), {Make("a.bmp")}));
    ASSERT_EQ(notices.Reports().size(), 1u);
    EXPECT_EQ(notices.Reports()[0].text, "Bitmap image is not valid.");
    TDropFilesEvent request({{Make("a.bmp")}, QPoint()}, 0);
    QApplication::sendEvent(&form, &request);
    EXPECT_EQ(request.Result(), 0);
    EXPECT_EQ(notices.Reports().size(), 2u);
    target->OnDropFiles = nullptr;
    ASSERT_TRUE(DragAndDrop(&form, QPoint(1, 1), {Make("b.bmp")}));
    EXPECT_EQ(target->FirstDroppedFile(), (dir_ / "b.bmp").string());
}

TEST_F(FormDrop, GoingAwayStopsTheFormAcceptingDrops)
{
    delete target;
    EXPECT_FALSE(form.acceptDrops());
    EXPECT_FALSE(DragAndDrop(label, QPoint(1, 1), {Make("a.bmp")}));
    // A new one may take its place.
    auto* again = new TFormDropFiles(&form);
    EXPECT_TRUE(form.acceptDrops());
    EXPECT_EQ(again->parent(), &form);
}

TEST(FormDropFiles, BelongsToAFormOnlyAndOnlyOnce)
{
    QWidget form;
    form.setObjectName("Form1");
    QWidget panel(&form);
    for (QObject* owner : {static_cast<QObject*>(&panel), static_cast<QObject*>(nullptr)}) {
        try {
            TFormDropFiles wrong(owner);
            FAIL();
        } catch (const Exception& error) {
            EXPECT_STREQ(error.what(), "TFormDropFiles owner must be a form");
        }
    }
    auto* first = new TFormDropFiles(&form);
    first->setObjectName("FormDropFiles1");
    const int children = form.children().size();
    try {
        TFormDropFiles second(&form);
        FAIL();
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(),
                     "Only one TFormDropFiles component is permitted on a form: FormDropFiles1 is already present on Form1");
    }
    EXPECT_EQ(form.children().size(), children);
    EXPECT_TRUE(first->Enabled());
    EXPECT_FALSE(first->ForegroundOnDrop());
    EXPECT_EQ(first->Options(), (TDropFilesOptions{dfoIncFolders, dfoIncFiles}));
}

} // namespace
} // namespace mirth
