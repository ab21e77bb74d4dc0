#include "imaging/WorkspaceFiles.h"

#include "imaging/Canvas.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"
#include "runtime/FileNames.h"

namespace mirth {

namespace {
constexpr uint8_t kSavedJpegQuality = 60;
} // namespace

void MakeWorkingBitmap(TPicture& picture)
{
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Content())) {
        TBitmap drawn;
        TBitmap& decoded = jpeg->DecodeToBitmap();
        if (decoded.PixelLayout() == pl24Bit && decoded.Width() == picture.Width() &&
            decoded.Height() == picture.Height()) {
            // Drawing a 24-bit picture unscaled over a white one of its size
            // gives exactly its pixels: share them instead of copying twice.
            drawn.CopyFrom(&decoded);
        } else {
            // Setting the layout first gives the same white 24-bit bitmap as
            // setting it last, without converting pixels about to be drawn over.
            drawn.SetPixelLayout(pl24Bit);
            drawn.SetWidth(picture.Width());
            drawn.SetHeight(picture.Height());
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
