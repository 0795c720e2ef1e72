// The main window's record of the defrag service: the connection to the service
// control manager (opened at construction, untested) and the handle of the
// service (opened anew by every job command). The record owns both handles and
// closes them, service first, when it is destroyed.
#pragma once

#include "service/ServiceManagerApi.h"

#include <string>

namespace vantrel::service {

inline constexpr DWORD kManagerAllAccess = 0xF003F;
inline constexpr DWORD kServiceAllAccess = 0xF01FF;
inline constexpr int kStartAttempts = 10;
inline constexpr DWORD kStartPollMilliseconds = 500;

class ServiceRecord {
  public:
    explicit ServiceRecord(ServiceManagerApi& api = SystemServiceManager());
    ~ServiceRecord();
    ServiceRecord(const ServiceRecord&) = delete;
    ServiceRecord& operator=(const ServiceRecord&) = delete;

    // Opens the service by name, replacing (and closing) the handle held before.
    // Answers whether a handle was obtained.
    bool OpenDefragService();
    // Starts the service when it is stopped and waits for it; true when it runs or
    // is paused. Needs an open service handle.
    bool EnsureServiceRunning();
    // Closes the service handle, then the manager handle, each when present.
    void Close();

    const std::wstring& ServiceName() const { return serviceName_; }
    SC_HANDLE ManagerHandle() const { return manager_; }
    SC_HANDLE ServiceHandle() const { return service_; }

  private:
    ServiceManagerApi& api_;
    std::wstring serviceName_;
    SC_HANDLE manager_ = nullptr;
    SC_HANDLE service_ = nullptr;
};

// The start-and-wait routine: at most kStartAttempts status queries, each
// followed by a kStartPollMilliseconds wait unless the service was seen running
// or paused; a start request whenever it is seen stopped.
bool EnsureServiceRunning(ServiceManagerApi& api, SC_HANDLE service);

}  // namespace vantrel::service
