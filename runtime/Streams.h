#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace mirth {

enum class TSeekOrigin { Beginning, Current, End };

// A byte stream with a position. Read and Write move as far as they can and
// report how far; ReadBuffer and WriteBuffer insist on the whole count.
class TStream {
public:
    virtual ~TStream() = default;

    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, TSeekOrigin::Current); }
    void SetPosition(int64_t position) { Seek(position, TSeekOrigin::Beginning); }
    virtual int64_t Size();
    int64_t Remaining() { return Size() - Position(); }

    void ReadBuffer(void* buffer, int64_t count);        // EReadError "Stream read error"
    void WriteBuffer(const void* buffer, int64_t count);  // EWriteError "Stream write error"
};

// The 32-bit little-endian counts that persisted forms put before their bytes.
// Reading fails with EReadError "Stream read error" when fewer than 4 bytes are left.
uint32_t ReadCount32(TStream& stream);
void WriteCount32(TStream& stream, uint32_t count);

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(data_.size()); }

    void SetSize(int64_t size);
    uint8_t* Memory() { return data_.data(); }
    const std::vector<uint8_t>& Bytes() const { return data_; }
    // Hands the bytes over without copying them; the stream is left empty.
    std::vector<uint8_t> TakeBytes();
    void SaveToStream(TStream& target);
    void SaveToFile(const std::string& path);

private:
    std::vector<uint8_t> data_;
    int64_t position_ = 0;
};

enum class TFileMode {
    OpenRead,   // existing file, read only; "Cannot open file ..." on failure
    Create,     // created or truncated; "Cannot create file ..." on failure
};

// EFCreateError "Cannot create file "path". reason", the reason being the system's text for error.
[[noreturn]] void FailCreate(const std::string& path, int error);
// EWriteError "Stream write error".
[[noreturn]] void FailWrite();

class TFileStream : public TStream {
public:
    TFileStream(const std::string& path, TFileMode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    const std::string& FileName() const { return path_; }

protected:
    TFileStream(int handle, std::string path) : handle_(handle), path_(std::move(path)) {}
    // The handle of path created or truncated for writing; EFCreateError "Cannot create
    // file ..." with the system's reason when that fails.
    static int CreateOrTruncate(const std::string& path);
    bool CloseHandle();  // false when the system reports a late write failure

private:
    int handle_ = -1;
    std::string path_;
};

} // namespace mirth
