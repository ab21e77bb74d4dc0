#include "runtime/ReplacingFileStream.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/Exceptions.h"

namespace mirth {

struct TReplacingFileStream::Plan {
    int handle = -1;
    int folder = -1;  // -1: the handle is the target itself
    std::string hidden, name;
};

namespace {

// A symbolic link is written through, as a plain create would, rather than replaced; a
// link that leads nowhere yet gives nothing to replace.
bool ResolveLink(std::string& path)
{
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return true;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return false;
    path = resolved;
    std::free(resolved);
    return true;
}

bool MayWrite(int folder, const char* name) { return ::faccessat(folder, name, W_OK, AT_EACCESS) == 0; }

// In a folder with the sticky bit only the file's owner, the folder's owner or root may
// put another file in the file's place.
bool MayRenameOver(const struct stat& folder, const struct stat& file)
{
    const uid_t me = ::geteuid();
    return (folder.st_mode & S_ISVTX) == 0 || me == 0 || me == file.st_uid || me == folder.st_uid;
}

// Whether the target may go through a hidden file without anything but its content
// changing. Anything unclear says no: writing in place is what a plain create does.
bool ReplaceableTarget(int folder, const std::string& name)
{
    struct stat folderInfo {}, info {};
    if (name.empty() || ::fstat(folder, &folderInfo) != 0 || !MayWrite(folder, "."))
        return false;
    if (::fstatat(folder, name.c_str(), &info, 0) != 0)
        return errno == ENOENT;
    return S_ISREG(info.st_mode) && info.st_nlink == 1 && MayWrite(folder, name.c_str()) &&
           MayRenameOver(folderInfo, info);
}

// ".NAME.XXXXXX" with six random letters or digits, NAME cut so that the whole stays
// within the folder's longest name: a target of the longest legal name saves too.
std::string HiddenName(int folder, const std::string& name)
{
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static constexpr size_t kAdded = 8;  // the two dots and the six letters
    const long longest = ::fpathconf(folder, _PC_NAME_MAX);
    const size_t room = (longest > long(kAdded) ? size_t(longest) : size_t(NAME_MAX)) - kAdded;
    std::string hidden = "." + name.substr(0, room) + ".";
    std::random_device random;
    std::uniform_int_distribution<size_t> letter(0, sizeof kLetters - 2);
    for (int i = 0; i < 6; ++i)
        hidden += kLetters[letter(random)];
    return hidden;
}

// The hidden file, with the permission bits of the file it will replace (or those a new
// file gets) and, where the process may, its owner and group.
int CreateHidden(int folder, const std::string& name, std::string& hidden)
{
    int handle = -1;
    for (int attempt = 0; attempt < 100 && handle < 0; ++attempt) {
        hidden = HiddenName(folder, name);
        handle = ::openat(folder, hidden.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (handle < 0 && errno != EEXIST)
            return -1;
    }
    struct stat old {};
    if (handle >= 0 && ::fstatat(folder, name.c_str(), &old, 0) == 0) {
        // Owner first: giving a file away clears its set-user and set-group bits.
        if (::fchown(handle, old.st_uid, old.st_gid) != 0)
            (void)::fchown(handle, static_cast<uid_t>(-1), old.st_gid);
        ::fchmod(handle, old.st_mode & 07777);
    }
    return handle;
}

std::pair<std::string, std::string> FolderAndName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

} // namespace

TReplacingFileStream::Plan TReplacingFileStream::Prepare(const std::string& path)
{
    std::string target = path;
    if (ResolveLink(target)) {
        const auto [folderPath, name] = FolderAndName(target);
        // The folder is held open, so the hidden file is made, renamed and removed by its
        // name alone, and a long path never grows past the system's limit.
        Plan plan{-1, ::open(folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC), "", name};
        if (plan.folder >= 0 && ReplaceableTarget(plan.folder, name)) {
            plan.handle = CreateHidden(plan.folder, name, plan.hidden);
            if (plan.handle >= 0)
                return plan;
            const int error = errno;
            ::close(plan.folder);
            FailCreate(path, error);
        }
        if (plan.folder >= 0)
            ::close(plan.folder);
    }
    return Plan{CreateOrTruncate(path), -1, "", ""};
}

TReplacingFileStream::TReplacingFileStream(const std::string& path) : TReplacingFileStream(path, Prepare(path)) {}

TReplacingFileStream::TReplacingFileStream(const std::string& path, Plan plan)
    : TFileStream(plan.handle, path), folder_(plan.folder), hidden_(std::move(plan.hidden)), name_(std::move(plan.name))
{
}

TReplacingFileStream::~TReplacingFileStream()
{
    if (folder_ < 0)
        return;
    if (!committed_) {
        CloseHandle();
        ::unlinkat(folder_, hidden_.c_str(), 0);
    }
    ::close(folder_);
}

void TReplacingFileStream::Commit()
{
    committed_ = true;  // from here on the hidden file becomes the target or goes
    // A file system may report a failed write only when the file closes; the target must
    // then stay as it was.
    const bool written = CloseHandle();
    if (folder_ < 0) {
        if (!written)
            FailWrite();
        return;
    }
    if (!written) {
        ::unlinkat(folder_, hidden_.c_str(), 0);
        FailWrite();
    }
    if (::renameat(folder_, hidden_.c_str(), folder_, name_.c_str()) != 0) {
        const int error = errno;
        ::unlinkat(folder_, hidden_.c_str(), 0);
        FailCreate(FileName(), error);
    }
}

} // namespace mirth
