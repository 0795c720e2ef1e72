// What a report is written from: the last job's statistics and, for an optimization,
// the files that the failure list shows.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "reports/ReportKind.h"
#include "service/JobService.h"
#include "service/JobRecords.h"

struct ReportInput {
    // Never null; all zero when the service did not answer.
    std::unique_ptr<vantrel::service::JobStatistics> statistics;
    // The listed files in file-list order; their number is the skipped count.
    std::vector<vantrel::service::FileEntry> listedFiles;
};

// How many files the failure list may show: FragmentedFiles - DeFragmentedFiles, or 0
// when the service counts more files defragmented than fragmented.
std::uint64_t FailureListLimit(const vantrel::service::JobStatistics& statistics);

// A file with a ResultCode other than 0 (OK) could not be defragmented.
bool FailedToDefragment(const vantrel::service::FileEntry& entry);

// Reads the statistics and, for an optimization, the file list from index 0 in order,
// keeping the failed files until the list limit is reached. A scan report shows no
// files, so none are read for it. Reading stops at the first failed call, and once
// the limit is reached, since later files cannot be listed.
ReportInput ReadReportInput(vantrel::service::JobService& source, ReportKind kind);
