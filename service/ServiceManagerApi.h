// The service control manager calls that the availability check makes, and its
// wait between attempts, behind one narrow interface: the program uses the real
// system, tests a scripted one.
#pragma once

#include <windows.h>

namespace vantrel::service {

class ServiceManagerApi {
  public:
    virtual ~ServiceManagerApi() = default;
    virtual SC_HANDLE OpenManager(DWORD access) = 0;
    virtual SC_HANDLE OpenServiceByName(SC_HANDLE manager, const wchar_t* name, DWORD access) = 0;
    virtual bool QueryStatus(SC_HANDLE service, SERVICE_STATUS& status) = 0;
    virtual bool Start(SC_HANDLE service) = 0;
    virtual void Close(SC_HANDLE handle) = 0;
    virtual void Sleep(DWORD milliseconds) = 0;
};

// The local machine's service control manager and the real clock.
ServiceManagerApi& SystemServiceManager();

}  // namespace vantrel::service
