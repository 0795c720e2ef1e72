// Helpers of the installer and end-to-end tests: running installers and the
// installed program in this Wine prefix, and reading what they left behind.
#pragma once

#include <windows.h>

#include <string>

namespace vantrel::testsupport {

// The versions of the older and the newer test installer's program.
inline const std::wstring kOldVersion = L"" VANTREL_OLD_VERSION_TEXT;
inline const std::wstring kNextVersion = L"" VANTREL_NEXT_VERSION_TEXT;

// C:\Program Files\Brenlow\Vantrel of this process's architecture.
std::wstring InstallFolder();
std::wstring InstalledProgram();
// The installers the build made beside the test program.
std::wstring TestInstaller(const wchar_t* name);

// Runs a command line and waits up to `limitMs` for it; the exit code, or
// STILL_ACTIVE when it did not end in time, or -1 when it did not start.
DWORD RunAndWait(const std::wstring& commandLine, DWORD limitMs);

// The FileVersion text of a file's version resource; empty without one.
std::wstring FileVersionOf(const std::wstring& path);

// Polls `condition` every 50 ms until it holds or `limitMs` passed.
template <typename Condition>
bool WaitFor(Condition condition, DWORD limitMs) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount64() >= end) {
            return false;
        }
        Sleep(50);
    }
}

// Removes an earlier installation, if any, and waits until it is gone.
void UninstallIfPresent();

bool RegistryValueExists(HKEY root, const wchar_t* key, const wchar_t* value);
std::wstring RegistryText(HKEY root, const wchar_t* key, const wchar_t* value);

// Keeps the machine's logon entry of the program (HKLM Run, value "Vantrel") out of a
// test's way: it is set aside when the keeper is made and put back when it goes.
// Other tests start the program, which writes that entry; the installer tests see
// who writes and who removes it.
class LogonEntrySetAside {
  public:
    LogonEntrySetAside();
    ~LogonEntrySetAside();
    LogonEntrySetAside(const LogonEntrySetAside&) = delete;
    LogonEntrySetAside& operator=(const LogonEntrySetAside&) = delete;

  private:
    bool existed_ = false;
    std::wstring command_;
};

// A started copy of the installed program.
class RunningProgram {
  public:
    RunningProgram() = default;
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Start(const std::wstring& path);
    // The main window once it shows its update button; null after `limitMs`.
    HWND WaitForMainWindow(DWORD limitMs);
    // True when the process ended within `limitMs`; its exit code goes to `code`.
    bool WaitForExit(DWORD limitMs, DWORD* code = nullptr);
    void Terminate();
    DWORD ProcessId() const { return info_.dwProcessId; }

  private:
    PROCESS_INFORMATION info_ = {};
};

// The update button of the main window, pressed.
void PressUpdateButton(HWND mainWindow);

}  // namespace vantrel::testsupport
