#pragma once
// Counting the change notifications a graphic sends.
#include "imaging/bitmap/Graphic.h"

namespace mirth::testing {

struct ChangeCounter {
    explicit ChangeCounter(TGraphic& graphic) { graphic.OnChange = [this](TObject*) { ++count; }; }
    int count = 0;
};

} // namespace mirth::testing
