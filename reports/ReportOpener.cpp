#include "reports/ReportOpener.h"

#include <shellapi.h>
#include <shlobj.h>

#include "ui/format/Paths.h"

namespace {

bool ShellExecuteLaunch(HWND owner, const ShellLaunch& launch) {
    // The shell may hand the verb to an extension that needs COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const HINSTANCE result = ShellExecuteW(
        owner, L"open", launch.file.c_str(),
        launch.parameters.empty() ? nullptr : launch.parameters.c_str(), nullptr, SW_SHOWDEFAULT);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    // ShellExecute answers a value above 32 when the program or document was opened.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

ShellLauncher currentLauncher = ShellExecuteLaunch;

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

std::wstring InternetExplorerPath(const std::wstring& programFilesFolder) {
    if (programFilesFolder.empty()) {
        return {};
    }
    std::wstring path = programFilesFolder;
    AppendPathComponent(path, L"Internet Explorer\\iexplore.exe");
    return path;
}

std::vector<ShellLaunch> ReportLaunches(const std::wstring& reportPath,
                                        const std::wstring& internetExplorer) {
    std::vector<ShellLaunch> launches;
    if (!internetExplorer.empty()) {
        launches.push_back({internetExplorer, L"\"" + reportPath + L"\""});
    }
    launches.push_back({reportPath, {}});
    return launches;
}

ShellLauncher SetShellLauncher(ShellLauncher launcher) {
    const ShellLauncher previous = currentLauncher;
    currentLauncher = launcher != nullptr ? launcher : ShellExecuteLaunch;
    return previous;
}

bool OpenReport(HWND owner, const std::wstring& reportPath) {
    std::wstring programFiles;
    std::wstring browser;
    if (GetSpecialFolderPath(programFiles, CSIDL_PROGRAM_FILES)) {
        browser = InternetExplorerPath(programFiles);
        if (!IsFile(browser)) {
            browser.clear();
        }
    }
    for (const ShellLaunch& launch : ReportLaunches(reportPath, browser)) {
        if (currentLauncher(owner, launch)) {
            return true;
        }
    }
    return false;
}
