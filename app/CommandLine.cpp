#include "app/CommandLine.h"

namespace mirth {

TStartRequest StartRequestOf(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments) {
        if (argument == "-h" || argument == "--help")
            return TStartRequest::ShowHelp;
        if (argument == "-v" || argument == "--version")
            return TStartRequest::ShowVersion;
    }
    return TStartRequest::OpenWindow;
}

std::string HelpText()
{
    return "Usage: mirthlens [PICTURE]\n"
           "A desktop toy for pushing magnifying lenses into photographs.\n"
           "\n"
           "Opens the window, with PICTURE (a BMP or JPEG file) loaded when one is named.\n"
           "The user guide is readme.html beside the program, also shown by \"About\" in\n"
           "the window's menu (right click).\n"
           "\n"
           "  -h, --help      show this help and exit\n"
           "  -v, --version   show the version and exit\n"
           "\n"
           "Qt's own options, such as -platform or -style, are accepted as well.\n";
}

std::string VersionText()
{
    return "mirthlens " MIRTH_VERSION "\n";
}

} // namespace mirth
