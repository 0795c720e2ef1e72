// defragsvc.exe: the defrag service.
//   --install [--simulate [--job-ms=N]] [--dry-run]
//                  register the service (own process, demand start, LocalSystem)
//                  with this executable's full path and its options
//   --start        start it and wait until it runs
//   --stop         stop it and wait until it has stopped
//   --uninstall    stop and remove it
//   --console [--simulate [--job-ms=N]] [--dry-run]
//                  serve in the foreground until Ctrl+C
//   (no switch)    run under the service control manager
// --simulate works on simulated drives instead of this machine's; N is how long an
// analysis of one takes. --dry-run plans the optimization passes without moving
// anything; in the console it prints each planned move.
// Exit codes: 0 done, 1 failed, 2 a wrong command line, 3 a job runs (--stop and
// --uninstall leave the service running then).
#include "defragsvc/ServiceHost.h"
#include "defragsvc/ServiceInstaller.h"
#include "defragsvc/ServiceParameters.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

using namespace vantrel::defragsvc;

constexpr std::wstring_view kPaceSwitch = L"--job-ms=";
constexpr int kFailed = 1;
constexpr int kWrongCommandLine = 2;
constexpr int kJobRuns = 3;

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
    std::fwprintf(stderr,
                  L"usage: defragsvc --install [--simulate [--job-ms=N]] [--dry-run]\n"
                  L"       defragsvc --console [--simulate [--job-ms=N]] [--dry-run]\n"
                  L"       defragsvc --start | --stop | --uninstall\n");
    return kWrongCommandLine;
}

int Report(DWORD error, const wchar_t* what) {
    if (error == ERROR_SERVICE_CANNOT_ACCEPT_CTRL) {
        std::fwprintf(stderr, L"%ls: a job runs; the service was left running.\n", what);
        return kJobRuns;
    }
    if (error != ERROR_SUCCESS) {
        std::fwprintf(stderr, L"%ls failed (error %lu).\n", what, error);
        return kFailed;
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring_view mode;
    ServiceOptions options;
    bool optionsGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view argument = argv[i];
        if (argument.starts_with(kPaceSwitch)) {
            options.jobMilliseconds = ParseJobMilliseconds(argument.substr(kPaceSwitch.size()));
            if (!options.jobMilliseconds) {
                return Usage();
            }
        } else if (argument == L"--simulate") {
            options.simulate = true;
        } else if (argument == L"--dry-run") {
            options.dryRun = true;
        } else if (mode.empty() &&
                   (argument == L"--install" || argument == L"--uninstall" ||
                    argument == L"--console" || argument == L"--start" || argument == L"--stop")) {
            mode = argument;
            continue;
        } else {
            return Usage();
        }
        optionsGiven = true;
    }
    // The pace is a simulated drive's; the options are those of a service to run.
    if ((options.jobMilliseconds && !options.simulate) ||
        (optionsGiven && mode != L"--install" && mode != L"--console")) {
        return Usage();
    }
    if (mode == L"--install") {
        return Report(InstallService(ModulePath(), options), L"Installing the service");
    }
    if (mode == L"--start") {
        return Report(StartDefragService(), L"Starting the service");
    }
    if (mode == L"--stop") {
        return Report(StopDefragService(), L"Stopping the service");
    }
    if (mode == L"--uninstall") {
        return Report(UninstallService(), L"Removing the service");
    }
    if (mode == L"--console") {
        return RunInConsole(options);
    }
    return RunAsService();
}
