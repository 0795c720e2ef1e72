#include "update/UpdateCheck.h"

#include <shellapi.h>

#include <stdexcept>

#include "res/resource.h"
#include "ui/format/FileVersionInfo.h"
#include "ui/format/StringPool.h"
#include "update/AnsiText.h"
#include "update/InstallerHash.h"
#include "update/InstallerName.h"
#include "update/Manifest.h"
#include "update/UpdateFiles.h"
#include "update/UpdateServer.h"
#include "update/VersionCompare.h"
#include "updatedll/UpdateApi.h"

namespace {

bool g_updateInProgress = false;
std::wstring g_installerPath;
// The manifest of the check that found the newer version: its hash line decides
// whether the installer may run.
Manifest g_announcingManifest;
InstallerLauncher g_launcher = &RunInstaller;

void ShowMessage(const UpdateHost& host, UINT text) {
    MessageBoxW(host.window, LoadPooledString(text).c_str(), host.title.c_str(),
                MB_OK | MB_ICONINFORMATION);
}

// Ends a check with a message.
void EndWithMessage(const UpdateHost& host, UINT text) {
    ShowMessage(host, text);
    g_updateInProgress = false;
}

std::string AnsiOrThrow(const std::optional<std::string>& text) {
    if (!text) {
        throw std::runtime_error("text without an ANSI form");
    }
    return *text;
}

// Fetches one file through update.dll; false on any failure of the library. Throws
// when an address or path has no ANSI form.
bool FetchOne(const UpdateHost& host, const std::wstring& address, const std::wstring& path) {
    const std::string ansiAddress = AnsiOrThrow(ToThreadAnsi(address));
    const std::string ansiPath = AnsiOrThrow(ToThreadAnsiPath(path));
    UpdClearFiles();
    UpdAddFile(ansiAddress.c_str(), ansiPath.c_str());
    UpdSetOption("hidden", "0");
    return UpdDownloadFiles(host.window) != 0;
}

int RunCheck(const UpdateHost& host);

std::string ProgramFileVersion() {
    wchar_t path[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, path, MAX_PATH) == 0) {
        return std::string();
    }
    CFileVersionInfo info;
    wchar_t version[kVersionStringCapacity] = {};
    if (!info.Open(path) || !info.QueryStringValue(L"FileVersion", version)) {
        return std::string();
    }
    // Only digits, dots and blanks matter to the comparison.
    std::string narrow;
    for (const wchar_t* c = version; *c != L'\0'; ++c) {
        narrow.push_back(*c < 0x80 ? static_cast<char>(*c) : '?');
    }
    return narrow;
}

}  // namespace

bool UpdateInProgress() {
    return g_updateInProgress;
}

const std::wstring& InstallerPath() {
    return g_installerPath;
}

void SetInstallerLauncher(InstallerLauncher launcher) {
    g_launcher = launcher != nullptr ? launcher : &RunInstaller;
}

int CheckForUpdates(const UpdateHost& host) {
    if (!host.administrator || g_updateInProgress) {
        return 0;
    }
    g_updateInProgress = true;
    try {
        return RunCheck(host);
    } catch (...) {
        // Nothing unwinds into the window; the button works again.
        g_updateInProgress = false;
        return 0;
    }
}

namespace {

int RunCheck(const UpdateHost& host) {
    if (UpdIsConnected() == 0) {
        EndWithMessage(host, IDS_UPDATE_NO_CONNECTION);
        return 0;
    }

    std::wstring manifestPath;
    bool fetched = false;
    try {
        const std::optional<std::wstring> folder = UpdateFolder();
        if (folder) {
            manifestPath = FileIn(*folder, kManifestFileName);
            // A manifest of an earlier check must never stand in for this one.
            fetched =
                DeleteIfPresent(manifestPath) && FetchOne(host, ManifestAddress(), manifestPath);
        }
    } catch (...) {
        fetched = false;
    }
    if (!fetched || !IsNewerVersionAvailable(manifestPath)) {
        EndWithMessage(host, IDS_UPDATE_ALREADY_CURRENT);
        return 0;
    }
    g_announcingManifest = ReadManifestFile(manifestPath).value_or(Manifest{});
    DownloadAndInstallUpdate(host);
    return 1;
}

}  // namespace

bool IsNewerVersionAvailable(const std::wstring& manifestPath) {
    const std::optional<Manifest> manifest = ReadManifestFile(manifestPath);
    if (!manifest || manifest->version.empty()) {
        return false;
    }
    return IsNewerVersion(manifest->version, ProgramFileVersion());
}

void DownloadAndInstallUpdate(const UpdateHost& host) {
    if (UpdIsConnected() == 0) {
        EndWithMessage(host, IDS_UPDATE_NO_CONNECTION);
        return;
    }
    const std::optional<std::wstring> folder = UpdateFolder();
    if (!folder) {
        EndWithMessage(host, IDS_UPDATE_NO_CONNECTION);
        return;
    }
    const std::wstring downloadPath = FileIn(*folder, kDownloadFileName);
    bool fetched = false;
    try {
        fetched = DeleteIfPresent(downloadPath) && FetchOne(host, InstallerAddress(), downloadPath);
    } catch (...) {
        fetched = false;
    }
    if (!fetched) {
        EndWithMessage(host, IDS_UPDATE_NO_CONNECTION);
        return;
    }
    // A download that the manifest's hash does not vouch for is never run.
    if (!InstallerMayRun(g_announcingManifest, Sha256OfFile(downloadPath))) {
        DeleteIfPresent(downloadPath);
        EndWithMessage(host, IDS_UPDATE_NO_CONNECTION);
        return;
    }

    SYSTEMTIME today = {};
    GetLocalTime(&today);
    const std::wstring installerPath = FileIn(*folder, InstallerFileName(today).c_str());
    DeleteIfPresent(installerPath);
    // Only the file just verified may run: when it cannot take the dated name, an
    // older installer of that name must not be run in its place.
    if (!MoveFileExW(downloadPath.c_str(), installerPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteIfPresent(downloadPath);
        EndWithMessage(host, IDS_UPDATE_NO_CONNECTION);
        return;
    }
    g_installerPath = installerPath;

    ShowMessage(host, IDS_UPDATE_DOWNLOADED);
    g_launcher();
    // Only a launcher that returns (a test's) gets here; the real one ends the process.
    g_updateInProgress = false;
}

void RunInstaller() {
    const std::wstring quoted = L"\"" + g_installerPath + L"\"";
    PostQuitMessage(0);
    ShellExecuteW(GetDesktopWindow(), L"open", quoted.c_str(), kInstallerSwitch, L"",
                  SW_SHOWNORMAL);
    ExitProcess(0);
}
