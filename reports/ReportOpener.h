// Opening a written report in the browser. Internet Explorer from the Program Files
// folder comes first, but only where that program exists; otherwise, or when it does
// not start, the report file itself is opened with the shell's "open", which starts
// the user's default browser.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// One ShellExecute "open": a program or document, and its parameters (may be empty).
struct ShellLaunch {
    std::wstring file;
    std::wstring parameters;
    bool operator==(const ShellLaunch&) const = default;
};

// "<Program Files>\Internet Explorer\iexplore.exe"; empty when the folder is unknown.
std::wstring InternetExplorerPath(const std::wstring& programFilesFolder);

// The launches to try in turn for `reportPath`. `internetExplorer` is the browser's
// path when that file exists, else empty. The report path is quoted as a parameter,
// so that a folder with blanks in its name reaches the browser as one path.
std::vector<ShellLaunch> ReportLaunches(const std::wstring& reportPath,
                                        const std::wstring& internetExplorer);

// Starts one launch; true when the shell says it started. Owner: the main window.
using ShellLauncher = bool (*)(HWND owner, const ShellLaunch& launch);

// Replaces the launcher, so that tests start no browser; nullptr restores the shell.
// Returns the launcher that was in use.
ShellLauncher SetShellLauncher(ShellLauncher launcher);

// Tries the launches of ReportLaunches in turn until one starts. True when one did.
bool OpenReport(HWND owner, const std::wstring& reportPath);
