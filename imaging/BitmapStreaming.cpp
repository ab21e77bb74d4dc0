// Stream forms of a bitmap: filled in by the BMP codec.
#include "imaging/Bitmap.h"
#include "runtime/Exceptions.h"

namespace mirth {

namespace {
[[noreturn]] void NotYet() { throw EInvalidGraphic("Bitmap image is not valid"); }
} // namespace

void TBitmap::LoadStream(TStream&) { NotYet(); }
void TBitmap::SaveStream(TStream&) { NotYet(); }
void TBitmap::ReadData(TStream&) { NotYet(); }
void TBitmap::WriteData(TStream&) { NotYet(); }

} // namespace mirth
