#pragma once
#include <string>

namespace mirth {

// The extension of a path, dot included: the text from the last "." that
// follows the last "/", or empty when the file name has no dot. A dot in a
// folder name never counts.
inline std::string ExtractFileExt(const std::string& path)
{
    const size_t at = path.find_last_of("./");
    if (at == std::string::npos || path[at] != '.')
        return "";
    return path.substr(at);
}

// The path without its extension, as ExtractFileExt finds it.
inline std::string WithoutFileExt(const std::string& path)
{
    return path.substr(0, path.size() - ExtractFileExt(path).size());
}

// Lower-cases A to Z only, so the result never depends on the locale.
inline std::string LowerCaseAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace mirth
