// The scenario program. Run with --fixture it is instead the stand-in
// program that the driver's own checks start (see Fixture.h).
#include "Fixture.h"

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--fixture") == 0)
            return fixture::RunAsProgram();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
