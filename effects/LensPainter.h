#pragma once
#include <optional>
#include <vector>

#include "effects/Lens.h"

namespace mirth {

// Draws the lens of a window that redraws it on every mouse move: it remembers the
// lens it drew last and on which two bitmaps, and when neither has been written since
// (their change stamps tell), only the two discs are redrawn; otherwise the whole
// pass runs. The bytes are DrawLens's either way, failures included.
class TLensPainter {
public:
    // Returns the areas of working it may have changed.
    std::vector<TRect> Draw(TBitmap& reference, TBitmap& working, TPoint centre, int strength);

private:
    // What the working picture is known to hold: the reference with this one lens.
    struct Drawn {
        const TBitmap* reference;
        uint64_t referenceStamp;
        const TBitmap* working;
        uint64_t workingStamp;
        TLensDrawing lens;
    };
    bool StillShows(const TBitmap& reference, const TBitmap& working) const;

    std::optional<Drawn> drawn_;
};

} // namespace mirth
