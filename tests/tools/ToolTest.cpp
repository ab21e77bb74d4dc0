// Runs the built command-line tool on pictures it made itself.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/AnimationFiles.h"
#include "support/JpegStreams.h"
#include "support/TempFolder.h"

namespace mirth {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

class Tool : public testing::TempFolderTest {
protected:
    Outcome Run(const std::string& arguments) const
    {
        const std::string out = PathOf("stdout"), err = PathOf("stderr");
        const std::string command = std::string("'") + MIRTH_TOOL_PATH + "' " + arguments + " >'" + out +
                                    "' 2>'" + err + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Contents(out), Contents(err)};
    }

    // A JPEG picture of the given size in the test folder.
    std::string Picture(const std::string& name, int32_t width, int32_t height, bool progressive = false) const
    {
        Write(name, testing::MakeJpeg(*testing::GradientBitmap(width, height), {.progressive = progressive}));
        return PathOf(name);
    }
};

// The first value of the first quantization table: 13 at quality 60.
int FirstQuantValue(const std::string& bytes)
{
    const size_t at = bytes.find("\xFF\xDB");
    return at == std::string::npos ? -1 : static_cast<uint8_t>(bytes[at + 5]);
}

TEST_F(Tool, ConvertSavesAJpegAsTheWindowDoesForAnyCaseOfJpg)
{
    const std::string in = Picture("in.jpg", 40, 30, true);
    ASSERT_EQ(Run("convert " + in + " " + PathOf("out.JPG")).code, 0);
    const std::string saved = Contents(PathOf("out.JPG"));
    EXPECT_EQ(FirstQuantValue(saved), 13);
    const auto decoded = testing::DecodeJpeg(std::vector<uint8_t>(saved.begin(), saved.end()));
    EXPECT_EQ(decoded.width, 40);
    EXPECT_EQ(decoded.height, 30);
    EXPECT_FALSE(decoded.progressive);
}

TEST_F(Tool, EffectsThatChangeNothingGiveTheConvertedBytes)
{
    const std::string first = Picture("first.jpg", 64, 48), last = Picture("last.jpg", 80, 60);
    ASSERT_EQ(Run("convert " + first + " " + PathOf("plain.jpg")).code, 0);
    // At strength 10 or less the lens is a plain copy; frame 0 of a morph is the first picture.
    ASSERT_EQ(Run("lens " + first + " " + PathOf("lens.jpg") + " --at 20,20 --strength 10").code, 0);
    ASSERT_EQ(Run("blend " + first + " " + last + " " + PathOf("blend.jpg") + " --frame 0").code, 0);
    EXPECT_EQ(Contents(PathOf("lens.jpg")), Contents(PathOf("plain.jpg")));
    EXPECT_EQ(Contents(PathOf("blend.jpg")), Contents(PathOf("plain.jpg")));

    ASSERT_EQ(Run("lens " + first + " " + PathOf("bulge.jpg") + " --at 32,24").code, 0);
    EXPECT_NE(Contents(PathOf("bulge.jpg")), Contents(PathOf("plain.jpg")));
}

TEST_F(Tool, AnyOtherNameGetsA24BitBmpThatConvertsBackUnchanged)
{
    const std::string in = Picture("in.jpg", 41, 23);
    ASSERT_EQ(Run("convert " + in + " " + PathOf("out.tiff")).code, 0);
    ASSERT_EQ(Run("convert " + in + " " + PathOf("out")).code, 0);
    const std::string bmp = Contents(PathOf("out"));
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<uint8_t>(bmp[28]), 24);  // bits per pixel
    EXPECT_EQ(Contents(PathOf("out.tiff")), bmp);

    fs::rename(PathOf("out"), PathOf("out.bmp"));
    ASSERT_EQ(Run("convert " + PathOf("out.bmp") + " " + PathOf("again.bmp")).code, 0);
    EXPECT_EQ(Contents(PathOf("again.bmp")), bmp);
}

TEST_F(Tool, ConvertCarriesAPictureThroughPngWebpAndBackAsTheWindowWould)
{
    const std::string in = Picture("in.jpg", 41, 23);
    ASSERT_EQ(Run("convert " + in + " " + PathOf("start.bmp")).code, 0);
    ASSERT_EQ(Run("convert " + PathOf("start.bmp") + " " + PathOf("lossless.PNG")).code, 0);
    EXPECT_EQ(Contents(PathOf("lossless.PNG")).substr(1, 3), "PNG");
    ASSERT_EQ(Run("convert " + PathOf("lossless.PNG") + " " + PathOf("back.bmp")).code, 0);
    EXPECT_EQ(Contents(PathOf("back.bmp")), Contents(PathOf("start.bmp")));

    ASSERT_EQ(Run("convert " + PathOf("lossless.PNG") + " " + PathOf("web.webp")).code, 0);
    EXPECT_EQ(Contents(PathOf("web.webp")).substr(8, 4), "WEBP");
    ASSERT_EQ(Run("rotate cw " + PathOf("web.webp") + " " + PathOf("turned.jfif")).code, 0);
    const std::string saved = Contents(PathOf("turned.jfif"));
    const auto decoded = testing::DecodeJpeg(std::vector<uint8_t>(saved.begin(), saved.end()));
    EXPECT_EQ(decoded.width, 23);
    EXPECT_EQ(decoded.height, 41);
}

TEST_F(Tool, RotatingBothWaysGivesBackTheSameBmp)
{
    const std::string in = Picture("in.jpg", 41, 23);
    ASSERT_EQ(Run("convert " + in + " " + PathOf("start.bmp")).code, 0);
    ASSERT_EQ(Run("rotate cw " + PathOf("start.bmp") + " " + PathOf("cw.bmp")).code, 0);
    ASSERT_EQ(Run("rotate ccw " + PathOf("cw.bmp") + " " + PathOf("back.bmp")).code, 0);
    EXPECT_NE(Contents(PathOf("cw.bmp")), Contents(PathOf("start.bmp")));
    EXPECT_EQ(Contents(PathOf("back.bmp")), Contents(PathOf("start.bmp")));
}

TEST_F(Tool, RotateTurnsThePicture)
{
    const std::string in = Picture("in.jpg", 40, 30);
    ASSERT_EQ(Run("rotate cw " + in + " " + PathOf("cw.jpg")).code, 0);
    const std::string saved = Contents(PathOf("cw.jpg"));
    const auto decoded = testing::DecodeJpeg(std::vector<uint8_t>(saved.begin(), saved.end()));
    EXPECT_EQ(decoded.width, 30);
    EXPECT_EQ(decoded.height, 40);
}

TEST_F(Tool, MorphAndAnimateWriteTheWindowsFramesAsAnimations)
{
    const std::string first = Picture("first.jpg", 64, 48), last = Picture("last.jpg", 80, 60);
    ASSERT_EQ(Run("morph " + first + " " + last + " " + PathOf("m.gif")).code, 0);
    const auto morph = testing::DecodeGif(Contents(PathOf("m.gif")));
    ASSERT_EQ(morph.frames.size(), 21u);
    EXPECT_EQ(morph.width, 64);
    EXPECT_EQ(morph.frames[20].delayMs, 200);
    EXPECT_EQ(morph.loopCount, 0);

    // Written under the name given, in the format its extension names.
    const Outcome animate = Run("animate " + PathOf("a.Webp") + " " + first + " " + last + " " + first +
                                " --interval 40 --once --max-side 32");
    ASSERT_EQ(animate.code, 0) << animate.err;
    const auto animation = testing::DecodeWebp(Contents(PathOf("a.Webp")));
    ASSERT_EQ(animation.frames.size(), 3u);
    EXPECT_EQ(animation.width, 32);
    EXPECT_EQ(animation.height, 24);
    EXPECT_EQ(animation.frames[1].delayMs, 40);
    EXPECT_EQ(animation.loopCount, 1);
    EXPECT_GT(testing::Psnr(animation.frames[0].rgb, animation.frames[2].rgb), 40);

    // A last picture smaller than the first fails before any file is made.
    const Outcome refused = Run("morph " + last + " " + first + " " + PathOf("no.gif"));
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.err, "Invalid image size\n");
    EXPECT_FALSE(fs::exists(PathOf("no.gif")));
}

TEST_F(Tool, FailuresPrintTheSystemsMessageAndExit1)
{
    Write("empty.jpg", {});
    const Outcome empty = Run("convert " + PathOf("empty.jpg") + " " + PathOf("out.jpg"));
    EXPECT_EQ(empty.code, 1);
    EXPECT_EQ(empty.err, "JPEG error #42\n");
    EXPECT_FALSE(fs::exists(PathOf("out.jpg")));

    Write("short.bmp", {'B', 'M', 1, 2, 3});
    const Outcome cut = Run("convert " + PathOf("short.bmp") + " " + PathOf("out.bmp"));
    EXPECT_EQ(cut.code, 1);
    EXPECT_EQ(cut.err, "Stream read error\n");

    const Outcome unknown = Run("convert " + PathOf("in.tiff") + " " + PathOf("out.jpg"));
    EXPECT_EQ(unknown.code, 1);
    EXPECT_EQ(unknown.err, "Unknown picture file extension (.tiff)\n");

    const std::string large = Picture("large.jpg", 64, 48), small = Picture("small.jpg", 32, 48);
    const Outcome blend = Run("blend " + large + " " + small + " " + PathOf("out.jpg") + " --frame 3");
    EXPECT_EQ(blend.code, 1);
    EXPECT_EQ(blend.err.rfind("Invalid image size", 0), 0u);
}

TEST_F(Tool, UsageErrorsPrintTheUsageAndExit2)
{
    const std::string in = Picture("in.jpg", 8, 8);
    for (const std::string& arguments : {std::string(""), "convert " + in, "lens " + in + " out.jpg",
                                        "lens " + in + " out.jpg --at 1", "rotate left " + in + " out.jpg",
                                        "blend " + in + " " + in + " out.jpg --frame 21", "paint " + in,
                                        "convert " + in + " out.jpg --strength 3", std::string("animate out.gif"),
                                        "morph " + in + " out.gif", "morph " + in + " " + in + " o.gif --max-side 0",
                                        "animate o.gif " + in + " --interval -1", "animate o.gif " + in + " --max-side x",
                                        "blend " + in + " " + in + " out.jpg --frame 2 --once"}) {
        SCOPED_TRACE(arguments);
        const Outcome outcome = Run(arguments);
        EXPECT_EQ(outcome.code, 2);
        EXPECT_EQ(outcome.err.rfind("usage:", 0), 0u);
    }
    const Outcome help = Run("--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind("usage:", 0), 0u);
}

} // namespace
} // namespace mirth
