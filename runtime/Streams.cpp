#include "Streams.h"

#include "Exceptions.h"
#include "ReplacingFileStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mirth {

namespace {

const char* const kReadError = "Stream read error";
const char* const kWriteError = "Stream write error";
const char* const kCannotOpen = "Cannot open file \"%s\". %s";
const char* const kCannotCreate = "Cannot create file \"%s\". %s";

std::string SystemReason(int error) { return std::strerror(error); }

} // namespace

int64_t TStream::Size()
{
    const int64_t here = Position();
    const int64_t end = Seek(0, TSeekOrigin::End);
    Seek(here, TSeekOrigin::Beginning);
    return end;
}

void TStream::ReadBuffer(void* buffer, int64_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError(kReadError);
}

void TStream::WriteBuffer(const void* buffer, int64_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        throw EWriteError(kWriteError);
}

uint32_t ReadCount32(TStream& stream)
{
    uint8_t bytes[4];
    stream.ReadBuffer(bytes, sizeof bytes);
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t(bytes[3]) << 24;
}

void WriteCount32(TStream& stream, uint32_t count)
{
    const uint8_t bytes[4] = {uint8_t(count), uint8_t(count >> 8), uint8_t(count >> 16), uint8_t(count >> 24)};
    stream.WriteBuffer(bytes, sizeof bytes);
}

int64_t TMemoryStream::Read(void* buffer, int64_t count)
{
    const int64_t available = std::max<int64_t>(0, Size() - position_);
    const int64_t n = std::clamp<int64_t>(count, 0, available);
    if (n > 0)
        std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    const int64_t end = position_ + count;
    if (end > Size())
        data_.resize(static_cast<size_t>(end));
    std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    const int64_t base = origin == TSeekOrigin::Beginning ? 0
                         : origin == TSeekOrigin::Current ? position_
                                                          : Size();
    position_ = std::max<int64_t>(0, base + offset);
    return position_;
}

void TMemoryStream::SetSize(int64_t size)
{
    data_.resize(static_cast<size_t>(std::max<int64_t>(0, size)));
    position_ = std::min(position_, Size());
}

std::vector<uint8_t> TMemoryStream::TakeBytes()
{
    std::vector<uint8_t> bytes;
    bytes.swap(data_);
    position_ = 0;
    return bytes;
}

void TMemoryStream::SaveToStream(TStream& target) { target.WriteBuffer(data_.data(), Size()); }

void TMemoryStream::SaveToFile(const std::string& path)
{
    TReplacingFileStream file(path);
    SaveToStream(file);
    file.Commit();
}

TFileStream::TFileStream(const std::string& path, TFileMode mode) : path_(path)
{
    if (mode == TFileMode::OpenRead) {
        handle_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat info {};
        if (handle_ >= 0 && ::fstat(handle_, &info) == 0 && S_ISDIR(info.st_mode)) {
            CloseHandle();
            errno = EISDIR;
        }
        if (handle_ < 0)
            throw EFOpenError(Format(kCannotOpen, path, SystemReason(errno)));
    } else {
        handle_ = CreateOrTruncate(path);
    }
}

void FailWrite() { throw EWriteError(kWriteError); }

void FailCreate(const std::string& path, int error)
{
    throw EFCreateError(Format(kCannotCreate, path, SystemReason(error)));
}

int TFileStream::CreateOrTruncate(const std::string& path)
{
    // Not blocking in the open: a FIFO nobody reads fails at once ("No such device or
    // address") rather than holding the window until a reader comes. Writing then
    // blocks as usual.
    const int handle = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
    if (handle < 0)
        FailCreate(path, errno);
    ::fcntl(handle, F_SETFL, ::fcntl(handle, F_GETFL) & ~O_NONBLOCK);
    return handle;
}

TFileStream::~TFileStream() { CloseHandle(); }

bool TFileStream::CloseHandle()
{
    const bool closed = handle_ < 0 || ::close(handle_) == 0;
    handle_ = -1;
    return closed;
}

namespace {

// Repeats a partial system read or write until count bytes have moved, the
// file ends, or it fails; an interrupted call is simply tried again.
template <typename Call>
int64_t MoveAll(int64_t count, Call call)
{
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = call(done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

} // namespace

int64_t TFileStream::Read(void* buffer, int64_t count)
{
    auto* bytes = static_cast<uint8_t*>(buffer);
    return MoveAll(count, [&](int64_t done) { return ::read(handle_, bytes + done, static_cast<size_t>(count - done)); });
}

int64_t TFileStream::Write(const void* buffer, int64_t count)
{
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    return MoveAll(count, [&](int64_t done) { return ::write(handle_, bytes + done, static_cast<size_t>(count - done)); });
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    const int whence = origin == TSeekOrigin::Beginning ? SEEK_SET
                       : origin == TSeekOrigin::Current ? SEEK_CUR
                                                        : SEEK_END;
    const off_t at = ::lseek(handle_, offset, whence);
    return at < 0 ? 0 : at;
}

} // namespace mirth
