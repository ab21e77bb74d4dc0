#pragma once
#include <string>

#include "runtime/Streams.h"

namespace mirth {

// Writes a file the way a save should. Where nothing but the content changes by it (the
// target is a plain file with one name, the process may write it and its folder, or
// there is no such file yet), the bytes go to a hidden file beside the target, which
// takes the target's place only on Commit: a failure part-way, a full disk included,
// leaves the old file exactly as it was, and the new file keeps the old one's permission
// bits and, where the process may give it, its owner. Everywhere else the target is
// created or truncated and written in place, as a plain create would: a read-only file
// fails with the system's "Permission denied", a writable file in a folder the process
// may not write is saved, a FIFO or a device stays what it is, and a second link to the
// file sees the new content. A symbolic link is written through, never replaced.
class TReplacingFileStream : public TFileStream {
public:
    // EFCreateError "Cannot create file "path". reason" when the file cannot be made.
    explicit TReplacingFileStream(const std::string& path);
    ~TReplacingFileStream() override;
    TReplacingFileStream(const TReplacingFileStream&) = delete;
    TReplacingFileStream& operator=(const TReplacingFileStream&) = delete;

    // EWriteError "Stream write error" when the system reports a failed write only as the
    // file closes; EFCreateError when the hidden file cannot take the target's place. The
    // old file stays as it was in both cases where a hidden file was written.
    void Commit();

private:
    struct Plan;
    static Plan Prepare(const std::string& path);
    TReplacingFileStream(const std::string& path, Plan plan);

    int folder_ = -1;       // the target's folder while a hidden file waits there, else -1
    std::string hidden_;    // the hidden file's name in that folder
    std::string name_;      // the target's name in that folder
    bool committed_ = false;
};

} // namespace mirth
