#include "imaging/picture/PictureFileTypes.h"

#include <algorithm>

#include "imaging/bitmap/Bitmap.h"
#include "imaging/jpeg/Jpeg.h"
#include "imaging/picture/FileFormats.h"
#include "runtime/FileNames.h"

namespace mirth {

namespace {

bool LoadsAsPicture(const TFileFormatsList::Row& row)
{
    return row.graphicClass->InheritsFrom(&TBitmap::Class) || row.graphicClass->InheritsFrom(&TJPEGImage::Class);
}

void AppendOnce(std::vector<std::string>& list, const std::string& value)
{
    if (std::find(list.begin(), list.end(), value) == list.end())
        list.push_back(value);
}

// The extensions of the picture rows with the given description; every one with none.
std::vector<std::string> ExtensionsDescribed(const std::string* description)
{
    std::vector<std::string> extensions;
    for (const auto& row : FileFormats().Rows())
        if (LoadsAsPicture(row) && (description == nullptr || row.description == *description))
            AppendOnce(extensions, row.extension);
    return extensions;
}

std::string Patterns(const std::vector<std::string>& extensions, const char* separator)
{
    std::string patterns;
    for (const std::string& extension : extensions)
        patterns += (patterns.empty() ? "" : separator) + ("*." + extension);
    return patterns;
}

} // namespace

std::vector<std::string> PictureExtensions() { return ExtensionsDescribed(nullptr); }

bool IsPictureFileName(const std::string& path)
{
    const std::string extension = LowerCaseAscii(ExtractFileExt(path));
    const auto known = PictureExtensions();
    return extension.size() > 1 && std::find(known.begin(), known.end(), extension.substr(1)) != known.end();
}

std::string OpenDialogFilter()
{
    std::vector<std::string> descriptions;
    for (const auto& row : FileFormats().Rows())
        if (LoadsAsPicture(row))
            AppendOnce(descriptions, row.description);
    std::string filter = "Graphic Files|" + Patterns(PictureExtensions(), ";");
    for (const std::string& description : descriptions) {
        const auto extensions = ExtensionsDescribed(&description);
        filter += "|" + description + " (" + Patterns(extensions, " ") + ")|" + Patterns(extensions, ";");
    }
    return filter;
}

} // namespace mirth
