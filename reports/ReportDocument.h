// The whole text of a summary report, put together from the fixed pieces, the last
// job's statistics and files, and the figures the results page hands over.
#pragma once

#include <cstdint>
#include <string>

#include "reports/ReportInput.h"
#include "reports/ReportKind.h"

// What the results page adds to the service's figures.
struct PageFigures {
    // The volume and data fragmentation texts as the page shows them (for an
    // optimization: the "after" values).
    std::wstring volumeText;
    std::wstring dataText;
    // Optimization: the fragmented file count of the first pass.
    std::uint64_t firstPassFragmentedFiles = 0;
};

// The report as text, from the document type to "</html>" and its line end. Texts
// from the service and the page are HTML-escaped.
std::wstring ComposeReport(ReportKind kind, const ReportInput& input, const PageFigures& page);
