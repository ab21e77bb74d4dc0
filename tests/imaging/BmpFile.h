#pragma once
// BMP files put together field by field, so that each test states only what it varies.
#include <cstdint>
#include <vector>

#include "imaging/pixels/BitmapImage.h"
#include "imaging/bitmap/Bitmap.h"
#include "runtime/Streams.h"

namespace mirth::testing {

inline void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

inline void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v);
    Put16(out, v >> 16);
}

inline uint32_t Get32(const std::vector<uint8_t>& bytes, size_t at)
{
    return bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 | uint32_t(bytes.at(at + 3)) << 24;
}

inline uint16_t Get16(const std::vector<uint8_t>& bytes, size_t at)
{
    return static_cast<uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

struct BmpFile {
    uint32_t headerSize = 40;   // 12: the core header; above 40 the masks lie inside
    int32_t width = 2;
    int32_t height = 2;
    uint16_t planes = 1;
    uint16_t bits = 24;
    uint32_t compression = kCompressionNone;
    uint32_t imageSize = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> masks;
    std::vector<TColorEntry> colors;
    std::vector<uint8_t> pixels;

    std::vector<uint8_t> Bytes() const
    {
        std::vector<uint8_t> h;
        Put32(h, headerSize);
        if (headerSize == 12) {
            Put16(h, uint32_t(width));
            Put16(h, uint32_t(height));
            Put16(h, planes);
            Put16(h, bits);
        } else {
            Put32(h, uint32_t(width));
            Put32(h, uint32_t(height));
            Put16(h, planes);
            Put16(h, bits);
            for (uint32_t field : {compression, imageSize, 0u, 0u, colorsUsed, 0u})
                Put32(h, field);
            if (headerSize > 40)
                for (uint32_t mask : masks)
                    Put32(h, mask);
            h.resize(headerSize, 0);
            if (headerSize == 40)
                for (uint32_t mask : masks)
                    Put32(h, mask);
        }
        for (const TColorEntry& c : colors) {
            h.insert(h.end(), {c.blue, c.green, c.red});
            if (headerSize != 12)
                h.push_back(0);
        }
        std::vector<uint8_t> file{'B', 'M'};
        const auto offset = static_cast<uint32_t>(14 + h.size());
        Put32(file, offset + static_cast<uint32_t>(pixels.size()));
        Put32(file, 0);
        Put32(file, offset);
        file.insert(file.end(), h.begin(), h.end());
        file.insert(file.end(), pixels.begin(), pixels.end());
        return file;
    }
};

inline TColorEntry Bgr(uint8_t blue, uint8_t green, uint8_t red) { return TColorEntry{blue, green, red, 0}; }

inline void LoadBytes(TBitmap& bitmap, std::vector<uint8_t> bytes)
{
    TMemoryStream stream(std::move(bytes));
    bitmap.LoadStream(stream);
}

inline std::vector<uint8_t> SavedBytes(TBitmap& bitmap)
{
    TMemoryStream stream;
    bitmap.SaveStream(stream);
    return stream.Bytes();
}

} // namespace mirth::testing
