#include "imaging/picture/WorkspaceFiles.h"

#include <algorithm>
#include <array>

#include "imaging/bitmap/Canvas.h"
#include "imaging/jpeg/Jpeg.h"
#include "imaging/picture/DecodedImage.h"
#include "imaging/picture/Orientation.h"
#include "imaging/picture/Picture.h"
#include "imaging/png/PngCodec.h"
#include "imaging/webp/WebpCodec.h"
#include "runtime/FileNames.h"
#include "runtime/ReplacingFileStream.h"

namespace mirth {

namespace {

constexpr uint8_t kSavedJpegQuality = 60;
constexpr std::array kJpegNames{".jpg", ".jpeg", ".jpe", ".jfif"};

using TRasterEncoder = void (*)(const TRasterView& picture, TStream& stream);

// The JPEG's pixels as the workspace takes them: 24 bits, turned upright as the
// camera's orientation tag asks.
void DrawJpeg(TJPEGImage& jpeg, int32_t width, int32_t height, TBitmap& drawn)
{
    TBitmap& decoded = jpeg.DecodeToBitmap();
    if (decoded.PixelLayout() == pl24Bit && decoded.Width() == width && decoded.Height() == height) {
        // Drawing a 24-bit picture unscaled over a white one of its size
        // gives exactly its pixels: share them instead of copying twice.
        drawn.CopyFrom(&decoded);
    } else {
        drawn.SetPixelLayout(pl24Bit);
        drawn.SetWidth(width);
        drawn.SetHeight(height);
        drawn.Canvas().DrawGraphic(0, 0, &jpeg);
    }
    TMemoryStream* compressed = jpeg.Data().Compressed.get();
    if (compressed == nullptr || drawn.Empty())
        return;
    const TExifOrientation orientation = ExifOrientation(compressed->Memory(), static_cast<size_t>(compressed->Size()));
    if (orientation != kUprightAsStored)
        drawn.AdoptImage(Upright(drawn.Image(), orientation));
}

void SaveEncoded(TBitmap& working, const std::string& path, TRasterEncoder encode)
{
    TBitmap bgr;
    bgr.CopyFrom(&working);
    bgr.SetPixelLayout(pl24Bit);
    const TBitmapImage& image = bgr.Image();
    const auto stride = static_cast<ptrdiff_t>(image.Stride());
    const TRasterView rows{image.Row(0), image.TopDown() ? stride : -stride, image.Width(), image.Height()};
    TReplacingFileStream file(path);
    encode(rows, file);
    file.Commit();
}

} // namespace

void MakeWorkingBitmap(TPicture& picture)
{
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Content())) {
        TBitmap drawn;
        DrawJpeg(*jpeg, picture.Width(), picture.Height(), drawn);
        picture.SetContent(nullptr);
        picture.SetContent(&drawn);
    } else if (auto* decoded = dynamic_cast<TDecodedImage*>(picture.Content())) {
        // A plain bitmap sharing the decoded pixels, so the workspace never holds a
        // graphic of the file's class.
        TBitmap plain;
        plain.CopyFrom(decoded);
        picture.SetContent(&plain);
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
    const std::string extension = LowerCaseAscii(ExtractFileExt(path));
    if (extension == ".png")
        return SaveEncoded(working, path, EncodePng);
    if (extension == ".webp")
        return SaveEncoded(working, path, EncodeWebp);
    if (std::find(kJpegNames.begin(), kJpegNames.end(), extension) == kJpegNames.end())
        return working.SaveFile(path);
    TJPEGImage jpeg;
    jpeg.SetOutputDepth(od24Bit);
    jpeg.EncodeQuality = kSavedJpegQuality;
    jpeg.CopyFrom(&working);
    jpeg.SaveFile(path);
}

} // namespace mirth
