// Reading JPEG streams: the header on load, the scaled size, and the decode into
// the image's bitmap.
#include <algorithm>
#include <vector>

#include <jerror.h>

#include "imaging/jpeg/Jpeg.h"
#include "imaging/jpeg/JpegCodec.h"

namespace mirth {

namespace {

// The library's colour quantizer is asked for this many colours.
constexpr int kQuantizedColors = 236;

// One decompression object over a compressed stream, destroyed with this object
// whatever happened: a failed run never leaves the library's memory behind.
class Decompressor {
public:
    Decompressor() { cinfo_.err = run_.ErrorManager(); }
    ~Decompressor() { Release(); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    // Creates the library object over compressed (read from its start) and reads
    // the header. With an owner, the library's progress goes to it.
    void Open(TStream& compressed, TJPEGImage* progressOwner)
    {
        created_ = true;
        run_.Guard([&] { jpeg_CreateDecompress(&cinfo_, JPEG_LIB_VERSION, sizeof cinfo_); });
        cinfo_.mem->max_memory_to_use = kJpegWorkingMemoryCap;
        if (progressOwner != nullptr)
            run_.TrackProgress(reinterpret_cast<j_common_ptr>(&cinfo_), progressOwner);
        compressed.SetPosition(0);
        source_.Attach(&cinfo_, compressed);
        run_.Guard([&] { jpeg_read_header(&cinfo_, TRUE); });
    }

    void Release()
    {
        if (created_)
            jpeg_destroy_decompress(&cinfo_);
        created_ = false;
    }

    jpeg_decompress_struct& operator*() { return cinfo_; }
    jpeg_decompress_struct* operator->() { return &cinfo_; }
    template <typename Step>
    void Guard(Step&& step)
    {
        run_.Guard(step);
    }

private:
    JpegRun run_;
    jpeg_decompress_struct cinfo_{};
    StreamSource source_;
    bool created_ = false;
};

bool IsFourComponent(const jpeg_decompress_struct& cinfo)
{
    return cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
}

[[noreturn]] void FailWithCode(int code) { throw EJPEG(Format("JPEG error #%d", code)); }

// A CMYK row (as the library delivers it, four bytes a pixel) to blue, green,
// red. Adobe's writers store the four inks inverted, which a marker tells.
void CmykToBgr(const JSAMPLE* cmyk, uint8_t* bgr, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
        auto channel = [&](JSAMPLE ink) {
            const unsigned light = inverted ? ink : 255u - ink;
            return static_cast<uint8_t>((light * k + 127) / 255);
        };
        bgr[0] = channel(cmyk[2]);
        bgr[1] = channel(cmyk[1]);
        bgr[2] = channel(cmyk[0]);
    }
}

} // namespace

// One run of the decode of a TJPEGImage into its bitmap.
class JpegDecoder {
public:
    explicit JpegDecoder(TJPEGImage& image) : image_(image) {}
    void Run(TBitmap& bitmap);

private:
    struct FinalPass {
        J_DCT_METHOD dctMethod;
        boolean twoPassQuantize;
        J_DITHER_MODE ditherMode;
    };

    void Open();
    void UseExternalPalette();
    void CreateStore();
    void ReadPass();
    void ReadBufferedPasses();
    void TakeColormapAsPalette();

    TJPEGImage& image_;
    Decompressor codec_;
    FinalPass final_{};
    bool fourComponent_ = false;
    bool quantized_ = false;
    bool buffered_ = false;
    bool ownPalette_ = true;
    TPalette givenPalette_;  // the caller's colours the library quantizes to
    std::shared_ptr<TBitmapImage> store_;
    std::vector<JSAMPROW> rows_;
};

void JpegDecoder::Open()
{
    codec_.Open(*image_.data_->Compressed, &image_);
    jpeg_decompress_struct& cinfo = *codec_;
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1u << image_.scaleDown_;
    cinfo.do_block_smoothing = image_.BlockSmoothing;
    fourComponent_ = IsFourComponent(cinfo);
    if (fourComponent_) {
        // The library gives these as CMYK; we turn them into colours ourselves.
        cinfo.out_color_space = JCS_CMYK;
    } else {
        if (image_.GrayMode)
            cinfo.out_color_space = JCS_GRAYSCALE;
        quantized_ = image_.outputDepth_ == od8Bit || cinfo.out_color_space == JCS_GRAYSCALE;
        if (quantized_) {
            // Colour-map rows then stay red, green, blue, the order of our palettes.
            if (cinfo.out_color_space != JCS_GRAYSCALE)
                cinfo.out_color_space = JCS_RGB;
            cinfo.quantize_colors = TRUE;
            cinfo.desired_number_of_colors = kQuantizedColors;
        } else {
            cinfo.out_color_space = JCS_EXT_BGR;  // rows exactly as our bitmaps store them
        }
    }
    if (image_.DecodeMode == dmFast) {
        cinfo.dct_method = JDCT_IFAST;
        cinfo.two_pass_quantize = FALSE;
        cinfo.dither_mode = JDITHER_ORDERED;
    }
    final_ = {cinfo.dct_method, cinfo.two_pass_quantize, cinfo.dither_mode};
    bool multipleScans = false;
    if (image_.ShowPasses)
        codec_.Guard([&] { multipleScans = jpeg_has_multiple_scans(&cinfo); });
    if (multipleScans) {
        cinfo.enable_2pass_quant = cinfo.two_pass_quantize;
        cinfo.dct_method = JDCT_IFAST;
        cinfo.two_pass_quantize = FALSE;
        cinfo.dither_mode = JDITHER_ORDERED;
        cinfo.buffered_image = TRUE;
        buffered_ = true;
    }
}

// A caller's palette becomes the library's colour map, so the picture is
// quantized to exactly those colours. Grayscale output has one component and
// the library ignores a given map there, so the palette is not used then.
void JpegDecoder::UseExternalPalette()
{
    TPalette& palette = image_.externalPalette_;
    if (palette.empty())
        return;
    if (image_.outputDepth_ == od24Bit) {
        palette.clear();
        return;
    }
    jpeg_decompress_struct& cinfo = *codec_;
    if (!quantized_ || cinfo.out_color_space != JCS_RGB)
        return;
    const int count = static_cast<int>(std::min<size_t>(palette.size(), 256));
    JSAMPARRAY map = nullptr;
    codec_.Guard([&] {
        map = cinfo.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                      static_cast<JDIMENSION>(count), 3);
    });
    for (int i = 0; i < count; ++i) {
        map[0][i] = palette[i].red;
        map[1][i] = palette[i].green;
        map[2][i] = palette[i].blue;
    }
    cinfo.colormap = map;
    cinfo.actual_number_of_colors = count;
    givenPalette_.assign(palette.begin(), palette.begin() + count);
    ownPalette_ = false;
}

// The pixel store is made before the library starts, so a header that declares
// an enormous picture fails on the store's cap before any decoding work.
void JpegDecoder::CreateStore()
{
    jpeg_decompress_struct& cinfo = *codec_;
    codec_.Guard([&] { jpeg_calc_output_dimensions(&cinfo); });
    // The library refuses dimensions above 65500, so both fit the header.
    TBitmapHeader header;
    header.width = static_cast<int32_t>(cinfo.output_width);
    header.height = static_cast<int32_t>(cinfo.output_height);
    header.bitCount = quantized_ ? 8 : 24;
    store_ = TBitmapImage::Make(header);
    store_->header.imageSize = static_cast<uint32_t>(store_->PixelBytes());
    store_->palette = givenPalette_;
    rows_.resize(cinfo.output_height);
    for (JDIMENSION y = 0; y < cinfo.output_height; ++y)
        rows_[y] = store_->Row(static_cast<int32_t>(y));
}

void JpegDecoder::TakeColormapAsPalette()
{
    jpeg_decompress_struct& cinfo = *codec_;
    if (cinfo.colormap == nullptr || !ownPalette_ || !quantized_)
        return;
    const bool gray = cinfo.out_color_components == 1;
    TPalette palette(static_cast<size_t>(cinfo.actual_number_of_colors));
    for (size_t i = 0; i < palette.size(); ++i) {
        palette[i].red = cinfo.colormap[0][i];
        palette[i].green = cinfo.colormap[gray ? 0 : 1][i];
        palette[i].blue = cinfo.colormap[gray ? 0 : 2][i];
    }
    store_->palette = std::move(palette);
    image_.paletteModified_ = true;
}

// Rows go straight into the store, one row pointer each; four-component rows
// pass through one row of our own and are converted, never written past a row.
void JpegDecoder::ReadPass()
{
    jpeg_decompress_struct& cinfo = *codec_;
    if (!fourComponent_) {
        codec_.Guard([&] {
            while (cinfo.output_scanline < cinfo.output_height)
                jpeg_read_scanlines(&cinfo, rows_.data() + cinfo.output_scanline,
                                    cinfo.output_height - cinfo.output_scanline);
        });
        return;
    }
    std::vector<JSAMPLE> cmyk(size_t(cinfo.output_width) * 4);
    JSAMPROW line = cmyk.data();
    const bool inverted = cinfo.saw_Adobe_marker;
    codec_.Guard([&] {
        while (cinfo.output_scanline < cinfo.output_height) {
            const JDIMENSION y = cinfo.output_scanline;
            if (jpeg_read_scanlines(&cinfo, &line, 1) == 1)
                CmykToBgr(line, rows_[y], cinfo.output_width, inverted);
        }
    });
}

void JpegDecoder::ReadBufferedPasses()
{
    jpeg_decompress_struct& cinfo = *codec_;
    bool firstPass = true;
    for (;;) {
        int status = 0;
        codec_.Guard([&] {
            status = jpeg_consume_input(&cinfo);
            if (status != JPEG_REACHED_EOI)
                jpeg_start_output(&cinfo, cinfo.input_scan_number);
        });
        if (status == JPEG_REACHED_EOI)
            break;
        if (firstPass)
            TakeColormapAsPalette();
        firstPass = false;
        ReadPass();
        codec_.Guard([&] { jpeg_finish_output(&cinfo); });
    }
    cinfo.dct_method = final_.dctMethod;
    cinfo.dither_mode = final_.ditherMode;
    // The last pass may build an optimal colour map, unless the caller gave one.
    if (final_.twoPassQuantize && ownPalette_) {
        cinfo.two_pass_quantize = TRUE;
        cinfo.colormap = nullptr;
    }
    codec_.Guard([&] { jpeg_start_output(&cinfo, cinfo.input_scan_number); });
}

void JpegDecoder::Run(TBitmap& bitmap)
{
    Open();
    bool started = false, succeeded = false;
    // The bitmap takes the store once the library has started, so a failed or
    // cancelled decode leaves the rows decoded so far.
    auto finish = [&](uint8_t percent) {
        codec_.Release();
        if (started)
            bitmap.AdoptImage(std::move(store_));
        image_.ReportProgress(psEnding, percent, image_.paletteModified_, {});
        if (image_.paletteModified_)
            image_.Changed();
    };
    try {
        image_.ReportProgress(psStarting, 0, false, {});
        UseExternalPalette();
        CreateStore();
        jpeg_decompress_struct& cinfo = *codec_;
        codec_.Guard([&] { jpeg_start_decompress(&cinfo); });
        const int components = fourComponent_ ? 4 : quantized_ ? 1 : 3;
        if (cinfo.output_components != components || cinfo.output_width != JDIMENSION(store_->Width()) ||
            cinfo.output_height != JDIMENSION(store_->Height()))
            FailWithCode(JERR_CONVERSION_NOTIMPL);
        started = true;
        if (buffered_)
            ReadBufferedPasses();
        if (!buffered_ || final_.twoPassQuantize)
            TakeColormapAsPalette();
        ReadPass();
        codec_.Guard([&] {
            if (buffered_)
                jpeg_finish_output(&cinfo);
            jpeg_finish_decompress(&cinfo);
        });
        succeeded = true;
    } catch (const EAbort&) {
        // A progress handler cancelled: what was decoded so far is the picture.
    } catch (...) {
        finish(0);
        throw;
    }
    finish(succeeded ? 100 : 0);
}

TBitmap& TJPEGImage::DecodeToBitmap()
{
    if (decodedBitmap_)
        return *decodedBitmap_;
    decodedBitmap_ = std::make_unique<TBitmap>();
    if (data_->Compressed)
        JpegDecoder(*this).Run(*decodedBitmap_);
    return *decodedBitmap_;
}

void TJPEGImage::LoadCompressed(int64_t count, TStream& stream)
{
    // A count beyond what the stream holds is refused before any allocation, and
    // the new block replaces the old only once its header has been read.
    if (count < 0 || count > stream.Size() - stream.Position())
        throw EReadError("Stream read error");
    auto data = std::make_shared<TJPEGData>();
    data->Compressed = std::make_unique<TMemoryStream>();
    data->Compressed->SetSize(count);
    stream.ReadBuffer(data->Compressed->Memory(), count);
    bool multipleScans = Progressive;
    if (count > 0) {
        Decompressor codec;
        codec.Open(*data->Compressed, nullptr);
        data->ImageWidth = static_cast<int32_t>(codec->image_width);
        data->ImageHeight = static_cast<int32_t>(codec->image_height);
        data->IsGray = codec->jpeg_color_space == JCS_GRAYSCALE;
        codec.Guard([&] { multipleScans = jpeg_has_multiple_scans(&*codec); });
    }
    TakeData(std::move(data));
    DropBitmap();
    Progressive = multipleScans;
    paletteModified_ = true;
    Changed();
}

void TJPEGImage::UpdateScaledSize() const
{
    if (scaledSizeKnown_)
        return;
    scaledWidth_ = scaledHeight_ = 0;
    if (data_->Compressed) {
        Decompressor codec;
        codec.Open(*data_->Compressed, nullptr);
        codec->scale_num = 1;
        codec->scale_denom = 1u << scaleDown_;
        bool multipleScans = Progressive;
        codec.Guard([&] {
            jpeg_calc_output_dimensions(&*codec);
            multipleScans = jpeg_has_multiple_scans(&*codec);
        });
        scaledWidth_ = static_cast<int32_t>(codec->output_width);
        scaledHeight_ = static_cast<int32_t>(codec->output_height);
        Progressive = multipleScans;
    }
    scaledSizeKnown_ = true;
}

} // namespace mirth
