#include "imaging/jpeg/Platform.h"

#include <chrono>

namespace mirth {

namespace {
int displayBits = 24;
TTickSource tickSource = nullptr;
} // namespace

int DisplayBitsPerPixel() { return displayBits; }
void SetDisplayBitsPerPixel(int bits) { displayBits = bits; }

long long TickCount()
{
    if (tickSource != nullptr)
        return tickSource();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SetTickSource(TTickSource source) { tickSource = source; }

} // namespace mirth
