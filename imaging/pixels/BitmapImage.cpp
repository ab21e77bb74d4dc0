#include "imaging/pixels/BitmapImage.h"

#include <cstring>
#include <sys/mman.h>

#include "imaging/pixels/BlockPool.h"
#include "runtime/Exceptions.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MIRTH_CHECKED_HEAP 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define MIRTH_CHECKED_HEAP 1
#endif

namespace mirth {

namespace {

bool IsSupportedDepth(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

[[noreturn]] void FailOutOfResources() { throw EOutOfResources("Out of system resources"); }

[[maybe_unused]] constexpr size_t kHugePage = size_t(2) << 20; // unused where the heap is checked

} // namespace

// A photograph's block from the heap arrives as fresh 4 KiB pages, and faulting
// them in one by one costs several times the copy that fills them. Large blocks
// are therefore mapped on huge-page boundaries and asked for huge pages, and one
// given back recently is used again where it fits. The memory comes zeroed unless
// the caller asks otherwise. Sanitizer builds keep the heap, which checks every
// access.
TBitmapImage::Block TBitmapImage::AllocateBlock(size_t bytes, bool zeroed)
{
#ifndef MIRTH_CHECKED_HEAP
    if (bytes >= 2 * kHugePage) {
        const size_t mapped = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        if (uint8_t* kept = TakeKeptBlock(mapped)) {
            if (zeroed)
                std::memset(kept, 0, bytes);
            return Block(kept, TPixelBlockRelease{mapped});
        }
        void* area =
            ::mmap(nullptr, mapped + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (area == MAP_FAILED)
            return Block(nullptr, TPixelBlockRelease{});
        auto* start = static_cast<uint8_t*>(area);
        const uintptr_t boundary = (reinterpret_cast<uintptr_t>(start) + kHugePage - 1) & ~(kHugePage - 1);
        auto* aligned = reinterpret_cast<uint8_t*>(boundary);
        if (aligned > start)
            ::munmap(start, static_cast<size_t>(aligned - start));
        if (const size_t tail = kHugePage - static_cast<size_t>(aligned - start); tail > 0)
            ::munmap(aligned + mapped, tail);
        ::madvise(aligned, mapped, MADV_HUGEPAGE);
        return Block(aligned, TPixelBlockRelease{mapped});
    }
#else
    (void)zeroed;
#endif
    return Block(static_cast<uint8_t*>(std::calloc(bytes, 1)), TPixelBlockRelease{});
}

// The same holds for a photograph's bytes in a vector (a BMP file of it, say): the
// huge-page boundaries inside the room are asked for huge pages before the writer
// first touches them.
std::vector<uint8_t> RoomForBytes(size_t bytes)
{
    std::vector<uint8_t> block;
    block.reserve(bytes);
#ifndef MIRTH_CHECKED_HEAP
    if (bytes >= 2 * kHugePage) {
        const uintptr_t start = reinterpret_cast<uintptr_t>(block.data());
        const uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
        const uintptr_t end = (start + bytes) & ~(kHugePage - 1);
        if (end > first)
            ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
    }
#endif
    return block;
}

void TPixelBlockRelease::operator()(uint8_t* block) const
{
    if (mappedBytes > 0)
        KeepOrUnmapBlock(block, mappedBytes);
    else
        std::free(block);
}

std::shared_ptr<TBitmapImage> TBitmapImage::Make(const TBitmapHeader& header, bool deviceForm, TPixelStart start)
{
    auto image = std::make_shared<TBitmapImage>();
    image->header = header;
    image->deviceForm = deviceForm;
    const int64_t width = header.width;
    const int64_t height = image->Height();
    if (width <= 0 || height <= 0 || (header.bitCount == 0 && !deviceForm))
        return image;
    if (!IsSupportedDepth(image->Bits()))
        throw EInvalidGraphic("Invalid pixel format");
    // A row of a 31-bit width fits 64 bits easily; the whole block is checked
    // against the cap before multiplying, since rows × height need not.
    const int64_t stride = RowStride(width, image->Bits());
    if (stride > kMaxPixelBytes / height)
        FailOutOfResources();
    const int64_t bytes = stride * height;
    // Pixels of fewer than 8 bits are written into bytes they share, so they start zeroed.
    const bool unset = start == TPixelStart::Unset && image->Bits() % 8 == 0;
    image->pixels_ = AllocateBlock(static_cast<size_t>(bytes), !unset);
    if (!image->pixels_)
        FailOutOfResources();
    image->pixelBytes_ = static_cast<size_t>(bytes);
    if (unset)
        image->ZeroRowPadding();
    return image;
}

void TBitmapImage::ZeroRowPadding()
{
    const size_t used = static_cast<size_t>(header.width) * static_cast<size_t>(Bits() / 8);
    if (used == Stride())
        return;
    for (int32_t y = 0; y < Height(); ++y)
        std::memset(Row(y) + used, 0, Stride() - used);
}

std::shared_ptr<TBitmapImage> TBitmapImage::Clone() const
{
    auto copy = std::make_shared<TBitmapImage>();
    copy->header = header;
    copy->deviceForm = deviceForm;
    copy->palette = palette;
    copy->coreHeader = coreHeader;
    copy->savedFileBytes = savedFileBytes;
    if (pixels_) {
        copy->pixels_ = AllocateBlock(pixelBytes_, false);
        if (!copy->pixels_)
            FailOutOfResources();
        std::memcpy(copy->pixels_.get(), pixels_.get(), pixelBytes_);
        copy->pixelBytes_ = pixelBytes_;
    }
    return copy;
}

} // namespace mirth
