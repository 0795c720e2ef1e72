// "View Summary Report": writes the scan or optimization report into the per-user
// application data folder, puts the page images beside it and opens it in the
// browser. A report that could not be written whole is not opened: the user is told
// with a message box instead.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "reports/ReportDocument.h"
#include "reports/ReportKind.h"
#include "service/JobService.h"

// "Vantrel_ScanReport.html" or "Vantrel_OptimizationReport.html".
std::wstring_view ReportFileName(ReportKind kind);

// Finds (and creates) the folder the reports go to. On failure the answer is false,
// and `folder` holds the folder that was meant, for the message, or stays empty.
using ReportFolderFinder = std::function<bool(std::wstring& folder)>;

// The per-user application data folder followed by "Brenlow\Vantrel".
bool FindApplicationDataFolder(std::wstring& folder);

enum class ReportOutcome {
    Opened,      // written and handed to the browser
    NotOpened,   // written, but no browser could be started
    NotWritten,  // the user was told; no report was opened or left half-written
    Busy,        // another report was being written: the request was ignored
};

// Writes and opens the report from the defrag service's last job. `owner` is the
// results page; message boxes and the browser are owned by its top-level window.
// Called on the user-interface thread; a request while another runs is ignored.
void WriteReport(HWND owner, ReportKind kind, const PageFigures& page,
                 vantrel::service::JobService& service);

// WriteReport with the folder finder given.
ReportOutcome WriteReportFrom(HWND owner, ReportKind kind, const PageFigures& page,
                              vantrel::service::JobService& service,
                              const ReportFolderFinder& findFolder);
