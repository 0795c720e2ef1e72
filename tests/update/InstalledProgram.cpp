#include "tests/update/InstalledProgram.h"

#include <cstdio>

#include <shlobj.h>

#include "res/resource.h"
#include "tests/update/LoopbackServer.h"
#include "ui/format/FileVersionInfo.h"

namespace vantrel::testsupport {

namespace {

std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

}  // namespace

std::wstring InstallFolder() {
    wchar_t programFiles[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles);
    return std::wstring(programFiles) + L"\\Brenlow\\Vantrel";
}

std::wstring InstalledProgram() {
    return InstallFolder() + L"\\vantrel.exe";
}

std::wstring TestInstaller(const wchar_t* name) {
    return ModuleFolder() + L"\\" + name;
}

DWORD RunAndWait(const std::wstring& commandLine, DWORD limitMs) {
    std::wstring line = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        // Said here: the caller sees only the -1.
        std::fwprintf(stderr, L"CreateProcess failed with error %lu: %ls\n", GetLastError(),
                      commandLine.c_str());
        return static_cast<DWORD>(-1);
    }
    WaitForSingleObject(info.hProcess, limitMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return code;
}

std::wstring FileVersionOf(const std::wstring& path) {
    CFileVersionInfo info;
    wchar_t version[kVersionStringCapacity] = {};
    if (!info.Open(path.c_str()) || !info.QueryStringValue(L"FileVersion", version)) {
        return std::wstring();
    }
    return version;
}

void UninstallIfPresent() {
    const std::wstring folder = InstallFolder();
    const std::wstring uninstaller = folder + L"\\uninstall.exe";
    if (FileExists(uninstaller)) {
        // "_?=" runs the uninstaller in place, so that its end is the end of the work.
        RunAndWait(L"\"" + uninstaller + L"\" /S _?=" + folder, 60000);
        DeleteFileW(uninstaller.c_str());
    }
    RemoveTree(folder);
}

bool RegistryValueExists(HKEY root, const wchar_t* key, const wchar_t* value) {
    return RegGetValueW(root, key, value, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::wstring RegistryText(HKEY root, const wchar_t* key, const wchar_t* value) {
    wchar_t text[512] = {};
    DWORD size = sizeof(text);
    if (RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) {
        return std::wstring();
    }
    return text;
}

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"Vantrel";

}  // namespace

LogonEntrySetAside::LogonEntrySetAside() {
    existed_ = RegistryValueExists(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
    command_ = RegistryText(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
}

LogonEntrySetAside::~LogonEntrySetAside() {
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
    if (existed_) {
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, REG_SZ, command_.c_str(),
                        static_cast<DWORD>((command_.size() + 1) * sizeof(wchar_t)));
    }
}

RunningProgram::~RunningProgram() {
    Terminate();
}

bool RunningProgram::Start(const std::wstring& path) {
    std::wstring line = L"\"" + path + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info_) != FALSE;
}

HWND RunningProgram::WaitForMainWindow(DWORD limitMs) {
    WindowSearch search = {info_.dwProcessId, nullptr};
    WaitFor(
        [&search] {
            EnumWindows(
                +[](HWND window, LPARAM data) WINAPI -> BOOL {
                    auto* s = reinterpret_cast<WindowSearch*>(data);
                    DWORD owner = 0;
                    GetWindowThreadProcessId(window, &owner);
                    HWND button = GetDlgItem(window, IDC_MAIN_UPDATE);
                    if (owner == s->processId && IsWindowVisible(window) && button != nullptr &&
                        IsWindowVisible(button) && IsWindowEnabled(button)) {
                        s->found = window;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        limitMs);
    return search.found;
}

bool RunningProgram::WaitForExit(DWORD limitMs, DWORD* code) {
    if (info_.hProcess == nullptr ||
        WaitForSingleObject(info_.hProcess, limitMs) != WAIT_OBJECT_0) {
        return false;
    }
    if (code != nullptr) {
        GetExitCodeProcess(info_.hProcess, code);
    }
    return true;
}

void RunningProgram::Terminate() {
    if (info_.hProcess == nullptr) {
        return;
    }
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 10000);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
    info_ = {};
}

void PressUpdateButton(HWND mainWindow) {
    HWND button = GetDlgItem(mainWindow, IDC_MAIN_UPDATE);
    PostMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(IDC_MAIN_UPDATE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

}  // namespace vantrel::testsupport
