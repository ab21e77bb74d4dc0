// A save changes a file's content and nothing else about it: not what kind of file it
// is, not its other names, not its owner, nor who may write it.
#include "imaging/picture/WorkspaceFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "runtime/Exceptions.h"
#include "support/Pictures.h"
#include "support/TempFolder.h"

namespace mirth {
namespace {

namespace fs = std::filesystem;
using testing::RandomBitmap;

class Saving : public testing::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        // What a fresh save of the picture writes, to compare the saved files with.
        SaveWorkingBitmap(*picture_, PathOf("expected.bmp"));
        expected_ = Contents(PathOf("expected.bmp"));
        fs::remove(PathOf("expected.bmp"));
    }

    static struct stat Info(const std::string& path)
    {
        struct stat info {};
        ::lstat(path.c_str(), &info);
        return info;
    }

    // The message the save failed with, or "" when it did not.
    std::string SaveFailure(const std::string& path)
    {
        try {
            SaveWorkingBitmap(*picture_, path);
            return "";
        } catch (const Exception& e) {
            return e.Message();
        }
    }

    static size_t FilesIn(const fs::path& folder)
    {
        return size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    std::unique_ptr<TBitmap> picture_ = RandomBitmap(20, 12, 3);
    std::string expected_;
};

// Permission bits do not bind root, as whom the tests usually run: there the checks run
// in a child process that has become the user "nobody". Returns the failures the checks
// reported ("" when they all held), or nothing when there is no such user to become.
std::optional<std::string> AsAUser(const std::function<void(std::string&)>& checks)
{
    std::string failures;
    if (::geteuid() != 0) {
        checks(failures);
        return failures;
    }
    const passwd* nobody = ::getpwnam("nobody");
    int report[2];
    if (nobody == nullptr || ::pipe(report) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
            failures = "cannot become nobody";
        else
            checks(failures);
        (void)!::write(report[1], failures.data(), failures.size());
        ::_exit(0);
    }
    ::close(report[1]);
    char buffer[512];
    for (ssize_t n; (n = ::read(report[0], buffer, sizeof buffer)) > 0;)
        failures.append(buffer, size_t(n));
    ::close(report[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status))
        failures += "the child process died";
    return failures;
}

// Gives a file or folder to the user the checks run as.
void GiveToTheUser(const std::string& path)
{
    if (const passwd* nobody = ::getpwnam("nobody"); nobody != nullptr && ::geteuid() == 0) {
        ASSERT_EQ(::chown(path.c_str(), nobody->pw_uid, nobody->pw_gid), 0) << path;
    }
}

void Check(std::string& failures, bool held, const std::string& what)
{
    if (!held)
        failures += what + "\n";
}

TEST_F(Saving, AsAUserTheFilesPermissionsDecideAndNothingElseChanges)
{
    // A folder the user may write and one they may not, each with files of the user's.
    fs::permissions(dir_, fs::perms(0755));
    const std::string own = PathOf("own"), closed = PathOf("closed");
    fs::create_directory(own);
    fs::create_directory(closed);
    GiveToTheUser(own);
    const std::string readOnly = own + "/read-only.jpg", kept = own + "/kept.bmp", inClosed = closed + "/mine.bmp";
    for (const auto& [path, mode] : {std::pair(readOnly, 0444), std::pair(kept, 0640), std::pair(inClosed, 0644)}) {
        std::ofstream(path) << "old";
        GiveToTheUser(path);
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    }
    fs::permissions(closed, fs::perms(0555));
    const ino_t closedInode = Info(inClosed).st_ino;

    const auto failures = AsAUser([&](std::string& failures) {
        const std::string readOnlyFailure = SaveFailure(readOnly);
        Check(failures, readOnlyFailure == "Cannot create file \"" + readOnly + "\". Permission denied",
              "a read-only file: " + readOnlyFailure);
        Check(failures, Contents(readOnly) == "old" && FilesIn(own) == 2, "the read-only file changed");

        Check(failures, SaveFailure(kept).empty() && Contents(kept) == expected_, "a writable file did not save");
        Check(failures, (Info(kept).st_mode & 07777) == 0640, "the saved file lost its permission bits");

        const std::string closedFailure = SaveFailure(inClosed);
        Check(failures, closedFailure.empty(), "a writable file in a closed folder: " + closedFailure);
        Check(failures, Contents(inClosed) == expected_ && Info(inClosed).st_ino == closedInode,
              "a writable file in a closed folder was not written in place");
    });
    fs::permissions(closed, fs::perms(0755));
    if (!failures)
        GTEST_SKIP() << "running as root without a user \"nobody\" to become, so permissions cannot be tried";
    EXPECT_EQ(*failures, "");
}

TEST_F(Saving, FifosLinksOwnersAndLongestNamesStayWhatTheyWere)
{
    // A save into a FIFO goes to its reader; with no reader it fails at once.
    const std::string fifo = PathOf("pipe.bmp");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(SaveFailure(fifo), "Cannot create file \"" + fifo + "\". No such device or address");
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(SaveFailure(fifo), "");  // small enough for the pipe's buffer
    std::string received(expected_.size() + 1, '\0');
    received.resize(size_t(std::max<ssize_t>(::read(reader, received.data(), received.size()), 0)));
    ::close(reader);
    EXPECT_EQ(received, expected_);
    EXPECT_TRUE(S_ISFIFO(Info(fifo).st_mode));

    // A device takes the bytes and stays a device, where the process may make one.
    const std::string device = PathOf("null.bmp");
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0) {
        EXPECT_EQ(SaveFailure(device), "");
        EXPECT_TRUE(S_ISCHR(Info(device).st_mode));
    }

    // Both names of a file with two see the new picture.
    const std::string first = Write("first.bmp", {'o', 'l', 'd'}), second = PathOf("second.bmp");
    fs::create_hard_link(first, second);
    EXPECT_EQ(SaveFailure(first), "");
    EXPECT_EQ(Contents(second), expected_);
    EXPECT_EQ(Info(first).st_nlink, 2u);

    // A replaced file keeps its owner, group and permission bits where the process may
    // give them.
    if (const passwd* nobody = ::getpwnam("nobody"); nobody != nullptr && ::geteuid() == 0) {
        const std::string theirs = Write("theirs.bmp", {'o', 'l', 'd'});
        ASSERT_EQ(::chown(theirs.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        ASSERT_EQ(::chmod(theirs.c_str(), 0604), 0);
        EXPECT_EQ(SaveFailure(theirs), "");
        EXPECT_EQ(Contents(theirs), expected_);
        EXPECT_EQ(Info(theirs).st_uid, nobody->pw_uid);
        EXPECT_EQ(Info(theirs).st_gid, nobody->pw_gid);
        EXPECT_EQ(Info(theirs).st_mode & 07777, 0604u);
    }

    // Names up to the longest a folder takes save, afresh and over an earlier save, and
    // leave nothing beside them.
    const size_t filesBefore = FilesIn(dir_);
    for (size_t length : {248u, 255u}) {
        const std::string name = PathOf(std::string(length - 4, 'n') + ".bmp");
        EXPECT_EQ(SaveFailure(name), "") << length;
        EXPECT_EQ(SaveFailure(name), "") << length;
        EXPECT_EQ(Contents(name), expected_) << length;
    }
    EXPECT_EQ(FilesIn(dir_), filesBefore + 2);
}

} // namespace
} // namespace mirth
