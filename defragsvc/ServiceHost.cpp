#include "defragsvc/ServiceHost.h"

#include "defragsvc/DefragEngine.h"
#include "defragsvc/RpcHandlers.h"
#include "defragsvc/RpcListener.h"
#include "service/ServiceIdentity.h"

#include <windows.h>

#include <cstdio>
#include <mutex>

namespace vantrel::defragsvc {
namespace {

// How often the service looks whether a job began or ended, to tell the manager
// whether it may be stopped.
constexpr DWORD kActivityPollMs = 100;

// The service control manager calls back on its own threads with no context of
// ours; these are the process's one service instance.
SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopEvent = nullptr;
ServiceOptions serviceOptions;
DWORD checkPoint = 0;
// The engine while it serves; the control handler asks it whether a job runs.
std::mutex engineLock;
DefragEngine* servingEngine = nullptr;

bool JobRuns() {
    std::lock_guard lock(engineLock);
    return servingEngine != nullptr && servingEngine->JobActive();
}

// While a job runs the service does not take a stop (an update, "sc stop"): only a
// shutdown ends it, between two of its steps.
void Report(DWORD state, DWORD exitCode = NO_ERROR, DWORD waitHint = 0, bool jobRuns = false) {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    if (state == SERVICE_RUNNING) {
        status.dwControlsAccepted = SERVICE_ACCEPT_SHUTDOWN | (jobRuns ? 0 : SERVICE_ACCEPT_STOP);
    }
    status.dwWin32ExitCode = exitCode;
    status.dwWaitHint = waitHint;
    status.dwCheckPoint = state == SERVICE_RUNNING || state == SERVICE_STOPPED ? 0 : ++checkPoint;
    SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI OnControl(DWORD control, DWORD, void*, void*) {
    switch (control) {
        case SERVICE_CONTROL_STOP:
            if (JobRuns()) {
                return ERROR_INVALID_SERVICE_CONTROL;
            }
            Report(SERVICE_STOP_PENDING, NO_ERROR, 5000);
            SetEvent(stopEvent);
            return NO_ERROR;
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

void PrintPlannedMove(const std::wstring& path, const engine::PlannedMove& move) {
    std::fwprintf(stdout, L"planned move: %ls from cluster %llu to cluster %llu, %llu clusters\n",
                  path.c_str(), static_cast<unsigned long long>(move.from),
                  static_cast<unsigned long long>(move.to),
                  static_cast<unsigned long long>(move.clusters));
    std::fflush(stdout);
}

// Serves until the stop event is set. Answers 0, or the RPC status that kept the
// listener from starting.
DWORD Serve(HANDLE until, bool reportToManager, bool printPlan) {
    EngineEnvironment environment = SystemEnvironment(serviceOptions);
    if (printPlan) {
        environment.planned = PrintPlannedMove;
    }
    DefragEngine engine(std::move(environment));
    AttachEngine(&engine);
    RpcListener listener;
    const long status = listener.Start();
    if (status != RPC_S_OK) {
        AttachEngine(nullptr);
        return static_cast<DWORD>(status);
    }
    {
        std::lock_guard lock(engineLock);
        servingEngine = &engine;
    }
    bool jobRan = false;
    if (reportToManager) {
        Report(SERVICE_RUNNING);
    }
    while (WaitForSingleObject(until, kActivityPollMs) == WAIT_TIMEOUT) {
        const bool jobRuns = engine.JobActive();
        if (reportToManager && jobRuns != jobRan) {
            Report(SERVICE_RUNNING, NO_ERROR, 0, jobRuns);
        }
        jobRan = jobRuns;
    }
    {
        std::lock_guard lock(engineLock);
        servingEngine = nullptr;
    }
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
        result = Serve(stopEvent, true, false);
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

int RunAsService() {
    serviceOptions = ReadServiceOptions();
    stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    wchar_t name[] = L"Vantrel";
    static_assert(sizeof name == sizeof service::kDefragServiceName);
    const SERVICE_TABLE_ENTRYW table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    const BOOL dispatched = StartServiceCtrlDispatcherW(table);
    CloseHandle(stopEvent);
    return dispatched ? 0 : 1;
}

int RunInConsole(const ServiceOptions& options) {
    serviceOptions = options;
    stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    std::fwprintf(stderr, L"Serving %ls on %ls (%ls%ls); Ctrl+C stops.\n",
                  service::kDefragServiceName, service::kRpcEndpoint,
                  options.simulate ? L"simulated drives" : L"this machine's drives",
                  options.dryRun ? L", planning moves without making them" : L"");
    const DWORD result = Serve(stopEvent, false, options.dryRun);
    if (result != 0) {
        std::fwprintf(stderr, L"The endpoint could not be served (RPC status %lu).\n", result);
    }
    CloseHandle(stopEvent);
    return result == 0 ? 0 : 1;
}

}  // namespace vantrel::defragsvc
