// What a user can get wrong, or the machine can refuse, ends in a message or a beep and
// never costs the picture being worked on.
#include <sys/resource.h>

#include <csignal>

#include "support/JpegStreams.h"
#include "support/Pictures.h"
#include "support/WindowTesting.h"

namespace mirth {
namespace {

using testing::PixelBytes;
using testing::RandomBitmap;
using testing::WindowTest;

// A disk that fills up after `bytes`: writes past it fail as on a full disk, instead of
// the process being stopped.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_{};
    void (*previousHandler_)(int);
};

TEST_F(WindowTest, FailedLoadsAndSavesNeverCostThePictureBeingWorkedOn)
{
    auto photo = RandomBitmap(200, 150);
    Load("photo.bmp", *photo);
    Press({100, 75}); // unsaved work: a lens
    Release({100, 75});
    const std::vector<uint8_t> working = PixelBytes(form->Working());
    const std::vector<uint8_t> reference = PixelBytes(form->Reference());
    auto expectUnchanged = [&](const char* after) {
        EXPECT_EQ(PixelBytes(form->Working()), working) << after;
        EXPECT_EQ(PixelBytes(form->Reference()), reference) << after;
    };

    const std::string broken = Write("broken.jpg", testing::UndecodableJpeg(*RandomBitmap(40, 40, 9)));
    Answer(broken);
    Key(Qt::Key_L, Qt::ControlModifier);
    ASSERT_EQ(notices.Reports().size(), 1u);
    EXPECT_EQ(notices.Reports()[0].icon, TMessageIcon::Error);
    expectUnchanged("a load that fails to decode");
    Drop({broken});
    EXPECT_EQ(notices.Beeps(), 1);
    expectUnchanged("a drop that fails to decode");

    // Chosen in the dialog, gone before it is read.
    Answer(SaveBmp("vanishing.bmp", *photo));
    std::filesystem::remove(PathOf("vanishing.bmp"));
    Key(Qt::Key_L, Qt::ControlModifier);
    ASSERT_EQ(notices.Reports().size(), 2u);
    EXPECT_EQ(notices.Reports()[1].icon, TMessageIcon::None);
    expectUnchanged("a load of a vanished file");

    // The disk fills up while a save replaces an earlier one: the earlier file survives
    // whole, and nothing half-written is left beside it.
    const std::string earlier = SaveBmp("earlier.bmp", *RandomBitmap(10, 10, 5));
    const std::string earlierBytes = Contents(earlier);
    const auto filesBefore = std::distance(std::filesystem::directory_iterator(dir_), {});
    {
        FileSizeLimit full(4096);
        Answer(earlier);
        Key(Qt::Key_S, Qt::ControlModifier);
    }
    ASSERT_EQ(notices.Reports().size(), 3u);
    EXPECT_EQ(notices.Reports()[2].icon, TMessageIcon::Error);
    EXPECT_EQ(Contents(earlier), earlierBytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), filesBefore);
    expectUnchanged("a save onto a full disk");
}

} // namespace
} // namespace mirth
