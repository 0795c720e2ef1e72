// gtest entry point for the Windows test programs. Test programs run under Wine
// from CTest; a crash dialog would hang the run, so error boxes are switched off.
#include <windows.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
