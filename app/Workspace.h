#pragma once
#include <cstdint>

#include "effects/LensPainter.h"
#include "imaging/pixels/GraphicsTypes.h"

namespace mirth {

class TImage;

// The state every command of the window shares, at its start values.
struct TWorkspace {
    TPoint LensPoint{0, 0};     // centre of the latest lens; "Keep" puts it back to (0, 0)
    int32_t ThumbCount = 0;     // thumbnails in the strip, and the slot of the next one
    int32_t AnimFrame = 0;      // the frame the next animation tick shows
    long double MorphFactor = 0; // blend factor of the morph, 0 to 1
    bool Selecting = false;     // a crop rectangle is being dragged with Ctrl held
    TImage* NewThumb = nullptr; // the thumbnail made last; the strip owns it
    int32_t SelStartX = 0;      // the selection's anchor, where the mouse went down
    int32_t SelStartY = 0;
    int32_t SelEndX = 0;        // the selection's moving corner
    int32_t SelEndY = 0;
    TLensPainter Lens;          // draws each lens, redrawing only its discs where it can
};

} // namespace mirth
