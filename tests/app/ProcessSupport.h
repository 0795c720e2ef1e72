// vantrel.exe started as a separate process, as a user or the logon entry starts it:
// the process, its windows as another program sees them, and the drive history in
// the real registry that reminder mode reads.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "state/DriveHistoryStore.h"
#include "ui/format/TimeConvert.h"

namespace vantrel::testsupport {

// build tree\app\vantrel.exe, seen from a test program in build tree\tests\app.
inline std::wstring ProgramPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    for (int i = 0; i < 3; ++i) {
        path.resize(path.find_last_of(L'\\'));
    }
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW((path + L"\\app\\vantrel.exe").c_str(), MAX_PATH, full, nullptr);
    return full;
}

// One vantrel.exe; a process still running when the object goes is ended.
struct Process {
    PROCESS_INFORMATION info = {};
    ~Process() {
        if (info.hProcess != nullptr) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(info.hProcess, 99);
                WaitForSingleObject(info.hProcess, 5000);
            }
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    bool Start(const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + ProgramPath() + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &info) != FALSE;
    }
    DWORD Id() const { return info.dwProcessId; }
    // The exit code, or STILL_ACTIVE when it did not end within `ms`.
    DWORD WaitExit(DWORD ms) {
        WaitForSingleObject(info.hProcess, ms);
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
    bool Running() { return WaitExit(0) == STILL_ACTIVE; }
};

// A visible top-level window of `processId` whose class and size match (a class of
// null matches any); null when there is none.
inline HWND FindProcessWindow(DWORD processId, const wchar_t* className, int width, int height) {
    struct Search {
        DWORD processId;
        const wchar_t* className;
        int width, height;
        HWND found;
    } search = {processId, className, width, height, nullptr};
    EnumWindows(
        +[](HWND window, LPARAM data) WINAPI -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t cls[64] = {};
            GetClassNameW(window, cls, 64);
            RECT r = {};
            GetWindowRect(window, &r);
            if (owner == s->processId && IsWindowVisible(window) &&
                (s->className == nullptr || wcscmp(cls, s->className) == 0) &&
                r.right - r.left == s->width && r.bottom - r.top == s->height) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The program's windows by their sizes.
inline HWND FindSplash(DWORD processId) {
    return FindProcessWindow(processId, L"#32770", 424, 231);
}
inline HWND FindMainWindow(DWORD processId) {
    return FindProcessWindow(processId, L"#32770", 855, 599);
}
inline HWND FindPopup(DWORD processId) {
    return FindProcessWindow(processId, nullptr, 254, 193);
}

// Polls `done` every 20 ms for at most `ms`.
inline bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
        if (GetTickCount64() > end) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

inline HWND WaitForWindow(const std::function<HWND()>& find, DWORD ms) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = find()) != nullptr; }, ms);
    return found;
}

// The letters of the fixed drives, as the drive selection page lists them.
inline std::wstring FixedDriveLetters() {
    std::wstring letters;
    const DWORD present = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', 0};
        if ((present & (1u << i)) && GetDriveTypeW(root) == DRIVE_FIXED) {
            letters += root[0];
        }
    }
    return letters;
}

// Keeps the prefix's settings key as it was: a copy is taken before the test writes
// its own history and put back afterwards.
class HistoryBackup {
  public:
    HistoryBackup()
        : backup_(L"Software\\VantrelTests\\HistoryBackup_" +
                  std::to_wstring(GetCurrentProcessId())) {
        RegDeleteTreeW(HKEY_CURRENT_USER, backup_.c_str());
        saved_ = Copy(kSettingsKeyPath, backup_);
    }
    ~HistoryBackup() {
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKeyPath);
        if (saved_) {
            Copy(backup_, kSettingsKeyPath);
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, backup_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VantrelTests");
    }
    HistoryBackup(const HistoryBackup&) = delete;
    HistoryBackup& operator=(const HistoryBackup&) = delete;

  private:
    static bool Copy(const std::wstring& from, const std::wstring& to) {
        HKEY source = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, from.c_str(), 0, KEY_READ, &source) != ERROR_SUCCESS) {
            return false;
        }
        HKEY target = nullptr;
        bool copied = false;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &target, nullptr) == ERROR_SUCCESS) {
            copied = RegCopyTreeW(source, nullptr, target) == ERROR_SUCCESS;
            RegCloseKey(target);
        }
        RegCloseKey(source);
        return copied;
    }

    std::wstring backup_;
    bool saved_ = false;
};

// Writes the history of every fixed drive: `staleLetter` last scanned `staleDays`
// ago, the others today (0: every drive today).
inline void WriteHistory(wchar_t staleLetter, int staleDays) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKeyPath);
    ProgramSettings settings;
    const OleDateTime today = CurrentOleDate();
    for (const wchar_t letter : FixedDriveLetters()) {
        IndiVidualDriveInfo record = MakeDriveRecord(letter);
        OleDateTime scanned = today;
        if (letter == staleLetter) {
            scanned.Value -= staleDays;
        }
        const std::optional<SYSTEMTIME> time = SystemTimeFromOleDate(scanned);
        ASSERT_TRUE(time.has_value());
        record.LastScanSysTime = *time;
        record.IsvalidScanTime = true;
        record.LastScanDate = FormatDateText(scanned);
        record.Status = DriveStatusFragmented;
        settings.DriveHistory.Add(record);
    }
    ASSERT_TRUE(SaveDriveHistory(settings));
}

}  // namespace vantrel::testsupport
