// The public BMP conformance suite: good, questionable and bad files from the wild.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "BmpFile.h"
#include "imaging/bitmap/Bitmap.h"
#include "runtime/Exceptions.h"
#include "support/Pictures.h"

namespace mirth {
namespace {

namespace fs = std::filesystem;
using testing::LoadBytes;
using testing::PixelBytes;
using testing::SavedBytes;

// Beside the clone, as in CI; MIRTH_BMP_SUITE points elsewhere for a checkout that has it apart.
const fs::path kSuite = std::getenv("MIRTH_BMP_SUITE") ? fs::path(std::getenv("MIRTH_BMP_SUITE"))
                                                       : fs::path(MIRTH_SOURCE_DIR "/../shared/corpus/bmpsuite");

class BmpSuite : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::is_directory(kSuite))
            GTEST_SKIP() << "the BMP suite is not at " << kSuite;
    }

    // The file's picture in 24 bits.
    static std::unique_ptr<TBitmap> Picture(const std::string& name)
    {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->LoadFile((kSuite / name).string());
        bitmap->SetPixelLayout(pl24Bit);
        return bitmap;
    }

    // The largest difference of one channel byte between two equally sized pictures.
    static int LargestDifference(const TBitmap& a, const TBitmap& b)
    {
        const auto x = PixelBytes(a), y = PixelBytes(b);
        EXPECT_EQ(x.size(), y.size());
        int largest = 0;
        for (size_t i = 0; i < std::min(x.size(), y.size()); ++i)
            largest = std::max(largest, std::abs(x[i] - y[i]));
        return largest;
    }
};

TEST_F(BmpSuite, EveryFileLoadsOrFailsWithOneOfTheSystemsMessages)
{
    const std::set<std::string> messages = {"Bitmap image is not valid", "Stream read error"};
    int files = 0;
    for (const char* folder : {"g", "q", "b", "x"}) {
        for (const auto& entry : fs::directory_iterator(kSuite / folder)) {
            const std::string name = std::string(folder) + "/" + entry.path().filename().string();
            ++files;
            TBitmap bitmap;
            try {
                bitmap.LoadFile(entry.path().string());
            } catch (const Exception& e) {
                EXPECT_NE(folder, std::string("g")) << name << ": " << e.Message();
                EXPECT_TRUE(messages.count(e.Message())) << name << ": " << e.Message();
                continue;
            }
            // Whatever loads survives the workspace's road: 24 bits, saved, reloaded.
            bitmap.SetPixelLayout(pl24Bit);
            const std::vector<uint8_t> saved = SavedBytes(bitmap);
            TBitmap reloaded;
            LoadBytes(reloaded, saved);
            EXPECT_EQ(PixelBytes(reloaded), PixelBytes(bitmap)) << name;
            EXPECT_EQ(SavedBytes(reloaded), saved) << name;
        }
    }
    EXPECT_GE(files, 90);
}

TEST_F(BmpSuite, EncodingsOfOnePictureDecodeToTheSamePixels)
{
    const std::map<std::string, std::vector<std::string>> sameAs = {
        {"g/rgb24.bmp",
         {"g/rgb24pal.bmp", "g/rgb32.bmp", "g/rgb32bf.bmp", "g/rgb32bfdef.bmp", "q/rgb24largepal.bmp",
          "q/rgb24lprof.bmp", "q/rgb24prof.bmp", "q/rgb32-xbgr.bmp", "q/rgb32fakealpha.bmp", "q/rgb32h52.bmp"}},
        // The 8-bit picture is the same drawing reduced to 252 colours.
        {"g/pal8.bmp",
         {"g/pal8-0.bmp", "g/pal8os2.bmp", "g/pal8rle.bmp", "g/pal8topdown.bmp", "g/pal8v4.bmp", "g/pal8v5.bmp",
          "q/pal8os2-hs.bmp", "q/pal8os2-sz.bmp", "q/pal8os2v2.bmp", "q/pal8os2v2-16.bmp",
          "q/pal8os2v2-40sz.bmp", "q/pal8os2v2-sz.bmp", "q/pal8oversizepal.bmp"}},
        {"g/pal4.bmp", {"g/pal4rle.bmp"}},
        {"g/pal1.bmp", {"g/pal1wb.bmp"}},
    };
    for (const auto& [reference, others] : sameAs) {
        const auto expected = PixelBytes(*Picture(reference));
        for (const std::string& name : others)
            EXPECT_EQ(PixelBytes(*Picture(name)), expected) << name;
    }
}

TEST_F(BmpSuite, FewerBitsPerChannelStayWithinTheirQuantum)
{
    const auto reference = Picture("g/rgb24.bmp");
    // Five bits a channel lose at most 7 of 8; wide channels only round.
    const std::pair<const char*, int> files[] = {
        {"g/rgb16.bmp", 7},           {"g/rgb16bfdef.bmp", 7}, {"g/rgb16-565.bmp", 7},
        {"g/rgb16-565pal.bmp", 7},    {"q/rgb16faketrns.bmp", 7}, {"q/rgba16-5551.bmp", 7},
        {"q/rgb32-111110.bmp", 1},    {"q/rgb32-7187.bmp", 1},
    };
    for (const auto& [name, quantum] : files)
        EXPECT_LE(LargestDifference(*Picture(name), *reference), quantum) << name;
    // Full channels must widen to full white, not to 248.
    const auto white = Picture("g/rgb16.bmp");
    const std::vector<uint8_t> fullWhite{255, 255, 255};
    for (int32_t y = 0; y < reference->Height(); ++y) {
        for (int32_t x = 0; x < reference->Width(); ++x) {
            if (testing::Pixel(*reference, x, y) == fullWhite) {
                EXPECT_EQ(testing::Pixel(*white, x, y), fullWhite);
            }
        }
    }
}

TEST_F(BmpSuite, VariantsKeepTheDrawing)
{
    const auto pal8 = Picture("g/pal8.bmp");
    for (const char* name : {"g/pal8w124.bmp", "g/pal8w125.bmp", "g/pal8w126.bmp"}) {
        const auto crop = Picture(name);  // the top-left part of the standard picture
        for (int32_t y = 0; y < crop->Height(); ++y)
            ASSERT_TRUE(std::equal(crop->ReadOnlyRow(y), crop->ReadOnlyRow(y) + 3 * crop->Width(),
                                   pal8->ReadOnlyRow(y)))
                << name << " row " << y;
    }
    EXPECT_EQ(Picture("g/pal8nonsquare.bmp")->Height(), 32);

    for (const char* name : {"g/pal4gs.bmp", "g/pal8gs.bmp"}) {
        const auto grey = PixelBytes(*Picture(name));
        for (size_t i = 0; i < grey.size(); i += 3)
            ASSERT_TRUE(grey[i] == grey[i + 1] && grey[i + 1] == grey[i + 2]) << name;
    }

    // Other colours, same pattern: each colour of one picture maps to one of the other.
    const auto black = PixelBytes(*Picture("g/pal1.bmp")), coloured = PixelBytes(*Picture("g/pal1bg.bmp"));
    std::map<std::vector<uint8_t>, std::vector<uint8_t>> mapping;
    for (size_t i = 0; i < black.size(); i += 3) {
        auto [at, added] = mapping.emplace(std::vector<uint8_t>(&black[i], &black[i + 3]),
                                           std::vector<uint8_t>(&coloured[i], &coloured[i + 3]));
        ASSERT_EQ(at->second, std::vector<uint8_t>(&coloured[i], &coloured[i + 3]));
    }
    EXPECT_EQ(mapping.size(), 2u);
}

TEST_F(BmpSuite, SkippedAndMissingPixelsAreBlackAndTheRestIsTheDrawing)
{
    const std::pair<const char*, const char*> files[] = {
        {"q/pal8rletrns.bmp", "g/pal8.bmp"}, {"q/pal8rlecut.bmp", "g/pal8.bmp"},
        {"q/pal4rletrns.bmp", "g/pal4.bmp"}, {"q/pal4rlecut.bmp", "g/pal4.bmp"},
        {"b/shortfile.bmp", "g/pal1.bmp"},
    };
    for (const auto& [name, reference] : files) {
        const auto picture = PixelBytes(*Picture(name)), expected = PixelBytes(*Picture(reference));
        ASSERT_EQ(picture.size(), expected.size());
        int black = 0;
        for (size_t i = 0; i < picture.size(); i += 3) {
            const bool same = std::equal(&picture[i], &picture[i + 3], &expected[i]);
            const bool isBlack = picture[i] == 0 && picture[i + 1] == 0 && picture[i + 2] == 0;
            ASSERT_TRUE(same || isBlack) << name << " byte " << i;
            black += isBlack && !same;
        }
        EXPECT_GT(black, 0) << name;
    }
}

} // namespace
} // namespace mirth
