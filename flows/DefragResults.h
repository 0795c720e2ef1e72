// CDlgDefragResults, the optimization results page (dialog IDD_DEFRAG_RESULTS): it
// records each pass of an optimization in the drive's history (the progress page
// calls RecordFirstPass and RecordFinalPass), shows the disk's size and free space
// and the fragmentation before and after, and offers "Back" and the summary report
// link.
//
// The page container (CDlgHDDScan) owns the page and creates it once; the page owns
// its button object and keeps its figures between optimizations. User-interface
// thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "flows/DefragResultsFigures.h"
#include "flows/FileRecordReader.h"
#include "flows/SelectDiskListing.h"
#include "flows/SkinnedPage.h"
#include "ui/widgets/HoverButton.h"

class CDlgHDDScan;

class CDlgDefragResults : public SkinnedPage {
  public:
    explicit CDlgDefragResults(CDlgHDDScan& pages, DriveProbe& probe = MachineDriveProbe());
    ~CDlgDefragResults() override;

    // The first service pass of an optimization of the current drive ended: stamps
    // the drive, reads the disk and, when the drive has room to optimize, the
    // figures before and after; saves the history.
    // False (nothing recorded) when a close ended the reading of the records.
    bool RecordFirstPass();
    // The second pass ended: the figures after it; the "before" figures stay.
    bool RecordFinalPass();

    // Set by the progress page: "Optimization complete" or "Optimization aborted".
    void SetStatusText(const std::wstring& text, COLORREF colour);
    const std::wstring& StatusText() const { return statusText_; }
    COLORREF StatusColour() const { return statusColour_; }
    bool Aborted() const { return IsAbortedStatusText(statusText_); }

    // "Back": to the drive selection page.
    void Back();
    // The report link: the report, or a notice when the optimization was aborted.
    void OpenReport();

    const std::wstring& DriveName() const { return driveName_; }
    const std::wstring& TotalFilesText() const { return totalFilesText_; }
    const std::wstring& TotalFoldersText() const { return totalFoldersText_; }
    const SpaceBars& Bars() const { return bars_; }
    const Fragmentation& Before() const { return before_; }
    const Fragmentation& After() const { return after_; }
    // The "after" texts as shown: "Not evaluated" for an aborted optimization.
    std::wstring ShownVolumeAfter() const;
    std::wstring ShownDataAfter() const;
    // The fragmented files the first pass started from (the optimization report's).
    std::uint64_t FirstPassFragmentedCount() const { return firstPassFragmented_; }
    const RECT& ReportLinkArea() const;

  protected:
    const fw::MessageTable& Messages() const override;
    bool OnInitDialog() override;
    void PlaceControls() override;
    const RECT& LinkArea() const override { return ReportLinkArea(); }
    void OnLinkClicked() override { OpenReport(); }

  private:
    static const fw::MessageTable kTable;

    bool StoppedByUser();
    HWND TopWindow() const;

    void OnPaint(HDC dc);

    CDlgHDDScan& pages_;
    DriveProbe& probe_;
    CHoverButton back_;

    std::wstring statusText_;
    COLORREF statusColour_ = RGB(0, 0, 0);
    std::wstring driveName_;
    std::wstring totalFilesText_;
    std::wstring totalFoldersText_;
    SpaceBars bars_;
    Fragmentation before_;
    Fragmentation after_;
    std::uint64_t firstPassFragmented_ = 0;
};
