// gtest entry point for the Windows test programs. Test programs run under Wine
// from CTest; a crash dialog would hang the run, so error boxes are switched off.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    // Unbuffered, so that a test program CTest ends at its timeout still shows how far
    // it came.
    setvbuf(stdout, nullptr, _IONBF, 0);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
