#pragma once
// Picture files of the formats beyond BMP and JPEG, made by the tests through each
// format's own library or command-line tools, and the reference decoders' answers.
#include <gif_lib.h>
#include <libheif/heif.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/bitmap/Bitmap.h"
#include "support/Pictures.h"

namespace mirth::testing {

// A PNG of raw rows (samples as the PNG stores them, 16-bit ones big-endian).
struct PngLayout {
    int width = 0, height = 0;
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<png_color> palette{};
    std::vector<uint8_t> transparency{};  // palette alphas
    png_color_16 transparentColor{};         // grey or RGB files
    bool hasTransparentColor = false;
    std::vector<std::vector<uint8_t>> rows{};
};

inline void WritePng(const std::string& path, const PngLayout& layout)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colorType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!layout.palette.empty())
        png_set_PLTE(png, info, layout.palette.data(), static_cast<int>(layout.palette.size()));
    if (!layout.transparency.empty() || layout.hasTransparentColor) {
        png_color_16 color = layout.transparentColor;
        png_set_tRNS(png, info, layout.transparency.data(), static_cast<int>(layout.transparency.size()), &color);
    }
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (const auto& row : layout.rows)
        rows.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

// One frame of a GIF: its place on the screen, colour indexes row by row, and the
// transparent index (-1 for none).
struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> indexes{};
    int transparent = -1;
};

inline void WriteGif(const std::string& path, int width, int height, const std::vector<GifColorType>& colors,
                     const std::vector<GifFrame>& frames)
{
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    for (size_t i = 0; i < colors.size(); ++i)
        map->Colors[i] = colors[i];
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, 8, 0, map);
    for (const GifFrame& frame : frames) {
        GraphicsControlBlock control{DISPOSE_DO_NOT, false, 10, frame.transparent};
        GifByteType block[4];
        EGifGCBToExtension(&control, block);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block);
        EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, false, nullptr);
        for (int y = 0; y < frame.height; ++y)
            EGifPutLine(gif, const_cast<GifPixelType*>(frame.indexes.data()) + y * frame.width, frame.width);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
}

// A HEIC file of a 64 × 32 picture with a rotation box asking for a quarter turn
// clockwise, as a phone held upright writes it.
inline void WriteTurnedHeic(const std::string& path)
{
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
    heif_encoder_set_lossy_quality(encoder, 90);
    heif_image* image = nullptr;
    heif_image_create(64, 32, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, 64, 32, 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            uint8_t* pixel = plane + y * stride + 3 * x;
            pixel[0] = x < 16 ? 255 : 0;
            pixel[1] = y < 8 ? 255 : 0;
            pixel[2] = 60;
        }
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = heif_orientation_rotate_90_cw;
    heif_context_encode_image(context, image, encoder, options, nullptr);
    heif_context_write_to_file(context, path.c_str());
    heif_encoding_options_free(options);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
}

inline int Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

// A PPM file (as dwebp -ppm writes) as a 24-bit bitmap.
inline std::unique_ptr<TBitmap> ReadPpm(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelLayout(pl24Bit);
    bitmap->SetWidth(width);
    bitmap->SetHeight(height);
    std::vector<char> rgb(size_t(width) * 3);
    for (int y = 0; y < height; ++y) {
        in.read(rgb.data(), static_cast<std::streamsize>(rgb.size()));
        uint8_t* row = bitmap->ScanRow(y);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = static_cast<uint8_t>(rgb[3 * size_t(x) + 2 - c]);
    }
    return bitmap;
}

// An EXIF block holding only the orientation, in either byte order.
inline std::vector<uint8_t> WithExifOrientation(std::vector<uint8_t> jpeg, int orientation)
{
    const bool intel = orientation % 2 == 0;
    std::vector<uint8_t> tiff = intel ? std::vector<uint8_t>{'I', 'I'} : std::vector<uint8_t>{'M', 'M'};
    auto put = [&](uint32_t value, int bytes) {
        for (int k = 0; k < bytes; ++k)
            tiff.push_back(uint8_t(value >> 8 * (intel ? k : bytes - 1 - k)));
    };
    put(42, 2), put(8, 4);                         // header, first directory at 8
    put(1, 2);                                     // one entry:
    put(0x0112, 2), put(3, 2), put(1, 4);          // orientation, one 16-bit value,
    put(uint32_t(orientation), 2), put(0, 2);      // left-aligned in its 4 bytes
    put(0, 4);                                     // no next directory
    std::vector<uint8_t> segment{0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    segment[2] = uint8_t((segment.size() - 2) >> 8);
    segment[3] = uint8_t(segment.size() - 2);
    jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
    return jpeg;
}

// A PNG of 60-odd bytes declaring a picture of 100000 × 100000 pixels.
inline std::vector<uint8_t> PngBomb()
{
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&](const char* type, std::vector<uint8_t> data) {
        const unsigned size = unsigned(data.size());
        png.insert(png.end(), {uint8_t(size >> 24), uint8_t(size >> 16), uint8_t(size >> 8), uint8_t(size)});
        data.insert(data.begin(), type, type + 4);
        png.insert(png.end(), data.begin(), data.end());
        const uLong crc = crc32(0, data.data(), uInt(data.size()));
        png.insert(png.end(), {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc)});
    };
    chunk("IHDR", {0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0, 8, 2, 0, 0, 0});
    chunk("IDAT", {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
    chunk("IEND", {});
    return png;
}

} // namespace mirth::testing
