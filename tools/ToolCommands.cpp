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
    "       mirthlens-tool --help | --version\n"
    "\n"
    "Pictures are read as the window reads them (BMP, or JPEG by the extension\n"
    "\".jpg\" or \".jpeg\") and worked on at 24 bits per pixel. OUT is written as the\n"
    "window saves: a name ending in \".jpg\" (any letter case) gives a JPEG of\n"
    "quality 60, any other name a 24-bit BMP.\n"
    "\n"
    "  lens     one magnifying lens centred at X,Y (a negative coordinate means\n"
    "           the default centre 50,175), strength S from 0 to 200, default 35\n"
    "  rotate   a quarter turn clockwise (cw) or counter-clockwise (ccw)\n"
    "  blend    frame K (0 to 20) of the morph from FIRST to LAST; LAST must be\n"
    "           at least as wide and as high as FIRST\n";

constexpr int kDefaultLensStrength = 35;

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
        if (word.size() > 2 && word.compare(0, 2, "--") == 0) {
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
