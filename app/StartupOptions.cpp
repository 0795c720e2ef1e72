#include "app/StartupOptions.h"

#include <windows.h>
#include <shellapi.h>

StartupOptions ParseStartupOptions(const std::vector<std::wstring>& arguments) {
    StartupOptions options;
    if (arguments.empty()) {
        return options;
    }
    const std::wstring& first = arguments[0];
    if (lstrcmpiW(first.c_str(), L"-pop") == 0) {
        options.reminderMode = true;
        options.skipSplash = true;
        options.releaseMainWindow = false;
    } else if (lstrcmpiW(first.c_str(), L"-scan") == 0) {
        options.scanOnStart = true;
        if (arguments.size() > 1 && !arguments[1].empty()) {
            options.scanDriveLetter = arguments[1][0];
        }
    }
    return options;
}

std::vector<std::wstring> CommandLineArguments(const wchar_t* commandLine) {
    std::vector<std::wstring> arguments;
    if (commandLine == nullptr || *commandLine == L'\0') {
        return arguments;
    }
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(commandLine, &count);
    if (argv == nullptr) {
        return arguments;
    }
    for (int i = 1; i < count; ++i) {
        arguments.emplace_back(argv[i]);
    }
    LocalFree(argv);
    return arguments;
}

bool ShouldRequestElevation(unsigned osMajorVersion, bool reminderMode, bool isAdmin,
                            bool isElevatedCopy) {
    return !reminderMode && osMajorVersion == 6 && !isAdmin && !isElevatedCopy;
}
