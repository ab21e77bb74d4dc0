#include "imaging/picture/ImageFormats.h"

#include "imaging/gif/GifCodec.h"
#include "imaging/heif/HeifCodec.h"
#include "imaging/jpeg/Jpeg.h"
#include "imaging/picture/DecodedImage.h"
#include "imaging/picture/Picture.h"
#include "imaging/png/PngCodec.h"
#include "imaging/webp/WebpCodec.h"

namespace mirth {

namespace {

template <const TDecodedFormat& format>
std::unique_ptr<TGraphic> MakeDecoded()
{
    return std::make_unique<TDecodedImage>(format);
}

extern const TDecodedFormat kPng, kWebp, kGif, kHeif;
const TDecodedFormat kPng{{"TPngImage", MakeDecoded<kPng>, &TBitmap::Class}, "PNG", DecodePng};
const TDecodedFormat kWebp{{"TWebPImage", MakeDecoded<kWebp>, &TBitmap::Class}, "WebP", DecodeWebp};
const TDecodedFormat kGif{{"TGIFImage", MakeDecoded<kGif>, &TBitmap::Class}, "GIF", DecodeGif};
const TDecodedFormat kHeif{{"THEIFImage", MakeDecoded<kHeif>, &TBitmap::Class}, "HEIF", DecodeHeif};

} // namespace

// A call rather than a static initialiser beside the class: the linker leaves out a
// library's object file that nothing names, and its initialiser with it, so a program
// that only ever used pictures could not load a JPEG file.
void RegisterImageFormats()
{
    static const bool registered = [] {
        TPicture::RegisterExtension("jpeg", "JPEG Image File", TJPEGImage::Class);
        TPicture::RegisterExtension("jpg", "JPEG Image File", TJPEGImage::Class);
        TPicture::RegisterExtension("jpe", "JPEG Image File", TJPEGImage::Class);
        TPicture::RegisterExtension("jfif", "JPEG Image File", TJPEGImage::Class);
        TPicture::RegisterExtension("png", "PNG Image File", kPng.graphicClass);
        TPicture::RegisterExtension("webp", "WebP Image File", kWebp.graphicClass);
        TPicture::RegisterExtension("gif", "GIF Image File", kGif.graphicClass);
        TPicture::RegisterExtension("heic", "HEIF Image File", kHeif.graphicClass);
        TPicture::RegisterExtension("heif", "HEIF Image File", kHeif.graphicClass);
        TPicture::RegisterExtension("avif", "AVIF Image File", kHeif.graphicClass);
        return true;
    }();
    (void)registered;
}

} // namespace mirth
