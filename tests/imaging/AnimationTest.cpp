// Animated files written by the encoders and read back by the libraries' own decoders.
#include <gtest/gtest.h>

#include "imaging/animation/AnimatedFile.h"
#include "runtime/Exceptions.h"
#include "support/AnimationFiles.h"
#include "support/Pictures.h"
#include "support/TempFolder.h"

namespace mirth {
namespace {

using namespace testing;

// A smooth photograph-like picture; a patch of another colour where `patch` says.
std::unique_ptr<TBitmap> Scene(int32_t width, int32_t height, int patch)
{
    auto picture = RandomBitmap(width, height);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = picture->ScanRow(y);
        for (int32_t x = 0; x < width; ++x) {
            const bool inPatch = patch > 0 && x >= 10 && x < 10 + patch && y >= 5 && y < 5 + patch;
            row[3 * x] = static_cast<uint8_t>(inPatch ? 30 : 4 * x);
            row[3 * x + 1] = static_cast<uint8_t>(inPatch ? 200 : 6 * y);
            row[3 * x + 2] = static_cast<uint8_t>(inPatch ? 90 : 2 * (x + y));
        }
    }
    return picture;
}

class SceneFrames : public TFrameSource {
public:
    std::vector<std::unique_ptr<TBitmap>> frames;
    int32_t Count() const override { return static_cast<int32_t>(frames.size()); }
    int32_t Width() const override { return frames.front()->Width(); }
    int32_t Height() const override { return frames.front()->Height(); }
    std::unique_ptr<TBitmap> Frame(int32_t index) override
    {
        auto copy = std::make_unique<TBitmap>();
        copy->CopyFrom(frames[static_cast<size_t>(index)].get());
        return copy;
    }
};

class AnimatedFiles : public TempFolderTest {};

// Three frames: a scene, the scene with a patch, the same again. Each format keeps the
// size, timing and looping, and shows every frame close to its picture. WebP's encoder
// merges the repeated frame into the one before, which then lasts twice as long.
TEST_F(AnimatedFiles, BothFormatsKeepFramesTimingAndLoopingAndGifStoresOnlyWhatChanged)
{
    SceneFrames scenes;
    scenes.frames.push_back(Scene(48, 32, 0));
    scenes.frames.push_back(Scene(48, 32, 8));
    scenes.frames.push_back(Scene(48, 32, 8));
    struct Case {
        std::string name;
        TAnimationTiming timing;
        int expectedDelay;
        int expectedLoops;
        double psnrFloor;
    };
    const Case cases[] = {
        {"loop.gif", {70, true}, 70, 0, 35},
        {"once.GIF.webp", {0, false}, 20, 1, 30}, // an interval of 0 lasts the shortest delay
        {"rounded.gif", {84, false}, 80, -1, 35},  // GIF counts hundredths: 84 ms is 8
        {"loop.webp", {250, true}, 250, 0, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TAnimationFormat format = AnimationFormatOf(c.name);
        const auto bytes = EncodeAnimation(scenes, format, c.timing, [](int32_t) { return true; });
        ASSERT_TRUE(bytes);
        SaveAnimationFile(PathOf(c.name), *bytes);
        const std::string saved = Contents(PathOf(c.name));
        const DecodedAnimation decoded = format == TAnimationFormat::Gif ? DecodeGif(saved) : DecodeWebp(saved);
        const bool merged = format == TAnimationFormat::Webp;
        ASSERT_EQ(decoded.frames.size(), merged ? 2u : 3u);
        EXPECT_EQ(decoded.width, 48);
        EXPECT_EQ(decoded.height, 32);
        EXPECT_EQ(decoded.loopCount, c.expectedLoops);
        for (size_t k = 0; k < decoded.frames.size(); ++k) {
            const bool doubled = merged && k == 1;
            EXPECT_EQ(decoded.frames[k].delayMs, c.expectedDelay * (doubled ? 2 : 1)) << k;
            EXPECT_GE(Psnr(decoded.frames[k].rgb, RgbOf(*scenes.frames[k])), c.psnrFloor) << k;
        }
        if (format == TAnimationFormat::Gif) {
            const GifImageDesc& patch = decoded.gifRegions[1];
            EXPECT_EQ((std::vector<int>{patch.Left, patch.Top, patch.Width, patch.Height}),
                      (std::vector<int>{10, 5, 8, 8}));
            EXPECT_EQ(decoded.gifRegions[2].Width * decoded.gifRegions[2].Height, 1);
        }
    }
}

TEST_F(AnimatedFiles, AStopLeavesNoBytesAndAFailedWriteLeavesTheOldFile)
{
    SceneFrames scenes;
    scenes.frames.push_back(Scene(16, 16, 0));
    scenes.frames.push_back(Scene(16, 16, 4));
    std::vector<int32_t> counted;
    const auto stopped = EncodeAnimation(scenes, TAnimationFormat::Webp, {}, [&](int32_t done) {
        counted.push_back(done);
        return false;
    });
    EXPECT_FALSE(stopped);
    EXPECT_EQ(counted, std::vector<int32_t>{1});

    Write("old.gif", {1, 2, 3});
    EXPECT_THROW(SaveAnimationFile(PathOf("no such folder/new.gif"), {4, 5}), EStreamError);
    EXPECT_EQ(Contents(PathOf("old.gif")), std::string("\x01\x02\x03"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

TEST(AnimationFileNames, TheExtensionChoosesTheFormatAndOtherNamesBecomeGif)
{
    EXPECT_EQ(AnimationFormatOf("a.WebP"), TAnimationFormat::Webp);
    EXPECT_EQ(AnimationFormatOf("a.webp.gif"), TAnimationFormat::Gif);
    EXPECT_EQ(AnimationFileName("clip.Webp"), "clip.Webp");
    EXPECT_EQ(AnimationFileName("clip.GIF"), "clip.GIF");
    EXPECT_EQ(AnimationFileName("clip.png"), "clip.png.gif");
    EXPECT_EQ(AnimationFileName("my.folder/clip"), "my.folder/clip.gif");
}

} // namespace
} // namespace mirth
