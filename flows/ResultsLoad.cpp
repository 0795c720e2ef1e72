#include "flows/ResultsLoad.h"

#include "flows/HDDScanContainer.h"
#include "framework/MessageLoop.h"

ResultsLoad::ResultsLoad(CDlgHDDScan& pages)
    : pages_(pages), pagesWereEnabled_(IsWindowEnabled(pages.Handle()) != FALSE) {
    pages_.Host().BeginResultsLoad();
    // No page command runs again while its results are read.
    EnableWindow(pages_.Handle(), FALSE);
}

ResultsLoad::~ResultsLoad() {
    pages_.ProgressPage().ShowResultsCount(0, 0);
    if (pagesWereEnabled_) {
        EnableWindow(pages_.Handle(), TRUE);
    }
    pages_.Host().EndResultsLoad();
}

namespace {

// How often the count changes: often enough to be seen moving, seldom enough that
// drawing it costs the reading next to nothing.
constexpr unsigned long long kCountEveryMs = 40;

}  // namespace

bool ResultsLoad::OnRecordsRead(long done, long total) {
    const unsigned long long now = GetTickCount64();
    if (lastCount_ == 0 || now - lastCount_ >= kCountEveryMs || done == total) {
        lastCount_ = now;
        pages_.ProgressPage().ShowResultsCount(done, total);
    }
    // The cursor a move over the window sets while messages are handled is the
    // window's own; the wait cursor comes back for the next record.
    if (!quit_ && !fw::DispatchPendingMessages()) {
        quit_ = true;
    }
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return !quit_ && !pages_.Host().ResultsLoadCancelled();
}
