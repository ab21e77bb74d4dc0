#pragma once
#include <cstdint>
#include <memory>
#include <vector>

namespace mirth {

class TBitmap;

// A list of frames of one size, Width by Height, without masks. A frame is the top-left
// Width by Height part of the picture it was taken from, as that picture was then: a
// picture of exactly the frame size shares its pixel store copy-on-write, so a list of
// big snapshots costs no pixels of its own, and a later change to the picture never
// reaches the frame. A larger picture gives one frame, its top-left part.
class TImageList {
public:
    explicit TImageList(int32_t width = 16, int32_t height = 16);
    ~TImageList();

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    // A size that changes empties the list; the same size keeps it.
    void SetWidth(int32_t width);
    void SetHeight(int32_t height);

    int32_t Count() const { return static_cast<int32_t>(frames_.size()); }
    // Appends the top-left frame of picture, in the 24-bit layout.
    // EInvalidOperation "Invalid image size" when picture is narrower or lower than a
    // frame; the list is then unchanged.
    void Add(TBitmap& picture);
    // Makes target equal to frame index, sharing its pixels. An index outside
    // 0..Count-1 leaves target alone.
    void CopyFrame(int32_t index, TBitmap& target) const;
    void Clear();

private:
    void SetSide(int32_t& side, int32_t value);

    int32_t width_;
    int32_t height_;
    std::vector<std::unique_ptr<TBitmap>> frames_;
};

} // namespace mirth
