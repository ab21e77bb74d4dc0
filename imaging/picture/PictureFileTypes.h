#pragma once
// What the window and the tool offer to open, taken from the file-format registry so
// that a newly registered codec appears everywhere at once.
#include <string>
#include <vector>

namespace mirth {

// The registered extensions that load as a picture, without the dot, in the order of
// registration: every row but the metafile and icon rows, which only ever refuse.
std::vector<std::string> PictureExtensions();

// Whether path ends in one of those extensions, in any letter case.
bool IsPictureFileName(const std::string& path);

// The open dialog's filter: "Graphic Files" with every picture extension, then one
// entry per format description with its extensions:
// "Graphic Files|*.bmp;*.jpeg;…|Bitmaps (*.bmp)|*.bmp|JPEG Image File (*.jpeg *.jpg …)|…".
std::string OpenDialogFilter();

} // namespace mirth
