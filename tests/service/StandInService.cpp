#include "tests/service/StandInService.h"

#include "service/ServiceIdentity.h"
#include "service/ScHandle.h"

#include <vector>

namespace vantrel::testsupport {
namespace {

using vantrel::service::ScHandle;

ScHandle OpenStandIn() {
    ScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        return ScHandle(nullptr);
    }
    return ScHandle(OpenServiceW(manager.get(), service::kDefragServiceName, SERVICE_ALL_ACCESS));
}

bool WaitForState(SC_HANDLE handle, DWORD wanted) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        SERVICE_STATUS status{};
        if (!QueryServiceStatus(handle, &status)) {
            return false;
        }
        if (status.dwCurrentState == wanted) {
            return true;
        }
        Sleep(50);
    }
    return false;
}

}  // namespace

StandInService::StandInService(const wchar_t* relativePath) {
    std::vector<wchar_t> module(MAX_PATH * 4);
    const DWORD length =
        GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
    std::wstring directory(module.data(), length);
    directory.resize(directory.find_last_of(L"\\/") + 1);
    const std::wstring joined = directory + relativePath;
    std::vector<wchar_t> full(joined.size() + MAX_PATH);
    const DWORD fullLength =
        GetFullPathNameW(joined.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    path_.assign(full.data(), fullLength);
}

DWORD StandInService::RunTool(const std::wstring& arguments) const {
    std::wstring commandLine = L"\"" + path_ + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return GetLastError();
    }
    WaitForSingleObject(process.hProcess, 30000);
    DWORD exitCode = ERROR_TIMEOUT;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

bool StandInService::Install(std::uint32_t jobMilliseconds) const {
    return RunTool(L"--install --simulate --job-ms=" + std::to_wstring(jobMilliseconds)) == 0;
}

bool StandInService::Uninstall() const {
    return RunTool(L"--uninstall") == 0 && !IsInstalled();
}

bool StandInService::IsInstalled() const {
    return static_cast<bool>(OpenStandIn());
}

DWORD StandInService::State() const {
    ScHandle service = OpenStandIn();
    SERVICE_STATUS status{};
    if (!service || !QueryServiceStatus(service.get(), &status)) {
        return 0;
    }
    return status.dwCurrentState;
}

bool StandInService::StartAndWait() const {
    ScHandle service = OpenStandIn();
    if (!service) {
        return false;
    }
    StartServiceW(service.get(), 0, nullptr);
    return WaitForState(service.get(), SERVICE_RUNNING);
}

bool StandInService::StopAndWait() const {
    ScHandle service = OpenStandIn();
    if (!service) {
        return false;
    }
    SERVICE_STATUS status{};
    ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
    return WaitForState(service.get(), SERVICE_STOPPED);
}

HANDLE StandInService::LaunchInConsole(std::uint32_t jobMilliseconds, const std::wstring& switches,
                                       HANDLE output) const {
    std::wstring commandLine = L"\"" + path_ + L"\" --console --simulate --job-ms=" +
                               std::to_wstring(jobMilliseconds) + L" " + switches;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (output != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path_.c_str(), commandLine.data(), nullptr, nullptr, output != nullptr,
                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

}  // namespace vantrel::testsupport
