// The update button's work: fetch the manifest, compare its version with the
// program's own, fetch the installer under a dated name, check it against the
// manifest's hash line when there is one, tell the user and hand over to the
// installer, which runs silently and replaces the program.
//
// All of it runs on the user-interface thread; update.dll blocks that thread for each
// transfer while its progress window (owned by the host window) runs.
#pragma once

#include <windows.h>

#include <string>

// What the check needs from the program: the window that owns the messages and the
// progress window, the caption of the messages, and whether the user is an
// administrator (others get no reaction).
struct UpdateHost {
    HWND window = nullptr;
    std::wstring title;
    bool administrator = false;
};

// Runs the check. 1 when an installer download was started, else 0. A second call
// while one runs does nothing.
int CheckForUpdates(const UpdateHost& host);

// True when the manifest at `manifestPath` names a newer version than the FileVersion
// of the running program's version resource.
bool IsNewerVersionAvailable(const std::wstring& manifestPath);

// Fetches the installer, verifies it, stores it under its dated name, says so and
// hands over to it; on a failure says so and returns.
void DownloadAndInstallUpdate(const UpdateHost& host);

// Starts the stored installer with "/verysilent" and ends the process with code 0.
[[noreturn]] void RunInstaller();

// Set while a check runs.
bool UpdateInProgress();

// The full path of the installer the last successful download stored.
const std::wstring& InstallerPath();

// What hands over to a downloaded installer; RunInstaller unless a test replaces it
// (ending the test program is not something a test can watch).
using InstallerLauncher = void (*)();
void SetInstallerLauncher(InstallerLauncher launcher);
