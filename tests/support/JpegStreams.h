#pragma once
// JPEG streams made and read with plain library calls, independent of the
// adapter under test: its colour order, its managers and its error handling.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <vector>

#include <jpeglib.h>

#include "imaging/bitmap/Bitmap.h"

namespace mirth::testing {

enum class JpegKind { Colour, Gray, Cmyk, Ycck };

struct JpegOptions {
    int quality = 90;
    bool progressive = false;
    JpegKind kind = JpegKind::Colour;
    int lumaSampling = 2;     // 2: 4:2:0, 1: 4:4:4
    bool adobeMarker = true;  // four-component streams: inverted inks with the marker
};

// The helpers run on streams the tests made themselves, so a library failure
// here is a broken test: stop loudly.
inline void AbortOnError(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    cinfo->err->format_message(cinfo, text);
    std::fprintf(stderr, "test JPEG helper: %s\n", text);
    std::abort();
}

// Encodes a 24-bit bitmap. Pixels travel as red-green-blue, swapped here by
// hand; four-component streams get inks computed from the colours.
inline std::vector<uint8_t> MakeJpeg(const TBitmap& source, const JpegOptions& options = {})
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    error.error_exit = AbortOnError;
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);

    const bool four = options.kind == JpegKind::Cmyk || options.kind == JpegKind::Ycck;
    const bool gray = options.kind == JpegKind::Gray;
    cinfo.image_width = static_cast<JDIMENSION>(source.Width());
    cinfo.image_height = static_cast<JDIMENSION>(source.Height());
    cinfo.input_components = four ? 4 : gray ? 1 : 3;
    cinfo.in_color_space = four ? JCS_CMYK : gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    if (options.kind == JpegKind::Ycck)
        jpeg_set_colorspace(&cinfo, JCS_YCCK);
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (four)
        cinfo.write_Adobe_marker = options.adobeMarker;
    if (!four && !gray) {
        cinfo.comp_info[0].h_samp_factor = options.lumaSampling;
        cinfo.comp_info[0].v_samp_factor = options.lumaSampling;
    }
    if (options.progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);

    std::vector<JSAMPLE> line(static_cast<size_t>(source.Width()) * 4);
    while (cinfo.next_scanline < cinfo.image_height) {
        const uint8_t* bgr = source.ReadOnlyRow(static_cast<int32_t>(cinfo.next_scanline));
        for (int32_t x = 0; x < source.Width(); ++x) {
            const int b = bgr[3 * x], g = bgr[3 * x + 1], r = bgr[3 * x + 2];
            if (four) {
                // Inks that the usual multiplicative model turns back into these
                // colours; Adobe's writers store them inverted.
                const int most = std::max({r, g, b}), k = 255 - most;
                auto ink = [&](int c) { return most == 0 ? 0 : 255 - 255 * c / most; };
                const int inks[4] = {ink(r), ink(g), ink(b), k};
                for (int c = 0; c < 4; ++c)
                    line[4 * x + c] = static_cast<JSAMPLE>(options.adobeMarker ? 255 - inks[c] : inks[c]);
            } else if (gray) {
                line[x] = static_cast<JSAMPLE>((r + g + b) / 3);
            } else {
                line[3 * x] = static_cast<JSAMPLE>(r);
                line[3 * x + 1] = static_cast<JSAMPLE>(g);
                line[3 * x + 2] = static_cast<JSAMPLE>(b);
            }
        }
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

// What plain library calls make of a stream: size, components and the rows,
// red-green-blue (or gray) and unpadded.
struct DecodedJpeg {
    int width = 0;
    int height = 0;
    int components = 0;
    bool progressive = false;
    std::vector<uint8_t> pixels;
};

inline DecodedJpeg DecodeJpeg(const std::vector<uint8_t>& bytes)
{
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    error.error_exit = AbortOnError;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    DecodedJpeg result;
    result.progressive = jpeg_has_multiple_scans(&cinfo);
    jpeg_start_decompress(&cinfo);
    result.width = static_cast<int>(cinfo.output_width);
    result.height = static_cast<int>(cinfo.output_height);
    result.components = cinfo.output_components;
    const size_t stride = size_t(result.width) * result.components;
    result.pixels.resize(stride * result.height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = result.pixels.data() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return result;
}

// A stream whose header reads but whose first component names a quantization table the
// stream never defines, so that decoding its data fails.
inline std::vector<uint8_t> UndecodableJpeg(const TBitmap& source)
{
    std::vector<uint8_t> bytes = MakeJpeg(source);
    const uint8_t frameMarker[] = {0xFF, 0xC0};
    const auto frame = std::search(bytes.begin(), bytes.end(), std::begin(frameMarker), std::end(frameMarker));
    if (frame == bytes.end())
        std::abort();
    frame[2 + 2 + 6 + 2] = 3; // marker, length, precision, height, width, count, then the table
    return bytes;
}

// A smooth picture with flat colour patches, which JPEG keeps close to the
// original, so decoded pixels can be compared with a small tolerance.
inline std::unique_ptr<TBitmap> GradientBitmap(int32_t width, int32_t height)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelLayout(pl24Bit);
    bitmap->SetWidth(width);
    bitmap->SetHeight(height);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = bitmap->ScanRow(y);
        for (int32_t x = 0; x < width; ++x) {
            row[3 * x] = static_cast<uint8_t>(255 * x / std::max(width - 1, 1));       // blue grows rightwards
            row[3 * x + 1] = static_cast<uint8_t>(128);
            row[3 * x + 2] = static_cast<uint8_t>(255 * y / std::max(height - 1, 1));  // red grows downwards
        }
    }
    return bitmap;
}

} // namespace mirth::testing
