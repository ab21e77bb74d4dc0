#pragma once
#include "imaging/bitmap/Bitmap.h"

namespace mirth {

constexpr int kMaxLensStrength = 200;

// The centre a requested point stands for: a point with a negative coordinate
// means the default centre (50, 175), both coordinates replaced.
TPoint LensCentre(TPoint requested);

// Rebuilds every pixel of working from reference with one magnifying lens at
// centre, of strength 0..200; both bitmaps hold 24-bit pixels. Rows are written
// top to bottom and left to right; a lens pixel whose source row lies outside the
// reference stops the pass there with "Scan line index out of range", the pixels
// before it already written. A source column outside the reference takes the
// nearest column.
void DrawLens(TBitmap& reference, TBitmap& working, TPoint centre, int strength);

// A lens as drawn: where and how strong.
struct TLensDrawing {
    TPoint centre;
    int strength = 0;
};

// Turns working, which holds exactly reference with the lens `drawn` (both of one size,
// 24-bit), into reference with the lens `next`, the same bytes DrawLens writes, by
// rewriting only the two discs. The pixels are visited in DrawLens's order, so a
// source row outside the reference stops it with the same error and the same pixels
// written; the reference is only read.
void RedrawLens(const TBitmap& reference, TBitmap& working, TLensDrawing drawn, TLensDrawing next);

// The part of a width × height picture that a lens can change: its disc's bounding box,
// empty when the lens changes nothing.
TRect LensBounds(TLensDrawing lens, int32_t width, int32_t height);

} // namespace mirth
