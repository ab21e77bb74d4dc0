#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/Classes.h"

namespace mirth {

// A colour as 0x00BBGGRR: red in the low byte.
using TColor = uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;

constexpr uint8_t RedOf(TColor c) { return c & 0xFF; }
constexpr uint8_t GreenOf(TColor c) { return (c >> 8) & 0xFF; }
constexpr uint8_t BlueOf(TColor c) { return (c >> 16) & 0xFF; }
constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b) { return r | (g << 8) | (TColor(b) << 16); }

struct TPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Right and bottom are exclusive: (0, 0, w, h) covers w × h pixels.
struct TRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    // In 64 bits: edges anywhere in 32 bits may lie further apart than 32 bits count.
    int64_t Width() const { return int64_t{right} - left; }
    int64_t Height() const { return int64_t{bottom} - top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// One colour-table entry in the order a BMP file stores it.
struct TColorEntry {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
    friend bool operator==(const TColorEntry&, const TColorEntry&) = default;
};

// No entries means no palette.
using TPalette = std::vector<TColorEntry>;

enum TPixelLayout { plDevice, pl1Bit, pl4Bit, pl8Bit, pl15Bit, pl16Bit, pl24Bit, pl32Bit, plCustom };

enum TProgressStage { psStarting, psRunning, psEnding };

using TProgressEvent = std::function<void(TObject* sender, TProgressStage stage, uint8_t percentDone,
                                          bool redrawNow, const TRect& rect, const std::string& message)>;

} // namespace mirth
