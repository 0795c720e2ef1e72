#include "flows/SummaryReportHook.h"

#include "reports/ReportWriter.h"

void RequestSummaryReport(HWND page, SummaryReport report, const SummaryReportFigures& figures,
                          vantrel::service::JobService& service) {
    const ReportKind kind =
        report == SummaryReport::Scan ? ReportKind::Scan : ReportKind::Optimization;
    WriteReport(page, kind,
                PageFigures{figures.volumeText, figures.dataText, figures.firstPassFragmentedFiles},
                service);
}
