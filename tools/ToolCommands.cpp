#include "tools/ToolCommands.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <ostream>

#include "effects/Blend.h"
#include "effects/Lens.h"
#include "effects/PlaybackFrames.h"
#include "effects/Rotate.h"
#include "imaging/picture/WorkspaceFiles.h"
#include "runtime/Exceptions.h"

namespace mirth::tool {

namespace {

constexpr const char* kUsage =
    "usage: mirthlens-tool convert IN OUT\n"
    "       mirthlens-tool lens IN OUT --at X,Y [--strength S]\n"
    "       mirthlens-tool rotate cw|ccw IN OUT\n"
    "       mirthlens-tool blend FIRST LAST OUT --frame K\n"
    "       mirthlens-tool morph FIRST LAST OUT [--interval MS] [--once] [--max-side N]\n"
    "       mirthlens-tool animate OUT IN... [--interval MS] [--once] [--max-side N]\n"
    "       mirthlens-tool --help | --version\n"
    "\n"
    "Pictures are read as the window reads them, by the extension: BMP, JPEG\n"
    "(.jpg .jpeg .jpe .jfif), PNG, WebP, GIF (the first frame), HEIC, HEIF and\n"
    "AVIF; transparent parts lie over white. They are worked on at 24 bits per\n"
    "pixel. OUT is written as the window saves, by the extension in any letter\n"
    "case: a JPEG name gives a JPEG of quality 60, \".png\" a PNG, \".webp\" a lossy\n"
    "WebP of quality 75, any other name a 24-bit BMP.\n"
    "\n"
    "  lens     one magnifying lens centred at X,Y (a negative coordinate means\n"
    "           the default centre 50,175), strength S from 0 to 200, default 35\n"
    "  rotate   a quarter turn clockwise (cw) or counter-clockwise (ccw)\n"
    "  blend    frame K (0 to 20) of the morph from FIRST to LAST; LAST must be\n"
    "           at least as wide and as high as FIRST\n"
    "  morph    the 21 frames of the morph from FIRST to LAST as an animation\n"
    "  animate  the pictures IN... in order as an animation, each as its top-left\n"
    "           part of the first one's size\n"
    "\n"
    "An animation is animated WebP when OUT ends in \".webp\" (any letter case), else\n"
    "animated GIF. Each frame lasts MS milliseconds (morph 200, animate 100; at least\n"
    "20), and the animation loops unless --once is given. Frames larger than N pixels\n"
    "(default 1080) on their longest side are scaled down to it.\n";

constexpr int kDefaultLensStrength = 35;
constexpr int32_t kDefaultMorphInterval = 200;
constexpr int32_t kDefaultAnimationInterval = 100;
constexpr int32_t kDefaultMaxSide = 1080;
// The options that stand alone, without a value after them.
constexpr const char* kFlags[] = {"--once"};

struct UsageError {};

// The words of a command line: the positional ones in order, and the values of
// the "--name value" options.
struct CommandLine {
    std::vector<std::string> words;
    std::map<std::string, std::string> options;

    // The value of an option the command allows; anything else is a usage error.
    std::optional<std::string> Take(const std::string& name)
    {
        auto found = options.find(name);
        if (found == options.end())
            return std::nullopt;
        std::string value = found->second;
        options.erase(found);
        return value;
    }
};

CommandLine Split(const std::vector<std::string>& arguments)
{
    CommandLine line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (std::find(std::begin(kFlags), std::end(kFlags), word) != std::end(kFlags)) {
            if (!line.options.emplace(word, "").second)
                throw UsageError{};
        } else if (word.size() > 2 && word.compare(0, 2, "--") == 0) {
            if (i + 1 == arguments.size() || !line.options.emplace(word, arguments[i + 1]).second)
                throw UsageError{};
            ++i;
        } else {
            line.words.push_back(word);
        }
    }
    return line;
}

int32_t ParseInt(const std::string& text)
{
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || text.empty())
        throw UsageError{};
    return value;
}

TPoint ParsePoint(const std::string& text)
{
    const size_t comma = text.find(',');
    if (comma == std::string::npos)
        throw UsageError{};
    return {ParseInt(text.substr(0, comma)), ParseInt(text.substr(comma + 1))};
}

// A picture loaded as the window loads it; the tool has nothing to do with an
// empty one, as the window's commands have not.
std::unique_ptr<TBitmap> Load(const std::string& path)
{
    auto bitmap = LoadWorkingBitmap(path);
    if (bitmap->Empty())
        throw Exception(path + ": the picture is empty");
    return bitmap;
}

void Convert(const std::string& in, const std::string& out) { SaveWorkingBitmap(*Load(in), out); }

void Lens(const std::string& in, const std::string& out, TPoint at, int strength)
{
    auto reference = Load(in);
    TBitmap working;
    working.CopyFrom(reference.get());
    DrawLens(*reference, working, LensCentre(at), std::clamp(strength, 0, kMaxLensStrength));
    SaveWorkingBitmap(working, out);
}

void Rotate(bool clockwise, const std::string& in, const std::string& out)
{
    auto source = Load(in);
    auto turned = clockwise ? RotateBitmapClockwise(*source) : RotateBitmapCounterClockwise(*source);
    SaveWorkingBitmap(*turned, out);
}

void Blend(const std::string& firstPath, const std::string& lastPath, const std::string& out, int frame)
{
    auto first = Load(firstPath);
    auto last = Load(lastPath);
    if (last->Width() < first->Width() || last->Height() < first->Height())
        throw EInvalidOperation(Format("Invalid image size: the last picture (%d x %d) must be at least as "
                                       "wide and as high as the first (%d x %d)",
                                       last->Width(), last->Height(), first->Width(), first->Height()));
    TBitmap target;
    BlendBitmaps(*first, *last, target, MorphFactor(frame));
    SaveWorkingBitmap(target, out);
}

// How a saved playback plays and how big its frames may be, from the options.
struct PlaybackOptions {
    TAnimationTiming timing;
    int32_t maxSide = kDefaultMaxSide;
};

PlaybackOptions TakePlaybackOptions(CommandLine& line, int32_t defaultInterval)
{
    PlaybackOptions options;
    const auto interval = line.Take("--interval");
    const auto maxSide = line.Take("--max-side");
    options.timing = {interval ? ParseInt(*interval) : defaultInterval, !line.Take("--once")};
    options.maxSide = maxSide ? ParseInt(*maxSide) : kDefaultMaxSide;
    if (options.timing.intervalMs < 0 || options.maxSide < 1)
        throw UsageError{};
    return options;
}

void SavePlayback(TFrameSource& frames, const std::string& out, TAnimationTiming timing)
{
    const auto bytes = EncodeAnimation(frames, AnimationFormatOf(out), timing, [](int32_t) { return true; });
    SaveAnimationFile(out, *bytes);
}

void Morph(const std::string& firstPath, const std::string& lastPath, const std::string& out,
           const PlaybackOptions& options)
{
    auto first = Load(firstPath);
    auto last = Load(lastPath);
    TMorphFrames frames(*first, *last);
    frames.FitWithin(options.maxSide);
    SavePlayback(frames, out, options.timing);
}

void Animate(const std::string& out, const std::vector<std::string>& inputs, const PlaybackOptions& options)
{
    std::vector<std::unique_ptr<TBitmap>> pictures;
    std::vector<TBitmap*> frames;
    for (const std::string& path : inputs)
        frames.push_back(pictures.emplace_back(Load(path)).get());
    TAnimationFrames animation(frames);
    animation.FitWithin(options.maxSide);
    SavePlayback(animation, out, options.timing);
}

// Checks the shape of the command line and runs the command.
void Dispatch(CommandLine line)
{
    if (line.words.empty())
        throw UsageError{};
    const std::string command = line.words.front();
    const std::vector<std::string> files(line.words.begin() + 1, line.words.end());
    auto expect = [&](size_t count) {
        if (files.size() != count)
            throw UsageError{};
    };
    auto finish = [&] {
        if (!line.options.empty())
            throw UsageError{};
    };

    if (command == "convert") {
        expect(2);
        finish();
        Convert(files[0], files[1]);
    } else if (command == "lens") {
        expect(2);
        const auto at = line.Take("--at");
        const auto strength = line.Take("--strength");
        finish();
        if (!at)
            throw UsageError{};
        Lens(files[0], files[1], ParsePoint(*at), strength ? ParseInt(*strength) : kDefaultLensStrength);
    } else if (command == "rotate") {
        expect(3);
        finish();
        if (files[0] != "cw" && files[0] != "ccw")
            throw UsageError{};
        Rotate(files[0] == "cw", files[1], files[2]);
    } else if (command == "blend") {
        expect(3);
        const auto frame = line.Take("--frame");
        finish();
        const int k = frame ? ParseInt(*frame) : -1;
        if (k < 0 || k >= kMorphFrames)
            throw UsageError{};
        Blend(files[0], files[1], files[2], k);
    } else if (command == "morph") {
        expect(3);
        const PlaybackOptions options = TakePlaybackOptions(line, kDefaultMorphInterval);
        finish();
        Morph(files[0], files[1], files[2], options);
    } else if (command == "animate") {
        if (files.size() < 2)
            throw UsageError{};
        const PlaybackOptions options = TakePlaybackOptions(line, kDefaultAnimationInterval);
        finish();
        Animate(files[0], std::vector<std::string>(files.begin() + 1, files.end()), options);
    } else {
        throw UsageError{};
    }
}

} // namespace

int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    if (std::find(arguments.begin(), arguments.end(), "--help") != arguments.end()) {
        out << kUsage;
        return 0;
    }
    if (std::find(arguments.begin(), arguments.end(), "--version") != arguments.end()) {
        out << "mirthlens-tool " MIRTH_VERSION "\n";
        return 0;
    }
    try {
        Dispatch(Split(arguments));
        return 0;
    } catch (const UsageError&) {
        err << kUsage;
        return 2;
    } catch (const Exception& e) {
        err << e.Message() << '\n';
    } catch (const std::bad_alloc&) {
        err << "Out of memory\n";
    }
    return 1;
}

} // namespace mirth::tool
