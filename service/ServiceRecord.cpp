#include "service/ServiceRecord.h"

#include "service/ServiceIdentity.h"

namespace vantrel::service {

ServiceRecord::ServiceRecord(ServiceManagerApi& api)
    : api_(api), serviceName_(kDefragServiceName), manager_(api.OpenManager(kManagerAllAccess)) {}

ServiceRecord::~ServiceRecord() {
    Close();
}

bool ServiceRecord::OpenDefragService() {
    if (service_ != nullptr) {
        api_.Close(service_);
        service_ = nullptr;
    }
    if (manager_ == nullptr) {
        return false;
    }
    service_ = api_.OpenServiceByName(manager_, serviceName_.c_str(), kServiceAllAccess);
    return service_ != nullptr;
}

bool ServiceRecord::EnsureServiceRunning() {
    return service_ != nullptr && service::EnsureServiceRunning(api_, service_);
}

void ServiceRecord::Close() {
    if (service_ != nullptr) {
        api_.Close(service_);
        service_ = nullptr;
    }
    if (manager_ != nullptr) {
        api_.Close(manager_);
        manager_ = nullptr;
    }
}

bool EnsureServiceRunning(ServiceManagerApi& api, SC_HANDLE service) {
    // A failed query leaves the record as it was, so the first one reads as state 0.
    SERVICE_STATUS status{};
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        api.QueryStatus(service, status);
        switch (status.dwCurrentState) {
            case SERVICE_RUNNING:
            case SERVICE_PAUSED:
                return true;
            case SERVICE_STOPPED:
                // A refused start is not reported; the budget decides.
                api.Start(service);
                break;
            default:
                break;
        }
        api.Sleep(kStartPollMilliseconds);
    }
    return false;
}

}  // namespace vantrel::service
