#include "service/ServiceManagerApi.h"

namespace vantrel::service {
namespace {

class SystemManager final : public ServiceManagerApi {
  public:
    SC_HANDLE OpenManager(DWORD access) override {
        return OpenSCManagerW(nullptr, nullptr, access);
    }
    SC_HANDLE OpenServiceByName(SC_HANDLE manager, const wchar_t* name, DWORD access) override {
        return ::OpenServiceW(manager, name, access);
    }
    bool QueryStatus(SC_HANDLE service, SERVICE_STATUS& status) override {
        return QueryServiceStatus(service, &status) != FALSE;
    }
    bool Start(SC_HANDLE service) override { return StartServiceW(service, 0, nullptr) != FALSE; }
    void Close(SC_HANDLE handle) override { CloseServiceHandle(handle); }
    void Sleep(DWORD milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

ServiceManagerApi& SystemServiceManager() {
    static SystemManager manager;
    return manager;
}

}  // namespace vantrel::service
