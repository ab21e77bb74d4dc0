#include "imaging/jpeg/ExifOrientation.h"

#include <cstring>

namespace mirth {

namespace {

constexpr uint8_t kMarkerStartOfImage = 0xD8;
constexpr uint8_t kMarkerStartOfScan = 0xDA;
constexpr uint8_t kMarkerEndOfImage = 0xD9;
constexpr uint8_t kMarkerExif = 0xE1;
constexpr uint16_t kTagOrientation = 0x0112;
constexpr uint16_t kTypeShort = 3;
constexpr size_t kIfdEntryBytes = 12;

// A TIFF block in either byte order, every read bounds-checked.
class TiffBlock {
public:
    TiffBlock(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool ReadByteOrder()
    {
        if (size_ < 8 || data_[0] != data_[1] || (data_[0] != 'I' && data_[0] != 'M'))
            return false;
        littleEndian_ = data_[0] == 'I';
        return U16(2) == 42;
    }
    bool Fits(size_t offset, size_t count) const { return offset <= size_ && count <= size_ - offset; }
    uint16_t U16(size_t at) const
    {
        return littleEndian_ ? uint16_t(data_[at] | data_[at + 1] << 8) : uint16_t(data_[at] << 8 | data_[at + 1]);
    }
    uint32_t U32(size_t at) const
    {
        return littleEndian_ ? uint32_t(U16(at)) | uint32_t(U16(at + 2)) << 16
                             : uint32_t(U16(at)) << 16 | uint32_t(U16(at + 2));
    }

private:
    const uint8_t* data_;
    size_t size_;
    bool littleEndian_ = false;
};

TExifOrientation OrientationInTiff(const uint8_t* data, size_t size)
{
    TiffBlock tiff(data, size);
    if (!tiff.ReadByteOrder())
        return kUprightAsStored;
    const size_t ifd = tiff.U32(4);
    if (!tiff.Fits(ifd, 2))
        return kUprightAsStored;
    const size_t entries = tiff.U16(ifd);
    for (size_t i = 0; i < entries; ++i) {
        const size_t entry = ifd + 2 + i * kIfdEntryBytes;
        if (!tiff.Fits(entry, kIfdEntryBytes))
            break;
        if (tiff.U16(entry) != kTagOrientation)
            continue;
        const uint16_t value = tiff.U16(entry + 8);
        const bool valid = tiff.U16(entry + 2) == kTypeShort && tiff.U32(entry + 4) == 1 && value >= 1 && value <= 8;
        return valid ? value : kUprightAsStored;
    }
    return kUprightAsStored;
}

} // namespace

TExifOrientation ExifOrientation(const uint8_t* jpeg, size_t size)
{
    if (size < 4 || jpeg[0] != 0xFF || jpeg[1] != kMarkerStartOfImage)
        return kUprightAsStored;
    size_t at = 2;
    while (at + 4 <= size) {
        if (jpeg[at] != 0xFF)
            return kUprightAsStored;
        const uint8_t marker = jpeg[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == kMarkerStartOfScan || marker == kMarkerEndOfImage)
            return kUprightAsStored;
        const size_t length = size_t(jpeg[at + 2]) << 8 | jpeg[at + 3];
        if (length < 2 || length > size - at - 2)
            return kUprightAsStored;
        const uint8_t* segment = jpeg + at + 4;
        const size_t segmentSize = length - 2;
        if (marker == kMarkerExif && segmentSize >= 6 && std::memcmp(segment, "Exif\0\0", 6) == 0)
            return OrientationInTiff(segment + 6, segmentSize - 6);
        at += 2 + length;
    }
    return kUprightAsStored;
}

} // namespace mirth
