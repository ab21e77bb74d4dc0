#include "imaging/jpeg/JpegCodec.h"

#include <cstring>

#include <jerror.h>

#include "imaging/jpeg/Jpeg.h"
#include "imaging/jpeg/Platform.h"

namespace mirth {

namespace {

constexpr long long kProgressInterval = 500;

// Warnings (a stream ending early, for one) and trace messages are ignored, and
// the library's texts never reach the user: only its message code does.
void IgnoreMessage(j_common_ptr, int) {}
void IgnoreOutput(j_common_ptr) {}
void IgnoreFormat(j_common_ptr, char*) {}
void ResetErrors(j_common_ptr cinfo)
{
    cinfo->err->msg_code = 0;
    cinfo->err->num_warnings = 0;
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo) { JpegRun::Escape(cinfo, nullptr); }

} // namespace

JpegRun::JpegRun()
{
    jpeg_std_error(&error_.pub);
    error_.pub.error_exit = ErrorExit;
    error_.pub.emit_message = IgnoreMessage;
    error_.pub.output_message = IgnoreOutput;
    error_.pub.format_message = IgnoreFormat;
    error_.pub.reset_error_mgr = ResetErrors;
    std::memset(&tracker_.pub, 0, sizeof tracker_.pub);
}

void JpegRun::TrackProgress(j_common_ptr cinfo, TJPEGImage* owner)
{
    tracker_.pub.progress_monitor = ReportProgress;
    tracker_.owner = owner;
    cinfo->progress = &tracker_.pub;
}

void JpegRun::Escape(j_common_ptr cinfo, std::exception_ptr failure)
{
    auto* error = reinterpret_cast<ErrorState*>(cinfo->err);
    error->failure = std::move(failure);
    std::longjmp(error->escape, 1);
}

void JpegRun::ThrowFailure()
{
    if (error_.failure) {
        std::exception_ptr failure = std::move(error_.failure);
        error_.failure = nullptr;
        std::rethrow_exception(failure);
    }
    throw EJPEG(Format("JPEG error #%d", error_.pub.msg_code));
}

void JpegRun::ReportProgress(j_common_ptr cinfo)
{
    auto* tracker = reinterpret_cast<Tracker*>(cinfo->progress);
    if (tracker == nullptr || tracker->owner == nullptr)
        return;
    const long long now = TickCount();
    if (now - tracker->lastTick < kProgressInterval)
        return;
    const long long previous = tracker->lastTick;
    tracker->lastTick = now;
    if (previous == 0)
        return;

    TRect rect;
    j_decompress_ptr decoder = cinfo->is_decompressor ? reinterpret_cast<j_decompress_ptr>(cinfo) : nullptr;
    if (decoder != nullptr) {
        rect = TRect{0, static_cast<int32_t>(tracker->lastRow), static_cast<int32_t>(decoder->output_width),
                     static_cast<int32_t>(decoder->output_scanline)};
        if (rect.bottom < rect.top)  // a new pass began
            rect.bottom = static_cast<int32_t>(decoder->output_height);
    }
    const jpeg_progress_mgr& pass = tracker->pub;
    if (pass.pass_limit <= 0 || pass.total_passes <= 0)
        return;
    const int percent = static_cast<int>(
        ((double(pass.pass_counter) / double(pass.pass_limit)) + pass.completed_passes) * 100.0 / pass.total_passes);
    if (percent == tracker->lastPercent)
        return;
    tracker->lastPercent = percent;
    if (decoder != nullptr)
        tracker->lastRow = decoder->output_scanline;

    // The subscriber is our code and may throw (a cancel, for one): catch it
    // here and carry it past the library's frames.
    std::exception_ptr failure;
    try {
        tracker->owner->ReportProgress(psRunning, static_cast<uint8_t>(percent), rect.Height() >= 4, rect);
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure)
        Escape(cinfo, std::move(failure));
}

namespace {

StreamSource& SourceOf(j_decompress_ptr cinfo) { return *reinterpret_cast<StreamSource*>(cinfo->src); }
StreamDestination& DestinationOf(j_compress_ptr cinfo)
{
    return *reinterpret_cast<StreamDestination*>(cinfo->dest);
}

void StartSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr cinfo)
{
    StreamSource& source = SourceOf(cinfo);
    int64_t count = source.stream->Read(source.buffer, kJpegBlockBytes);
    if (count <= 0) {
        if (!source.started)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source.buffer[0] = 0xFF;
        source.buffer[1] = JPEG_EOI;
        count = 2;
    }
    source.pub.next_input_byte = source.buffer;
    source.pub.bytes_in_buffer = static_cast<size_t>(count);
    source.started = true;
    return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count)
{
    StreamSource& source = SourceOf(cinfo);
    if (count <= 0)
        return;
    while (count > static_cast<long>(source.pub.bytes_in_buffer)) {
        count -= static_cast<long>(source.pub.bytes_in_buffer);
        FillInput(cinfo);
    }
    source.pub.next_input_byte += count;
    source.pub.bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr) {}

void StartDestination(j_compress_ptr cinfo)
{
    StreamDestination& destination = DestinationOf(cinfo);
    destination.pub.next_output_byte = destination.buffer;
    destination.pub.free_in_buffer = kJpegBlockBytes;
}

// Writes the first count bytes of the buffer; a failing write (no memory, a full
// disk) leaves the library through the escape rather than as an exception.
void Flush(j_compress_ptr cinfo, size_t count)
{
    StreamDestination& destination = DestinationOf(cinfo);
    std::exception_ptr failure;
    try {
        destination.stream->WriteBuffer(destination.buffer, static_cast<int64_t>(count));
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure)
        JpegRun::Escape(reinterpret_cast<j_common_ptr>(cinfo), std::move(failure));
}

boolean EmptyOutput(j_compress_ptr cinfo)
{
    Flush(cinfo, kJpegBlockBytes);
    StartDestination(cinfo);
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo)
{
    StreamDestination& destination = DestinationOf(cinfo);
    Flush(cinfo, kJpegBlockBytes - destination.pub.free_in_buffer);
}

} // namespace

void StreamSource::Attach(j_decompress_ptr cinfo, TStream& source)
{
    stream = &source;
    started = false;
    pub.init_source = StartSource;
    pub.fill_input_buffer = FillInput;
    pub.skip_input_data = SkipInput;
    pub.resync_to_restart = jpeg_resync_to_restart;
    pub.term_source = TermSource;
    pub.next_input_byte = nullptr;
    pub.bytes_in_buffer = 0;
    cinfo->src = &pub;
}

void StreamDestination::Attach(j_compress_ptr cinfo, TStream& target)
{
    stream = &target;
    pub.init_destination = StartDestination;
    pub.empty_output_buffer = EmptyOutput;
    pub.term_destination = TermDestination;
    cinfo->dest = &pub;
}

} // namespace mirth
