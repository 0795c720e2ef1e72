// defragsvc.exe: the stand-in defrag service.
//   --install [--job-ms=N]   register the service (own process, demand start) with
//                            this executable's full path; N sets the pace
//   --uninstall              stop and remove the service
//   --console [--job-ms=N]   serve in the foreground until Ctrl+C
//   (no switch)              run under the service control manager
#include "defragsvc/PaceSetting.h"
#include "defragsvc/ServiceHost.h"
#include "defragsvc/ServiceInstaller.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

using namespace vantrel::defragsvc;

constexpr std::wstring_view kPaceSwitch = L"--job-ms=";

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

int Usage() {
    std::fwprintf(stderr, L"usage: defragsvc [--install | --uninstall | --console] [--job-ms=N]\n");
    return 2;
}

int Report(DWORD error, const wchar_t* what) {
    if (error != ERROR_SUCCESS) {
        std::fwprintf(stderr, L"%ls failed (error %lu).\n", what, error);
        return 1;
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring_view mode;
    std::optional<std::uint32_t> pace;
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view argument = argv[i];
        if (argument.starts_with(kPaceSwitch)) {
            pace = ParseJobMilliseconds(argument.substr(kPaceSwitch.size()));
            if (!pace) {
                return Usage();
            }
        } else if (mode.empty() && (argument == L"--install" || argument == L"--uninstall" ||
                                    argument == L"--console")) {
            mode = argument;
        } else {
            return Usage();
        }
    }
    if (mode == L"--install") {
        return Report(InstallService(ModulePath(), pace), L"Installing the service");
    }
    if (mode == L"--uninstall") {
        return pace ? Usage() : Report(UninstallService(), L"Removing the service");
    }
    if (mode == L"--console") {
        return RunInConsole(pace);
    }
    return RunAsService(pace);
}
