#pragma once
#include <string>

namespace mirth {

// Asks the desktop to open the document at path as a double-click in its file manager
// would. Whether that works is the desktop's business: nothing is reported.
void OpenDocument(const std::string& path);

// The folder of the running executable, with its trailing separator.
std::string ExecutableFolder();

} // namespace mirth
