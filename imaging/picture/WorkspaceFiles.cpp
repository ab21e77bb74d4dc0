#include "imaging/picture/WorkspaceFiles.h"

#include "imaging/bitmap/Canvas.h"
#include "imaging/jpeg/Jpeg.h"
#include "imaging/picture/Picture.h"
#include "runtime/FileNames.h"

namespace mirth {

namespace {
constexpr uint8_t kSavedJpegQuality = 60;
} // namespace

void MakeWorkingBitmap(TPicture& picture)
{
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Content())) {
        const int32_t width = picture.Width(), height = picture.Height();
        TBitmap drawn;
        TBitmap& decoded = jpeg->DecodeToBitmap();
        if (decoded.PixelLayout() == pl24Bit && decoded.Width() == width && decoded.Height() == height) {
            // Drawing a 24-bit picture unscaled over a white one of its size
            // gives exactly its pixels: share them instead of copying twice.
            drawn.CopyFrom(&decoded);
        } else {
            drawn.SetPixelLayout(pl24Bit);
            drawn.SetWidth(width);
            drawn.SetHeight(height);
            drawn.Canvas().DrawGraphic(0, 0, jpeg);
        }
        picture.SetContent(nullptr);
        picture.SetContent(&drawn);
    }
    picture.AsBitmap().SetPixelLayout(pl24Bit);
}

std::unique_ptr<TBitmap> LoadWorkingBitmap(const std::string& path)
{
    TPicture picture;
    picture.LoadFile(path);
    MakeWorkingBitmap(picture);
    auto working = std::make_unique<TBitmap>();
    working->CopyFrom(&picture.AsBitmap());
    return working;
}

void SaveWorkingBitmap(TBitmap& working, const std::string& path)
{
    if (LowerCaseAscii(ExtractFileExt(path)) != ".jpg") {
        working.SaveFile(path);
        return;
    }
    TJPEGImage jpeg;
    jpeg.SetOutputDepth(od24Bit);
    jpeg.EncodeQuality = kSavedJpegQuality;
    jpeg.CopyFrom(&working);
    jpeg.SaveFile(path);
}

} // namespace mirth
