// The main of the test binaries without widgets: the program's start, then the tests.
#include <gtest/gtest.h>

#include "imaging/picture/ImageFormats.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    mirth::RegisterImageFormats();
    return RUN_ALL_TESTS();
}
