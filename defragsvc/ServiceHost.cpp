#include "defragsvc/ServiceHost.h"

#include "defragsvc/DefragEngine.h"
#include "defragsvc/RpcHandlers.h"
#include "defragsvc/RpcListener.h"
#include "service/ServiceIdentity.h"

#include <windows.h>

#include <cstdio>

namespace vantrel::defragsvc {
namespace {

// The service control manager calls back on its own threads with no context of
// ours; these are the process's one service instance.
SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopEvent = nullptr;
std::optional<std::uint32_t> paceOverride;
DWORD checkPoint = 0;

void Report(DWORD state, DWORD exitCode = NO_ERROR, DWORD waitHint = 0) {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted =
        state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    status.dwWin32ExitCode = exitCode;
    status.dwWaitHint = waitHint;
    status.dwCheckPoint = state == SERVICE_RUNNING || state == SERVICE_STOPPED ? 0 : ++checkPoint;
    SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI OnControl(DWORD control, DWORD, void*, void*) {
    switch (control) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN:
            Report(SERVICE_STOP_PENDING, NO_ERROR, 5000);
            SetEvent(stopEvent);
            return NO_ERROR;
        case SERVICE_CONTROL_INTERROGATE:
            return NO_ERROR;
        default:
            return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

// Serves until the stop event is set. Answers 0, or the RPC status that kept the
// listener from starting.
DWORD Serve(HANDLE until, bool reportToManager) {
    DefragEngine engine(SystemEnvironment(paceOverride));
    AttachEngine(&engine);
    RpcListener listener;
    const long status = listener.Start();
    if (status != RPC_S_OK) {
        AttachEngine(nullptr);
        return static_cast<DWORD>(status);
    }
    if (reportToManager) {
        Report(SERVICE_RUNNING);
    }
    WaitForSingleObject(until, INFINITE);
    AttachEngine(nullptr);
    listener.Stop();
    return 0;
}

void WINAPI ServiceMain(DWORD, wchar_t**) {
    statusHandle = RegisterServiceCtrlHandlerExW(service::kDefragServiceName, OnControl, nullptr);
    if (statusHandle == nullptr) {
        return;
    }
    Report(SERVICE_START_PENDING, NO_ERROR, 3000);
    // Nothing unwinds into the service control manager: a failure that escapes the
    // service ends it as stopped, with a reason the manager records.
    DWORD result = ERROR_SERVICE_SPECIFIC_ERROR;
    try {
        result = Serve(stopEvent, true);
    } catch (...) {
        result = ERROR_SERVICE_SPECIFIC_ERROR;
    }
    Report(SERVICE_STOPPED, result);
}

BOOL WINAPI OnConsoleControl(DWORD) {
    SetEvent(stopEvent);
    return TRUE;
}

}  // namespace

int RunAsService(std::optional<std::uint32_t> jobMilliseconds) {
    paceOverride = jobMilliseconds;
    stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    wchar_t name[] = L"Vantrel";
    static_assert(sizeof name == sizeof service::kDefragServiceName);
    const SERVICE_TABLE_ENTRYW table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    const BOOL dispatched = StartServiceCtrlDispatcherW(table);
    CloseHandle(stopEvent);
    return dispatched ? 0 : 1;
}

int RunInConsole(std::optional<std::uint32_t> jobMilliseconds) {
    paceOverride = jobMilliseconds;
    stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    std::fwprintf(stderr, L"Serving %ls on %ls; Ctrl+C stops.\n", service::kDefragServiceName,
                  service::kRpcEndpoint);
    const DWORD result = Serve(stopEvent, false);
    if (result != 0) {
        std::fwprintf(stderr, L"The endpoint could not be served (RPC status %lu).\n", result);
    }
    CloseHandle(stopEvent);
    return result == 0 ? 0 : 1;
}

}  // namespace vantrel::defragsvc
