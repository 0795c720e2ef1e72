// The two summary reports.
#pragma once

enum class ReportKind {
    Scan,          // "Vantrel_ScanReport.html", from the scan results page
    Optimization,  // "Vantrel_OptimizationReport.html", from the optimization results page
};
