#pragma once
// Writing a whole animation: frames made one at a time, encoded, and only then put
// into a file.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "imaging/animation/AnimationEncoder.h"

namespace mirth {

// The frames of an animation, all Width × Height and 24-bit, made on demand so that a
// long animation of big photographs holds one frame at a time.
class TFrameSource {
public:
    virtual ~TFrameSource() = default;
    virtual int32_t Count() const = 0;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    virtual std::unique_ptr<TBitmap> Frame(int32_t index) = 0;
};

// Told the number of frames encoded so far after each one; answering false stops the work.
using TFrameProgress = std::function<bool(int32_t done)>;

// ".webp" in any letter case gives animated WebP, any other name GIF.
TAnimationFormat AnimationFormatOf(const std::string& fileName);

// The name kept when it ends in ".gif" or ".webp" (any letter case), else with ".gif"
// added, so that the name always says what the file holds.
std::string AnimationFileName(const std::string& chosen);

// Every frame of the source through the format's encoder; the file's bytes, or nothing
// when progress asked to stop. Nothing touches the disk here.
std::optional<std::vector<uint8_t>> EncodeAnimation(TFrameSource& frames, TAnimationFormat format,
                                                    TAnimationTiming timing, const TFrameProgress& progress);

// Writes the bytes under path as every save does (TReplacingFileStream): a plain file
// is replaced only once the whole animation is written, so a failure leaves no partial
// file and an existing file of that name as it was.
void SaveAnimationFile(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace mirth
