#include "reports/ReportSource.h"

#include "service/DefragClient.h"

namespace svc = vantrel::service;

namespace {

class ServiceSource final : public ReportSource {
  public:
    int GetJobStatistics(svc::JobStatistics& statistics) override {
        return svc::GetJobStatistics(statistics);
    }
    int GetFileCount(long& count) override { return svc::GetFileCount(count); }
    int GetFileRecord(long index, svc::FileEntry& entry) override {
        return svc::GetFileRecord(index, entry);
    }
};

}  // namespace

ReportSource& ServiceReportSource() {
    static ServiceSource source;
    return source;
}
