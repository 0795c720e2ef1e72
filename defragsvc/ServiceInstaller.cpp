#include "defragsvc/ServiceInstaller.h"

#include "defragsvc/PaceSetting.h"
#include "service/ServiceIdentity.h"
#include "service/ScHandle.h"

namespace vantrel::defragsvc {
namespace {

using service::ScHandle;

void StopAndWait(SC_HANDLE service) {
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(service, &status) || status.dwCurrentState == SERVICE_STOPPED) {
        return;
    }
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    for (int attempt = 0; attempt < 100 && status.dwCurrentState != SERVICE_STOPPED; ++attempt) {
        Sleep(100);
        if (!QueryServiceStatus(service, &status)) {
            return;
        }
    }
}

}  // namespace

DWORD InstallService(const std::wstring& executablePath,
                     std::optional<std::uint32_t> jobMilliseconds) {
    ScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        return GetLastError();
    }
    const std::wstring command = L"\"" + executablePath + L"\"";
    ScHandle created(CreateServiceW(
        manager.get(), service::kDefragServiceName, service::kDefragServiceName, SERVICE_ALL_ACCESS,
        SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, command.c_str(),
        nullptr, nullptr, nullptr, nullptr, nullptr));
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
                                  nullptr, nullptr, nullptr)) {
            return GetLastError();
        }
    }
    if (jobMilliseconds && !WriteJobMilliseconds(*jobMilliseconds)) {
        return ERROR_CANTWRITE;
    }
    return ERROR_SUCCESS;
}

DWORD UninstallService() {
    ScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        return GetLastError();
    }
    ScHandle service(OpenServiceW(manager.get(), service::kDefragServiceName, SERVICE_ALL_ACCESS));
    if (!service) {
        const DWORD error = GetLastError();
        return error == ERROR_SERVICE_DOES_NOT_EXIST ? ERROR_SUCCESS : error;
    }
    StopAndWait(service.get());
    if (!DeleteService(service.get())) {
        const DWORD error = GetLastError();
        return error == ERROR_SERVICE_MARKED_FOR_DELETE ? ERROR_SUCCESS : error;
    }
    return ERROR_SUCCESS;
}

}  // namespace vantrel::defragsvc
