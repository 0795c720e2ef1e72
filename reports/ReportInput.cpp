#include "reports/ReportInput.h"

namespace svc = vantrel::service;

std::uint64_t FailureListLimit(const svc::JobStatistics& statistics) {
    return statistics.FragmentedFiles > statistics.DeFragmentedFiles
               ? statistics.FragmentedFiles - statistics.DeFragmentedFiles
               : 0;
}

bool FailedToDefragment(const svc::FileEntry& entry) {
    return entry.ResultCode != svc::FileResult::Ok;
}

ReportInput ReadReportInput(vantrel::service::JobService& source, ReportKind kind) {
    ReportInput input;
    input.statistics = std::make_unique<svc::JobStatistics>();
    source.GetJobStatistics(*input.statistics);
    if (kind != ReportKind::Optimization) {
        return input;
    }
    const std::uint64_t limit = FailureListLimit(*input.statistics);
    long count = 0;
    if (limit == 0 || source.GetFileCount(count) == 0) {
        return input;
    }
    for (long index = 0; index < count && input.listedFiles.size() < limit; ++index) {
        svc::FileEntry entry;
        if (source.GetFileRecord(index, entry) == 0) {
            break;
        }
        if (FailedToDefragment(entry)) {
            input.listedFiles.push_back(std::move(entry));
        }
    }
    return input;
}
