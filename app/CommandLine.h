#pragma once
#include <string>
#include <vector>

namespace mirth {

// What the window's command line asks for before any window exists, so that "--help" and
// "--version" answer without a display.
enum class TStartRequest { OpenWindow, ShowHelp, ShowVersion };

// `arguments` without the program name; the first request named wins.
TStartRequest StartRequestOf(const std::vector<std::string>& arguments);

std::string HelpText();
std::string VersionText();

} // namespace mirth
