#include <iostream>

#include "imaging/picture/ImageFormats.h"
#include "tools/ToolCommands.h"

int main(int argc, char** argv)
{
    mirth::RegisterImageFormats();
    return mirth::tool::Run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
