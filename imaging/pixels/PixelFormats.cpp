#include "imaging/pixels/PixelFormats.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace mirth {

namespace {

constexpr uint32_t kMask555[3] = {0x7C00, 0x03E0, 0x001F};

bool HasMasks(const TBitmapImage& image)
{
    return !image.deviceForm && image.header.compression == kCompressionBitFields;
}

const uint32_t* MasksOf(const TBitmapImage& image)
{
    return HasMasks(image) ? image.header.masks : kMask555;
}

// A channel under a mask, widened to 8 bits by repeating its top bits.
uint8_t Extract(uint32_t raw, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int width = std::min(std::popcount(mask >> shift), 32 - shift);
    uint32_t value = (raw & mask) >> shift;
    if (width >= 8)
        return static_cast<uint8_t>(value >> (width - 8));
    uint32_t wide = 0;
    for (int filled = 0; filled < 8; filled += width)
        wide = (wide << width) | value;
    const int overshoot = ((8 + width - 1) / width) * width - 8;
    return static_cast<uint8_t>(wide >> overshoot);
}

uint32_t Insert(uint8_t channel, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int width = std::popcount(mask >> shift);
    const uint32_t value = width >= 8 ? uint32_t(channel) << (width - 8) : channel >> (8 - width);
    return (value << shift) & mask;
}

int NearestIndex(const TPalette& palette, TColor color)
{
    int best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        const long dr = long(palette[i].red) - RedOf(color);
        const long dg = long(palette[i].green) - GreenOf(color);
        const long db = long(palette[i].blue) - BlueOf(color);
        const long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
            if (distance == 0)
                break;
        }
    }
    return best;
}

TColorEntry Entry(uint8_t r, uint8_t g, uint8_t b) { return TColorEntry{b, g, r, 0}; }

} // namespace

TPixelLayout LayoutOf(const TBitmapImage& image)
{
    if (image.deviceForm || image.header.bitCount == 0)
        return plDevice;
    switch (image.header.bitCount) {
    case 1: return pl1Bit;
    case 4: return pl4Bit;
    case 8: return pl8Bit;
    case 24: return pl24Bit;
    case 16:
        if (image.header.compression != kCompressionBitFields)
            return pl15Bit;
        return image.header.masks[1] == 0x07E0 ? pl16Bit : plCustom;
    case 32: return image.header.compression == kCompressionBitFields ? plCustom : pl32Bit;
    default: return plCustom;
    }
}

uint32_t RawPixel(const uint8_t* row, int32_t x, int bits)
{
    switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case 8: return row[x];
    case 16: return row[2 * x] | (row[2 * x + 1] << 8);
    case 24: return row[3 * x] | (row[3 * x + 1] << 8) | (uint32_t(row[3 * x + 2]) << 16);
    default:
        return row[4 * x] | (row[4 * x + 1] << 8) | (uint32_t(row[4 * x + 2]) << 16) |
               (uint32_t(row[4 * x + 3]) << 24);
    }
}

void SetRawPixel(uint8_t* row, int32_t x, int bits, uint32_t raw)
{
    switch (bits) {
    case 1: {
        const uint8_t bit = uint8_t(0x80 >> (x & 7));
        row[x >> 3] = (raw & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
        break;
    }
    case 4:
        row[x >> 1] = (x & 1) ? (row[x >> 1] & 0xF0) | (raw & 0x0F)
                              : (row[x >> 1] & 0x0F) | ((raw & 0x0F) << 4);
        break;
    case 8: row[x] = uint8_t(raw); break;
    case 16:
        row[2 * x] = uint8_t(raw);
        row[2 * x + 1] = uint8_t(raw >> 8);
        break;
    case 24:
        row[3 * x] = uint8_t(raw);
        row[3 * x + 1] = uint8_t(raw >> 8);
        row[3 * x + 2] = uint8_t(raw >> 16);
        break;
    default:
        for (int i = 0; i < 4; ++i)
            row[4 * x + i] = uint8_t(raw >> (8 * i));
    }
}

TColor ColorOfRaw(const TBitmapImage& image, uint32_t raw)
{
    const int bits = image.Bits();
    if (bits <= 8) {
        // A hostile file may index past its colour table: such pixels read black.
        if (raw >= image.palette.size())
            return clBlack;
        const TColorEntry& e = image.palette[raw];
        return RGB(e.red, e.green, e.blue);
    }
    if (bits == 24 || (bits == 32 && !HasMasks(image)))
        return RGB(uint8_t(raw >> 16), uint8_t(raw >> 8), uint8_t(raw));
    const uint32_t* masks = MasksOf(image);
    return RGB(Extract(raw, masks[0]), Extract(raw, masks[1]), Extract(raw, masks[2]));
}

uint32_t RawOfColor(const TBitmapImage& image, TColor color)
{
    const int bits = image.Bits();
    if (bits <= 8)
        return static_cast<uint32_t>(NearestIndex(image.palette, color));
    if (bits == 24 || (bits == 32 && !HasMasks(image)))
        return BlueOf(color) | (GreenOf(color) << 8) | (uint32_t(RedOf(color)) << 16);
    const uint32_t* masks = MasksOf(image);
    return Insert(RedOf(color), masks[0]) | Insert(GreenOf(color), masks[1]) |
           Insert(BlueOf(color), masks[2]);
}

std::vector<uint32_t> TranslatedIndices(const TBitmapImage& from, const TBitmapImage& to)
{
    std::vector<uint32_t> table;
    if (from.Bits() <= 8) {
        table.resize(size_t(1) << from.Bits());
        for (uint32_t index = 0; index < table.size(); ++index)
            table[index] = RawOfColor(to, ColorOfRaw(from, index));
    }
    return table;
}

const TPalette& StandardPalette16()
{
    static const TPalette palette{
        Entry(0, 0, 0),       Entry(128, 0, 0),   Entry(0, 128, 0),   Entry(128, 128, 0),
        Entry(0, 0, 128),     Entry(128, 0, 128), Entry(0, 128, 128), Entry(192, 192, 192),
        Entry(128, 128, 128), Entry(255, 0, 0),   Entry(0, 255, 0),   Entry(255, 255, 0),
        Entry(0, 0, 255),     Entry(255, 0, 255), Entry(0, 255, 255), Entry(255, 255, 255),
    };
    return palette;
}

// The 16 standard colours, a 6 × 6 × 6 colour cube and a ramp of 24 greys.
const TPalette& HalftonePalette()
{
    static const TPalette palette = [] {
        TPalette p = StandardPalette16();
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    p.push_back(Entry(uint8_t(51 * r), uint8_t(51 * g), uint8_t(51 * b)));
        for (int i = 0; i < 24; ++i) {
            const auto grey = uint8_t(8 + 10 * i);
            p.push_back(Entry(grey, grey, grey));
        }
        return p;
    }();
    return palette;
}

const TPalette& MonochromePalette()
{
    static const TPalette palette{Entry(0, 0, 0), Entry(255, 255, 255)};
    return palette;
}

} // namespace mirth
