#include "imaging/animation/AnimatedFile.h"

#include "imaging/bitmap/Bitmap.h"
#include "runtime/FileNames.h"
#include "runtime/ReplacingFileStream.h"

namespace mirth {

TAnimationFormat AnimationFormatOf(const std::string& fileName)
{
    return LowerCaseAscii(ExtractFileExt(fileName)) == ".webp" ? TAnimationFormat::Webp : TAnimationFormat::Gif;
}

std::string AnimationFileName(const std::string& chosen)
{
    const std::string extension = LowerCaseAscii(ExtractFileExt(chosen));
    return extension == ".gif" || extension == ".webp" ? chosen : chosen + ".gif";
}

std::optional<std::vector<uint8_t>> EncodeAnimation(TFrameSource& frames, TAnimationFormat format,
                                                    TAnimationTiming timing, const TFrameProgress& progress)
{
    const auto encoder = MakeAnimationEncoder(format, frames.Width(), frames.Height(), timing);
    for (int32_t k = 0; k < frames.Count(); ++k) {
        encoder->AddFrame(*frames.Frame(k));
        if (!progress(k + 1))
            return std::nullopt;
    }
    return encoder->Finish();
}

void SaveAnimationFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    TReplacingFileStream file(path);
    file.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    file.Commit();
}

} // namespace mirth
