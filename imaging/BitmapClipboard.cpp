// The clipboard form of a bitmap: filled in with the clipboard model.
#include "imaging/Bitmap.h"
#include "runtime/Exceptions.h"

namespace mirth {

void TBitmap::LoadFromClipboardFormat(TClipboardFormat, const std::vector<uint8_t>&, const TPalette&)
{
    throw EInvalidGraphic("Bitmap image is not valid");
}

void TBitmap::SaveToClipboardFormat(TClipboardFormat&, std::vector<uint8_t>&, TPalette&)
{
    throw EInvalidGraphic("Bitmap image is not valid");
}

} // namespace mirth
