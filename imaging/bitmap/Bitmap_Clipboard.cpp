// The clipboard form of a bitmap: the bitmap format holds one BMP file of a
// 24-bit copy, and the palette travels beside it in the palette format.
#include "imaging/bitmap/Bitmap.h"
#include "imaging/bmp/BmpCodec.h"
#include "runtime/Exceptions.h"

namespace mirth {

void TBitmap::LoadFromClipboardFormat(TClipboardFormat format, const std::vector<uint8_t>& data,
                                      const TPalette& palette)
{
    if (format != cfBitmap || data.empty())
        throw EInvalidGraphic("Unsupported clipboard format");
    // Read and converted apart, so that bytes that fail to read leave this
    // bitmap as it was.
    TBitmap pasted;
    TMemoryStream stream(data);
    pasted.LoadStream(stream);
    // A 24-bit store already holds the device form's bytes and only changes its
    // label; any other layout is converted.
    if (pasted.PixelLayout() == pl24Bit)
        pasted.image_->deviceForm = true;
    else
        pasted.SetPixelLayout(plDevice);
    // A store of its own, without the file form it may have been read in.
    pasted.Unshare();
    pasted.image_->palette = palette;
    pasted.image_->coreHeader = false;
    AdoptImage(pasted.image_);
    Changed();
}

void TBitmap::SaveToClipboardFormat(TClipboardFormat& format, std::vector<uint8_t>& data, TPalette& palette)
{
    format = cfBitmap;
    palette = Palette();
    data.clear();
    if (Empty())
        return;
    // Whatever this bitmap's layout, the clipboard gets plain 24-bit pixels that
    // every reader of BMP files understands; a 24-bit bitmap is written from
    // its own store without copying it.
    TBitmap copy;
    copy.CopyFrom(this);
    copy.SetPixelLayout(pl24Bit);
    // One allocation, however the codec writes, and each row zeroed by the growth just
    // before it is written over, while it is in cache.
    TMemoryStream stream(RoomForBytes(size_t(BmpFileSize(copy.Image()))));
    copy.SaveStream(stream);
    data = stream.TakeBytes();
}

} // namespace mirth
