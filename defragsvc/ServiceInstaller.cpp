#include "defragsvc/ServiceInstaller.h"

#include "service/ScHandle.h"
#include "service/ServiceIdentity.h"

namespace vantrel::defragsvc {
namespace {

using service::ScHandle;

constexpr int kWaitSteps = 300;  // of 100 ms
constexpr wchar_t kLocalSystem[] = L"LocalSystem";

// Waits while the service is in `passing` and answers the state it reached; 0 when
// the status cannot be read.
DWORD WaitWhile(SC_HANDLE service, DWORD passing, SERVICE_STATUS& status) {
    for (int step = 0; step < kWaitSteps; ++step) {
        if (!QueryServiceStatus(service, &status)) {
            return 0;
        }
        if (status.dwCurrentState != passing) {
            return status.dwCurrentState;
        }
        Sleep(100);
    }
    return status.dwCurrentState;
}

ScHandle OpenDefragService(DWORD& error) {
    const ScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const SC_HANDLE handle =
        manager ? OpenServiceW(manager.get(), service::kDefragServiceName, SERVICE_ALL_ACCESS)
                : nullptr;
    error = handle != nullptr ? ERROR_SUCCESS : GetLastError();
    return ScHandle(handle);
}

DWORD StopAndWait(SC_HANDLE service) {
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(service, &status)) {
        return GetLastError();
    }
    if (status.dwCurrentState == SERVICE_START_PENDING) {
        WaitWhile(service, SERVICE_START_PENDING, status);
    }
    if (status.dwCurrentState == SERVICE_STOPPED) {
        return ERROR_SUCCESS;
    }
    if (status.dwCurrentState == SERVICE_RUNNING &&
        (status.dwControlsAccepted & SERVICE_ACCEPT_STOP) == 0) {
        return ERROR_SERVICE_CANNOT_ACCEPT_CTRL;  // a job runs
    }
    if (status.dwCurrentState != SERVICE_STOP_PENDING &&
        !ControlService(service, SERVICE_CONTROL_STOP, &status)) {
        const DWORD error = GetLastError();
        if (error == ERROR_SERVICE_NOT_ACTIVE) {
            return ERROR_SUCCESS;
        }
        return error == ERROR_INVALID_SERVICE_CONTROL ? ERROR_SERVICE_CANNOT_ACCEPT_CTRL : error;
    }
    const DWORD reached = WaitWhile(service, SERVICE_STOP_PENDING, status);
    if (reached == SERVICE_STOPPED) {
        return ERROR_SUCCESS;
    }
    // Still running: it turned the stop away because a job began meanwhile.
    return reached == SERVICE_RUNNING ? ERROR_SERVICE_CANNOT_ACCEPT_CTRL
                                      : ERROR_SERVICE_REQUEST_TIMEOUT;
}

}  // namespace

DWORD InstallService(const std::wstring& executablePath, const ServiceOptions& options) {
    ScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        return GetLastError();
    }
    const std::wstring command = L"\"" + executablePath + L"\"";
    ScHandle created(CreateServiceW(
        manager.get(), service::kDefragServiceName, service::kDefragServiceName, SERVICE_ALL_ACCESS,
        SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, command.c_str(),
        nullptr, nullptr, nullptr, kLocalSystem, nullptr));
    if (!created) {
        const DWORD error = GetLastError();
        if (error != ERROR_SERVICE_EXISTS) {
            return error;
        }
        ScHandle existing(
            OpenServiceW(manager.get(), service::kDefragServiceName, SERVICE_ALL_ACCESS));
        if (!existing ||
            !ChangeServiceConfigW(existing.get(), SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                  SERVICE_ERROR_NORMAL, command.c_str(), nullptr, nullptr, nullptr,
                                  kLocalSystem, L"", nullptr)) {
            return GetLastError();
        }
    }
    return WriteServiceOptions(options) ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

DWORD StartDefragService() {
    DWORD error = 0;
    const ScHandle service = OpenDefragService(error);
    if (!service) {
        return error;
    }
    if (!StartServiceW(service.get(), 0, nullptr)) {
        error = GetLastError();
        if (error != ERROR_SERVICE_ALREADY_RUNNING) {
            return error;
        }
    }
    SERVICE_STATUS status{};
    return WaitWhile(service.get(), SERVICE_START_PENDING, status) == SERVICE_RUNNING
               ? ERROR_SUCCESS
               : ERROR_SERVICE_REQUEST_TIMEOUT;
}

DWORD StopDefragService() {
    DWORD error = 0;
    const ScHandle service = OpenDefragService(error);
    if (!service) {
        return error == ERROR_SERVICE_DOES_NOT_EXIST ? ERROR_SUCCESS : error;
    }
    return StopAndWait(service.get());
}

DWORD UninstallService() {
    DWORD error = 0;
    const ScHandle service = OpenDefragService(error);
    if (!service) {
        return error == ERROR_SERVICE_DOES_NOT_EXIST ? ERROR_SUCCESS : error;
    }
    // Only a running job keeps it; otherwise it goes when its process ends.
    if (StopAndWait(service.get()) == ERROR_SERVICE_CANNOT_ACCEPT_CTRL) {
        return ERROR_SERVICE_CANNOT_ACCEPT_CTRL;
    }
    if (!DeleteService(service.get())) {
        error = GetLastError();
        return error == ERROR_SERVICE_MARKED_FOR_DELETE ? ERROR_SUCCESS : error;
    }
    return ERROR_SUCCESS;
}

}  // namespace vantrel::defragsvc
