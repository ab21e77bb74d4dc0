#include "imaging/heif/HeifCodec.h"

#include <memory>
#include <string>

#include <libheif/heif.h>

#include "runtime/Exceptions.h"

namespace mirth {

namespace {

[[noreturn]] void FailHeif(const std::string& reason)
{
    throw EInvalidGraphic("HEIF image is not valid: " + reason);
}

void Check(const heif_error& error)
{
    if (error.code == heif_error_Ok)
        return;
    if (error.code == heif_error_Memory_allocation_error)
        throw EOutOfResources("Out of system resources");
    FailHeif(error.message != nullptr ? error.message : "error " + std::to_string(int(error.code)));
}

template <typename T, void (*Free)(T*)>
struct Releaser {
    void operator()(T* object) const { Free(object); }
};
template <typename T, void (*Free)(T*)>
using Owned = std::unique_ptr<T, Releaser<T, Free>>;

void FreeContext(heif_context* context) { heif_context_free(context); }
void FreeHandle(heif_image_handle* handle) { heif_image_handle_release(handle); }
void FreeImage(heif_image* image) { heif_image_release(image); }
void FreeOptions(heif_decoding_options* options) { heif_decoding_options_free(options); }

// libheif gives red, green, blue (alpha); our rows hold blue first.
void CopySwappingRedBlue(const uint8_t* from, uint8_t* to, int32_t width, int bytes)
{
    for (int32_t x = 0; x < width; ++x, from += bytes, to += bytes) {
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
        if (bytes == 4)
            to[3] = from[3];
    }
}

} // namespace

void DecodeHeif(const uint8_t* data, size_t size, TRasterTarget& target)
{
    Owned<heif_context, FreeContext> context(heif_context_alloc());
    if (!context)
        throw EOutOfResources("Out of system resources");
    Check(heif_context_read_from_memory_without_copy(context.get(), data, size, nullptr));
    heif_image_handle* primary = nullptr;
    Check(heif_context_get_primary_image_handle(context.get(), &primary));
    Owned<heif_image_handle, FreeHandle> handle(primary);
    // The size after rotation and cropping: the target refuses it before libheif
    // allocates the decoded planes.
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    const TRasterChannels channels = alpha ? TRasterChannels::Bgra : TRasterChannels::Bgr;
    const TRasterRows rows = target.Begin(heif_image_handle_get_width(handle.get()),
                                          heif_image_handle_get_height(handle.get()), channels);
    Owned<heif_decoding_options, FreeOptions> options(heif_decoding_options_alloc());
    options->convert_hdr_to_8bit = 1;
    heif_image* decodedImage = nullptr;
    Check(heif_decode_image(handle.get(), &decodedImage, heif_colorspace_RGB,
                            alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get()));
    Owned<heif_image, FreeImage> decoded(decodedImage);
    int stride = 0;
    const uint8_t* plane = heif_image_get_plane_readonly(decoded.get(), heif_channel_interleaved, &stride);
    if (plane == nullptr || heif_image_get_width(decoded.get(), heif_channel_interleaved) != rows.width ||
        heif_image_get_height(decoded.get(), heif_channel_interleaved) != rows.height ||
        heif_image_get_bits_per_pixel_range(decoded.get(), heif_channel_interleaved) != 8)
        FailHeif("unexpected decoded layout");
    const int bytes = BytesPerPixel(channels);
    for (int32_t y = 0; y < rows.height; ++y)
        CopySwappingRedBlue(plane + size_t(stride) * size_t(y), rows.Row(y), rows.width, bytes);
}

} // namespace mirth
