#include "runtime/Streams.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "runtime/Exceptions.h"
#include "runtime/ReplacingFileStream.h"
#include "support/TempFolder.h"

namespace mirth {
namespace {

namespace fs = std::filesystem;

class TempDir : public testing::TempFolderTest {};

TEST(MemoryStream, ReadWriteSeekAndShortReads)
{
    TMemoryStream stream;
    stream.WriteBuffer("abcdef", 6);
    EXPECT_EQ(stream.Size(), 6);
    stream.SetPosition(2);
    char two[2];
    stream.ReadBuffer(two, 2);
    EXPECT_EQ(std::string(two, 2), "cd");
    char more[4];
    EXPECT_EQ(stream.Read(more, 4), 2);
    stream.SetPosition(5);
    try {
        stream.ReadBuffer(more, 2);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    stream.SetPosition(8);  // writing past the end fills the gap
    stream.WriteBuffer("z", 1);
    EXPECT_EQ(stream.Size(), 9);
    EXPECT_EQ(stream.Bytes()[6], 0);
}

TEST_F(TempDir, OpenAndCreateFailuresNameTheFile)
{
    const std::string missing = PathOf("missing.bmp");
    try {
        TFileStream file(missing, TFileMode::OpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message().rfind("Cannot open file \"" + missing + "\". ", 0), 0u) << e.Message();
    }
    const std::string nowhere = PathOf("no/such/dir.bmp");
    try {
        TFileStream file(nowhere, TFileMode::Create);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message().rfind("Cannot create file \"" + nowhere + "\". ", 0), 0u) << e.Message();
    }
    EXPECT_THROW(TReplacingFileStream{nowhere}, EFCreateError);
    EXPECT_THROW((TFileStream{dir_.string(), TFileMode::OpenRead}), EFOpenError);
}

TEST_F(TempDir, ReplacingStreamKeepsTheOldFileUntilCommit)
{
    const std::string target = PathOf("picture.bmp");
    std::ofstream(target) << "old";
    {
        TReplacingFileStream stream(target);
        stream.WriteBuffer("new!", 4);
        EXPECT_EQ(Contents(target), "old");
    }  // abandoned: a failure part-way leaves the old file
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
    {
        TReplacingFileStream stream(target);
        stream.WriteBuffer("new!", 4);
        stream.Commit();
    }
    EXPECT_EQ(Contents(target), "new!");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(TempDir, ReplacingStreamWritesThroughALink)
{
    const std::string real = PathOf("real.bmp"), link = PathOf("link.bmp");
    std::ofstream(real) << "old";
    fs::create_symlink(real, link);
    TMemoryStream bytes(std::vector<uint8_t>{'n', 'e', 'w'});
    bytes.SaveToFile(link);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Contents(real), "new");

    // A link to a file not made yet makes it.
    const std::string unmade = PathOf("unmade.bmp"), ahead = PathOf("ahead.bmp");
    fs::create_symlink(unmade, ahead);
    bytes.SaveToFile(ahead);
    EXPECT_TRUE(fs::is_symlink(ahead));
    EXPECT_EQ(Contents(unmade), "new");
}

TEST(Format, FillsTheTemplates)
{
    EXPECT_EQ(Format("Cannot assign a %s to a %s", std::string("TJPEGImage"), "TBitmap"),
              "Cannot assign a TJPEGImage to a TBitmap");
    EXPECT_EQ(Format("JPEG error #%d", 42), "JPEG error #42");
}

} // namespace
} // namespace mirth
