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
        // Setting the layout first gives the same white 24-bit bitmap as setting
        // it last, without converting a full-size picture that is about to be
        // drawn over.
        TBitmap drawn;
        drawn.SetPixelLayout(pl24Bit);
        drawn.SetWidth(picture.Width());
        drawn.SetHeight(picture.Height());
        drawn.Canvas().DrawGraphic(0, 0, jpeg);
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
