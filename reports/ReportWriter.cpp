#include "reports/ReportWriter.h"

#include <shlobj.h>

#include "framework/UserHandles.h"
#include "reports/ReportFile.h"
#include "reports/ReportImages.h"
#include "reports/ReportInput.h"
#include "reports/ReportOpener.h"
#include "res/resource.h"
#include "ui/format/Paths.h"
#include "ui/format/ResourceString.h"
#include "ui/format/StringPool.h"

namespace {

// One report at a time: the flag is set while a report is read, written and opened
// (message boxes and the shell run message loops in which a link can be used again).
bool reportInProgress = false;

class ReportInProgress {
  public:
    ReportInProgress() : entered_(!reportInProgress) { reportInProgress = true; }
    ~ReportInProgress() {
        if (entered_) {
            reportInProgress = false;
        }
    }
    ReportInProgress(const ReportInProgress&) = delete;
    ReportInProgress& operator=(const ReportInProgress&) = delete;

    bool Entered() const { return entered_; }

  private:
    bool entered_;
};

HWND TopWindowOf(HWND window) {
    HWND top = window != nullptr ? GetAncestor(window, GA_ROOT) : nullptr;
    return top != nullptr ? top : window;
}

// String IDS_REPORT_NOT_WRITTEN with the path in place of its "%s".
std::wstring NotWrittenText(const std::wstring& path) {
    std::wstring text = LoadPooledString(IDS_REPORT_NOT_WRITTEN);
    const std::size_t mark = text.find(L"%s");
    if (mark != std::wstring::npos) {
        text.replace(mark, 2, path);
    }
    return text;
}

ReportOutcome TellNotWritten(HWND owner, const std::wstring& path) {
    const std::wstring text = NotWrittenText(path);
    const std::wstring title = LoadPooledString(IDS_APP_TITLE);
    MessageBoxW(TopWindowOf(owner), text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
    return ReportOutcome::NotWritten;
}

}  // namespace

std::wstring_view ReportFileName(ReportKind kind) {
    return kind == ReportKind::Scan ? L"Vantrel_ScanReport.html"
                                    : L"Vantrel_OptimizationReport.html";
}

bool FindApplicationDataFolder(std::wstring& folder) {
    folder.clear();
    std::wstring base;
    if (!GetSpecialFolderPath(base, CSIDL_APPDATA)) {
        return false;
    }
    if (GetProductFolderPathUnder(base, L"", folder)) {
        return true;
    }
    folder = base;
    AppendPathComponent(folder, L"Brenlow\\Vantrel");
    return false;
}

void WriteReport(HWND owner, ReportKind kind, const PageFigures& page,
                 vantrel::service::JobService& service) {
    WriteReportFrom(owner, kind, page, service, FindApplicationDataFolder);
}

ReportOutcome WriteReportFrom(HWND owner, ReportKind kind, const PageFigures& page,
                              vantrel::service::JobService& source,
                              const ReportFolderFinder& findFolder) {
    const ReportInProgress guard;
    if (!guard.Entered()) {
        return ReportOutcome::Busy;
    }
    const ReportInput input = [&] {
        // The hourglass while the records are read: a long file list takes a while.
        const fw::WaitCursor wait;
        return ReadReportInput(source, kind);
    }();

    std::wstring folder;
    if (!findFolder(folder)) {
        return TellNotWritten(owner, folder.empty() ? std::wstring(ReportFileName(kind)) : folder);
    }
    std::wstring path = folder;
    AppendPathComponent(path, ReportFileName(kind));
    if (!WriteReportFile(path, ComposeReport(kind, input, page))) {
        return TellNotWritten(owner, path);
    }
    // A page without its pictures still reads well: a missing image does not stop it.
    PlaceReportImages(folder, GetResourceModule());
    return OpenReport(TopWindowOf(owner), path) ? ReportOutcome::Opened : ReportOutcome::NotOpened;
}
