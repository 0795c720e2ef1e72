// CDlgScanResults, the scan results page (dialog IDD_SCAN_RESULTS): it turns the
// service's statistics and file list of a finished scan into the figures the user
// sees, records them in the drive's history and offers "Defrag", "Cancel" and the
// summary report link.
//
// The page container (CDlgHDDScan) owns the page and creates it once; the page owns
// its button objects and keeps its figures between scans. User-interface thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "flows/FileRecordReader.h"
#include "flows/ScanResultsFigures.h"
#include "flows/SelectDiskListing.h"
#include "flows/SkinnedPage.h"
#include "ui/widgets/HoverButton.h"

class CDlgHDDScan;

class CDlgScanResults : public SkinnedPage {
  public:
    // `probe` names the drive.
    explicit CDlgScanResults(CDlgHDDScan& pages, DriveProbe& probe = MachineDriveProbe());
    ~CDlgScanResults() override;

    // Reads the finished scan of the current drive from the service, computes the
    // figures, stores them in the drive's record and saves the history. Without a
    // record for the drive nothing changes. False when a close ended the reading
    // (nothing was recorded then, and nothing is to be shown).
    bool LoadScanResults();

    // "Defrag": optimizes the current drive. "Cancel": back to the drive selection.
    void Defrag();
    void Cancel();
    // The report link.
    void OpenReport();

    std::uint64_t FragmentedFileCount() const { return figures_.fragmentedFiles; }
    const ScanFigures& Figures() const { return figures_; }
    const std::wstring& DriveName() const { return driveName_; }
    // Which recommendation font the page uses, and whether it paints the good header
    // and the "Click "Optimize Now"" line.
    bool LargeRecommendationFont() const { return RecommendationInLargeFont(figures_.dataTag); }
    bool GoodHeader() const { return figures_.available && figures_.volume <= 0.0; }
    bool ShowsOptimizeHint() const {
        return figures_.available && figures_.volume > 0.0 && !figures_.solidState;
    }
    const RECT& ReportLinkArea() const;

  protected:
    const fw::MessageTable& Messages() const override;
    bool OnInitDialog() override;
    void PlaceControls() override;
    HBRUSH StaticColours(HDC dc, int id) override;
    const RECT& LinkArea() const override { return ReportLinkArea(); }
    void OnLinkClicked() override { OpenReport(); }

  private:
    static const fw::MessageTable kTable;

    void OnPaint(HDC dc);

    CDlgHDDScan& pages_;
    DriveProbe& probe_;
    CHoverButton4S defrag_;
    CHoverButton cancel_;

    ScanFigures figures_;
    std::wstring driveName_;
};
