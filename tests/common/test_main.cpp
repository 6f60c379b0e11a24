#include <gtest/gtest.h>

#include <windows.h>

int main(int argc, char **argv)
{
    // A failing test must end the run with a report, never with a dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
