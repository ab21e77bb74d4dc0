// Writing JPEG streams: the bitmap copied into an image becomes its stream when
// the image is first saved.
#include <algorithm>
#include <vector>

#include "imaging/jpeg/Jpeg.h"
#include "imaging/jpeg/JpegCodec.h"

namespace mirth {

namespace {

// The library reports progress once per call: a band of rows a call keeps the
// reports coming without slowing the encoder.
constexpr JDIMENSION kRowsPerCall = 16;

// One compression object, destroyed with this object whatever happened.
class Compressor {
public:
    Compressor() { cinfo_.err = run_.ErrorManager(); }
    ~Compressor() { Release(); }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    void Open(TStream& target, TJPEGImage* progressOwner)
    {
        created_ = true;
        run_.Guard([&] { jpeg_CreateCompress(&cinfo_, JPEG_LIB_VERSION, sizeof cinfo_); });
        cinfo_.mem->max_memory_to_use = kJpegWorkingMemoryCap;
        run_.TrackProgress(reinterpret_cast<j_common_ptr>(&cinfo_), progressOwner);
        destination_.Attach(&cinfo_, target);
    }

    void Release()
    {
        if (created_)
            jpeg_destroy_compress(&cinfo_);
        created_ = false;
    }

    jpeg_compress_struct& operator*() { return cinfo_; }
    template <typename Step>
    void Guard(Step&& step)
    {
        run_.Guard(step);
    }

private:
    JpegRun run_;
    jpeg_compress_struct cinfo_{};
    StreamDestination destination_;
    bool created_ = false;
};

} // namespace

// One run of the encode of a TJPEGImage's bitmap. The stream is built aside and
// becomes the image's only when complete: a failed or cancelled run leaves the
// image without a stream, so the next save tries again instead of writing a
// fragment.
class JpegEncoder {
public:
    explicit JpegEncoder(TJPEGImage& image) : image_(image) {}
    void Run();

private:
    void Install(std::unique_ptr<TMemoryStream> stream, int32_t width, int32_t height, bool gray);

    TJPEGImage& image_;
    Compressor codec_;
};

void JpegEncoder::Install(std::unique_ptr<TMemoryStream> stream, int32_t width, int32_t height, bool gray)
{
    // Copies of this image may share its block while it has no stream yet; each
    // encodes its own bitmap with its own settings, so a stream never goes into a
    // block that others see.
    image_.GiveFreshData();
    TJPEGData& data = *image_.data_;
    data.Compressed = std::move(stream);
    data.ImageWidth = width;
    data.ImageHeight = height;
    data.IsGray = gray;
    image_.scaledSizeKnown_ = false;
}

void JpegEncoder::Run()
{
    auto stream = std::make_unique<TMemoryStream>();
    codec_.Open(*stream, &image_);
    const TBitmap* bitmap = image_.decodedBitmap_.get();
    if (bitmap == nullptr || bitmap->Width() == 0 || bitmap->Height() == 0) {
        Install(std::move(stream), image_.data_->ImageWidth, image_.data_->ImageHeight, image_.data_->IsGray);
        return;
    }
    // Any layout is accepted; a 24-bit bitmap is shared, not copied.
    TBitmap source;
    source.CopyFrom(const_cast<TBitmap*>(bitmap));
    source.SetPixelLayout(pl24Bit);
    const int32_t width = source.Width(), height = source.Height();
    std::vector<JSAMPROW> rows(static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y)
        rows[y] = const_cast<JSAMPROW>(source.ReadOnlyRow(y));  // the library only reads them

    jpeg_compress_struct& cinfo = *codec_;
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    codec_.Guard([&] {
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, image_.EncodeQuality, TRUE);
        if (image_.GrayMode)
            jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
        if (image_.Progressive)
            jpeg_simple_progression(&cinfo);
    });

    try {
        image_.ReportProgress(psStarting, 0, false, {});
        codec_.Guard([&] {
            jpeg_start_compress(&cinfo, TRUE);
            while (cinfo.next_scanline < cinfo.image_height)
                jpeg_write_scanlines(&cinfo, rows.data() + cinfo.next_scanline,
                                     std::min(kRowsPerCall, cinfo.image_height - cinfo.next_scanline));
            jpeg_finish_compress(&cinfo);
        });
    } catch (const EAbort&) {
        codec_.Release();
        image_.ReportProgress(psEnding, 0, false, {});
        return;
    } catch (...) {
        codec_.Release();
        image_.ReportProgress(psEnding, 0, false, {});
        throw;
    }
    codec_.Release();
    Install(std::move(stream), width, height, image_.GrayMode);
    image_.ReportProgress(psEnding, 100, false, {});
}

void TJPEGImage::EnsureCompressed()
{
    if (!data_->Compressed)
        JpegEncoder(*this).Run();
}

} // namespace mirth
