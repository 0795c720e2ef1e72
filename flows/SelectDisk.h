// CSelectDiskDlg, the drive selection page of the scan-and-optimize flow (dialog
// IDD_SELECT_DISK): it lists the fixed drives, shows what the stored history says
// about the selected one (recommended action, last status) and starts a scan or an
// optimization of it through the progress page.
//
// The page container (CDlgHDDScan) owns the page and creates it once; the page owns
// its button objects. The drive list and the drive history are read once, while the
// page initialises, so that the main window finds them right after creating the
// container. Everything runs on the user-interface thread.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "flows/SelectDiskListing.h"
#include "flows/SelectDiskStatus.h"
#include "flows/SkinnedPage.h"
#include "ui/widgets/HoverButton.h"

class CDlgHDDScan;

class CSelectDiskDlg : public SkinnedPage {
  public:
    // `probe` answers the questions about the machine's drives.
    explicit CSelectDiskDlg(CDlgHDDScan& pages, DriveProbe& probe = MachineDriveProbe());
    ~CSelectDiskDlg() override;

    // Lists the fixed drives (the drive letter array with them), loads their history,
    // selects the system drive (or keeps the previous selection) and shows its status.
    void EnumerateDrives();
    // The drop-down's selection changed: makes the selected drive the current one and
    // refreshes the summary from its record.
    void OnDriveSelected();
    // The letter of the selected entry; 0 when nothing is selected.
    wchar_t GetSelectedDriveLetter() const;
    // Selects the first entry of `letter`, refreshes the summary and focuses the
    // title; false (and nothing changes) when no entry has that letter.
    bool SelectDriveByLetter(wchar_t letter);

    // "Start scan": checks the free space and the service, then starts a scan.
    void StartScan();
    // "Optimize Now": the same checks, then starts an optimization.
    void StartOptimization();

    // What the summary shows.
    const std::wstring& SelectedLabel() const { return selectedLabel_; }
    const DriveStatusView& Status() const { return status_; }
    int DaysSinceScan() const { return daysSinceScan_; }
    const std::wstring& ActionText() const { return actionText_; }
    COLORREF ActionColour() const;
    // The link's text ("Start Scan Now" or "Optimize Now").
    std::wstring LinkText() const;
    const std::wstring& LastStatus() const { return lastStatus_; }
    // Whether the selected drive sits on a solid-state medium.
    bool SolidState() const { return solidState_; }
    // The clickable area of the action link; empty while the link is disarmed.
    const RECT& LinkArea() const override { return linkArea_; }
    // The entries of the drop-down, in list order.
    const std::vector<DriveEntry>& Entries() const { return entries_; }

  protected:
    const fw::MessageTable& Messages() const override;
    bool OnInitDialog() override;
    void PlaceControls() override;
    HBRUSH StaticColours(HDC dc, int id) override;
    // The action link starts a scan or an optimization, as its text says.
    void OnLinkClicked() override;

  private:
    static const fw::MessageTable kTable;

    // The checks StartScan and StartOptimization share; false when one refused.
    bool CheckDriveCanStart(wchar_t letter);
    void RefreshSummary(wchar_t letter);
    int IndexOfLetter(wchar_t letter) const;
    std::wstring EntryText(int index) const;
    HWND TopWindow() const;

    void OnPaint(HDC dc);
    void OnSpareButton() {}

    CDlgHDDScan& pages_;
    DriveProbe& probe_;
    CHoverButton startScan_;
    CHoverButton optimizeNow_;
    std::vector<DriveEntry> entries_;

    std::wstring selectedLabel_;
    std::wstring fragmentedCount_;
    DriveStatusView status_;
    int daysSinceScan_ = -1;
    std::wstring actionText_;
    std::wstring lastStatus_;
    RECT linkArea_ = {};
    bool solidState_ = false;
};
