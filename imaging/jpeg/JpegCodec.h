#pragma once
// The adapter's side of the JPEG library: error, progress, source and destination
// managers, and the rule that no C++ exception ever crosses the library's C frames.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <exception>

#include <jpeglib.h>

#include "runtime/Streams.h"

namespace mirth {

class TJPEGImage;

// The library's refill and flush unit over our memory streams.
constexpr size_t kJpegBlockBytes = 4096;

// The library's own working memory is capped like a pixel store, so a small
// hostile file cannot make it allocate gigabytes of coefficient buffers.
constexpr long kJpegWorkingMemoryCap = 1L << 30;

// State shared by one decode or encode run. The library's error exit and our
// callbacks jump back into Guard, which turns the jump into an exception.
class JpegRun {
public:
    JpegRun();
    JpegRun(const JpegRun&) = delete;
    JpegRun& operator=(const JpegRun&) = delete;

    jpeg_error_mgr* ErrorManager() { return &error_.pub; }
    // Links the progress hook to a library object; owner receives the reports.
    void TrackProgress(j_common_ptr cinfo, TJPEGImage* owner);

    // Runs a step of library calls and plain arithmetic: the jump skips the
    // step's frames, so nothing in it may need a destructor. When the library
    // fails, or one of our callbacks caught an exception, the failure is thrown
    // from here: EJPEG with the library's message code, or the caught exception.
    template <typename Step>
    void Guard(Step&& step)
    {
        if (setjmp(error_.escape) == 0) {
            step();
            return;
        }
        ThrowFailure();
    }

    // From inside a callback: remember the exception and leave the library.
    [[noreturn]] static void Escape(j_common_ptr cinfo, std::exception_ptr failure);

private:
    struct ErrorState {
        jpeg_error_mgr pub;  // first, so the library's pointer is ours too
        std::jmp_buf escape;
        std::exception_ptr failure;
    };
    struct Tracker {
        jpeg_progress_mgr pub;  // first, for the same reason
        TJPEGImage* owner = nullptr;
        int lastPercent = 0;  // the start has said 0 % already
        long long lastTick = 0;
        JDIMENSION lastRow = 0;
    };

    [[noreturn]] void ThrowFailure();
    static void ReportProgress(j_common_ptr cinfo);

    ErrorState error_;
    Tracker tracker_;
};

// The compressed stream as the library's input: refills of up to 4096 bytes from
// the stream's current position. A stream that ends early gets an end-of-image
// marker (with an ignored warning), so a truncated file still decodes.
struct StreamSource {
    jpeg_source_mgr pub;
    TStream* stream = nullptr;
    bool started = false;
    JOCTET buffer[kJpegBlockBytes];

    void Attach(j_decompress_ptr cinfo, TStream& source);
};

// The library's output into a stream: whole 4096-byte blocks, then the rest.
struct StreamDestination {
    jpeg_destination_mgr pub;
    TStream* stream = nullptr;
    JOCTET buffer[kJpegBlockBytes];

    void Attach(j_compress_ptr cinfo, TStream& target);
};

} // namespace mirth
