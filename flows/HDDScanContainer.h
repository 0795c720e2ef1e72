// The page container inside the main window: it holds the drive selection, progress,
// scan results and optimization results pages as modeless child dialogs and shows
// one at a time. The pages reach the window around them through the host.
#pragma once

#include "flows/DefragResults.h"
#include "flows/DiskAnalyzing.h"
#include "flows/PageHost.h"
#include "flows/ScanResults.h"
#include "flows/SelectDisk.h"
#include "framework/Dialog.h"
#include "service/CellCountSource.h"

class CDlgHDDScan : public SkinnedPage {
  public:
    // The pages ask `probe` about the machine's drives.
    explicit CDlgHDDScan(PageHost& host, DriveProbe& probe = MachineDriveProbe());

    PageHost& Host() { return host_; }

    // Hides the visible page and shows `page`, unless it is already the visible one.
    void ShowPage(fw::Dialog& page);
    fw::Window* VisiblePage() const { return visible_; }

    CSelectDiskDlg& SelectionPage() { return selection_; }
    CDlgDiskAnalyzing& ProgressPage() { return progress_; }
    CDlgScanResults& ScanResultsPage() { return scanResults_; }
    CDlgDefragResults& DefragResultsPage() { return defragResults_; }

    // Calls the main window makes into the pages.
    // Shows drive `letter` on the selection page. A letter outside A-Z, or one the
    // list does not hold, is ignored: the selected drive stays the current one, and
    // the answer is false.
    bool SelectDriveByLetter(wchar_t letter);
    // Has the selection page start a scan of the current drive, once the messages
    // already queued are handled.
    void PostStartScan();
    // The progress page's map: its cell count goes with every job command.
    vantrel::service::CellCountSource& MapCells() { return progress_.Map(); }
    // Sends Reset for drive `letter` through the host's service: 1 once the service
    // took it, 0 when it could not be reached.
    int SendReset(wchar_t letter);

  protected:
    const fw::MessageTable& Messages() const override;
    bool OnInitDialog() override;
    // The pages fill the container.
    void PlaceControls() override;

  private:
    static const fw::MessageTable kTable;
    void OnPaint(HDC dc);

    PageHost& host_;
    CSelectDiskDlg selection_;
    CDlgDiskAnalyzing progress_;
    CDlgScanResults scanResults_;
    CDlgDefragResults defragResults_;
    fw::Window* visible_ = nullptr;
};
