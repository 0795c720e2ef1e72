// What the command line asks of a start: reminder mode ("-pop", used by the logon
// entry) or a scan of one drive as soon as the main window is up ("-scan X").
#pragma once

#include <string>
#include <vector>

struct StartupOptions {
    bool reminderMode = false;
    bool skipSplash = false;
    bool releaseMainWindow = true;  // while false the main window refuses to become visible
    bool scanOnStart = false;
    wchar_t scanDriveLetter = 0;  // first character of the second argument, 0 when absent
};

// Only the first argument (after the program path) is examined, in any letter case;
// "/pop" or a switch in second position has no effect.
StartupOptions ParseStartupOptions(const std::vector<std::wstring>& arguments);

// Splits the process command line the way the C runtime does (argv without argv[0]).
std::vector<std::wstring> CommandLineArguments(const wchar_t* commandLine);

// Windows 6.x (Vista, 7) runs us with a filtered token: a user who is not an
// administrator is asked to elevate, except in reminder mode (logon) and except when
// this process already is the elevated copy, which must not ask again.
bool ShouldRequestElevation(unsigned osMajorVersion, bool reminderMode, bool isAdmin,
                            bool isElevatedCopy);
