// Where the results pages' "View Summary Report" links hand over to the HTML report
// writer (reports/ReportWriter.h). The pages pass everything the writer needs from
// them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "service/JobService.h"

enum class SummaryReport {
    Scan,          // "Vantrel_ScanReport.html"
    Optimization,  // "Vantrel_OptimizationReport.html"
};

struct SummaryReportFigures {
    // The fragmentation texts the page shows (an optimization: the "after" ones).
    std::wstring volumeText;
    std::wstring dataText;
    // An optimization: the fragmented files its first pass started from.
    std::uint64_t firstPassFragmentedFiles = 0;
};

// Writes the report from `service`'s last job and opens it in the browser. `page` is
// the results page asking; message boxes belong to its top-level window.
void RequestSummaryReport(HWND page, SummaryReport report, const SummaryReportFigures& figures,
                          vantrel::service::JobService& service);
