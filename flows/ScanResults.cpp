#include "flows/ScanResults.h"

#include <memory>

#include "flows/DiskAnalyzing.h"
#include "flows/HDDScanContainer.h"
#include "flows/PageDrawing.h"
#include "flows/ResultsLoad.h"
#include "flows/ScanResultsLayout.h"
#include "flows/SummaryReportHook.h"
#include "res/resource.h"
#include "service/JobService.h"
#include "state/DriveHistoryStore.h"
#include "ui/widgets/SharedBrushes.h"
#include "ui/widgets/SharedFonts.h"
#include "ui/format/StringPool.h"
#include "ui/widgets/XTMemDC.h"
#include "ui/widgets/SkinPainter.h"

namespace svc = vantrel::service;

const fw::MessageTable CDlgScanResults::kTable{
    &SkinnedPage::kTable,
    {
        fw::OnCommand(IDC_SCAN_DEFRAG, &CDlgScanResults::Defrag),
        fw::OnCommand(IDC_SCAN_CANCEL, &CDlgScanResults::Cancel),
        fw::OnPaint(&CDlgScanResults::OnPaint),
    }};

const fw::MessageTable& CDlgScanResults::Messages() const {
    return kTable;
}

CDlgScanResults::CDlgScanResults(CDlgHDDScan& pages, DriveProbe& probe)
    : SkinnedPage(IDD_SCAN_RESULTS), pages_(pages), probe_(probe) {}

CDlgScanResults::~CDlgScanResults() {
    // The buttons are members: the window goes while they still exist.
    Destroy();
}

const RECT& CDlgScanResults::ReportLinkArea() const {
    return scan_results_layout::kReportLink;
}

bool CDlgScanResults::OnInitDialog() {
    for (int id : {IDC_SCAN_TITLE, IDC_SCAN_DESCRIPTION}) {
        ShowItem(id, false);
        EnableItem(id, false);
    }
    ShowItem(IDC_SCAN_DETECTED, true);
    defrag_.Attach(Handle(), IDC_SCAN_DEFRAG);
    cancel_.Attach(Handle(), IDC_SCAN_CANCEL);
    defrag_.LoadStrip(IDB_BUTTON_DEFRAG);
    cancel_.LoadStrip(IDB_BUTTON_CANCEL);
    defrag_.SetCaption(IDS_CAPTION_DEFRAG);
    cancel_.SetCaption(IDS_CAPTION_CANCEL);
    CreateLink(IDS_VIEW_SUMMARY_REPORT);
    SetTabOrder({LinkWindow(), cancel_.Handle(), defrag_.Handle()});
    SetItemFont(IDC_SCAN_TITLE, FontSegoe18.Get());
    SetItemFont(IDC_SCAN_DESCRIPTION, FontSegoe13.Get());
    SetItemFont(IDC_SCAN_DETECTED, FontTahoma11.Get());
    PlaceControls();
    return true;
}

// ---- The results ------------------------------------------------------------------

bool CDlgScanResults::LoadScanResults() {
    // Zero-filled: a failed call reads as an empty job.
    PageHost& host = pages_.Host();
    auto statistics = std::make_unique<svc::JobStatistics>();
    host.Service().GetJobStatistics(*statistics);

    const wchar_t letter = host.CurrentDrive();
    ProgramSettings& settings = host.Settings();
    IndiVidualDriveInfo* record = FindDriveRecord(settings.DriveHistory, letter);
    if (record == nullptr) {
        return true;
    }
    const OleDateTime now = CurrentOleDate();

    const std::optional<VolumeInfo> volume = probe_.Volume(DriveRoot(letter));
    driveName_ = DriveEntryText(letter, volume ? volume->label : std::wstring(),
                                IsSystemDrive(letter, probe_.SystemDirectory()));

    FragmentedClusterSums sums;
    {
        ResultsLoad load(pages_);
        sums = SumFragmentedClusters(host.Service(), &load);
    }
    if (sums.cancelled) {
        return false;  // the program is closing: nothing half read is recorded
    }
    const bool solidState = vantrel::engine::IsSolidState(probe_.Media(DriveRoot(letter)));
    figures_ = ComputeScanFigures(*statistics, sums.before, pages_.ProgressPage().StopConfirmed(),
                                  solidState);
    EnableItem(IDC_SCAN_DEFRAG, !solidState);
    RecordScanResults(*record, figures_, *statistics, now);
    SaveDriveHistory(settings);
    Invalidate(nullptr, false);
    return true;
}

// ---- Ways on ------------------------------------------------------------------------

void CDlgScanResults::Defrag() {
    SetFocus(Handle());
    pages_.Host().SetWorkflowStep(4);
    const wchar_t letter = pages_.Host().CurrentDrive();
    pages_.SendReset(letter);
    CDlgDiskAnalyzing& progress = pages_.ProgressPage();
    progress.SetStopConfirmed(false);
    progress.StartJob(JobMode::Optimize, letter, driveName_);
    pages_.ShowPage(progress);
}

void CDlgScanResults::Cancel() {
    const wchar_t letter = pages_.Host().CurrentDrive();
    pages_.SendReset(letter);
    pages_.Host().SetWorkflowStep(1);
    pages_.SelectionPage().SelectDriveByLetter(letter);
    pages_.ShowPage(pages_.SelectionPage());
}

void CDlgScanResults::OpenReport() {
    RequestSummaryReport(Handle(), SummaryReport::Scan, {figures_.volumeText, figures_.dataText},
                         pages_.Host().Service());
}

// ---- Layout and painting ----------------------------------------------------------------

void CDlgScanResults::PlaceControls() {
    PlaceItems(scan_results_layout::kPlaced);
}

void CDlgScanResults::OnPaint(HDC target) {
    CXTMemDC memory(target, ClientRect());
    const HDC dc = memory.Get();
    SkinPainter skin(dc);

    skin.Draw(GoodHeader() ? IDB_RESULTS_HEADER_GOOD : IDB_RESULTS_HEADER_BAD,
              scan_results_layout::kHeader.x, scan_results_layout::kHeader.y,
              scan_results_layout::kHeaderSize.cx, scan_results_layout::kHeaderSize.cy);
    DrawPageText(dc, pages_.ProgressPage().FilesText() + LoadPooledString(IDS_FILES_SCANNED),
                 scan_results_layout::kFilesScanned, FontTahoma11, scan_results_layout::kWhite,
                 TextPlacement::Right);

    skin.Draw(IDB_FRAGMENTED_BADGE, scan_results_layout::kFragmentedBadge.x,
              scan_results_layout::kFragmentedBadge.y, scan_results_layout::kBadgeSize.cx,
              scan_results_layout::kBadgeSize.cy);
    DrawPageText(dc, figures_.fragmentedText, scan_results_layout::kFragmentedCount, FontSegoe20,
                 scan_results_layout::kFigureColour, TextPlacement::WrapCentre);
    DrawPageText(dc, NonOptimizedFilesLine(driveName_), scan_results_layout::kFilesLine,
                 FontSegoe17, scan_results_layout::kFigureColour);
    DrawPageText(dc,
                 LoadPooledString(IDS_SCAN_HAS_DETECTED) + L" " + figures_.fragmentedText + L" " +
                     LoadPooledString(IDS_POTENTIAL_OPTIMIZATIONS),
                 scan_results_layout::kDetectedLine, FontTahoma11, scan_results_layout::kBlack);

    skin.Draw(IDB_NON_OPTIMIZED_BADGE, scan_results_layout::kNonOptimizedBadge.x,
              scan_results_layout::kNonOptimizedBadge.y, scan_results_layout::kBadgeSize.cx,
              scan_results_layout::kBadgeSize.cy);
    DrawPageText(dc, figures_.nonOptimizedText, scan_results_layout::kNonOptimizedAmount,
                 FontSegoe20, scan_results_layout::kFigureColour, TextPlacement::WrapCentre);
    DrawPageText(dc,
                 LoadPooledString(figures_.nonOptimized.megabytes ? IDS_MB_NON_OPTIMIZED
                                                                  : IDS_KB_NON_OPTIMIZED),
                 scan_results_layout::kNonOptimizedUnit, FontSegoe17,
                 scan_results_layout::kFigureColour);

    skin.Frame(scan_results_layout::kBox, scan_results_layout::kBoxAt.x,
               scan_results_layout::kBoxAt.y, scan_results_layout::kBoxTiles);
    skin.Draw(IDB_RECOMMEND_ICON, scan_results_layout::kRecommendIcon.x,
              scan_results_layout::kRecommendIcon.y, scan_results_layout::kRecommendIconSize.cx,
              scan_results_layout::kRecommendIconSize.cy);
    const bool large = LargeRecommendationFont();
    if (figures_.recommendation != 0) {
        DrawPageText(dc, LoadPooledString(figures_.recommendation),
                     large ? scan_results_layout::kRecommendationLarge
                           : scan_results_layout::kRecommendationSmall,
                     large ? FontSegoe16Bold : FontSegoe14Bold,
                     scan_results_layout::kRecommendationColour);
    }
    DrawPageText(dc, LoadPooledString(IDS_VOLUME_FRAGMENTATION_LABEL),
                 scan_results_layout::kVolumeLabel, FontTahoma11Bold, scan_results_layout::kBlack);
    DrawPageText(dc, figures_.volumeText, scan_results_layout::kVolumeValue, FontTahoma11Bold,
                 scan_results_layout::kPercentColour);
    DrawPageText(dc, LoadPooledString(IDS_DATA_FRAGMENTATION_LABEL),
                 scan_results_layout::kDataLabel, FontTahoma11Bold, scan_results_layout::kBlack);
    DrawPageText(dc, figures_.dataText, scan_results_layout::kDataValue, FontTahoma11Bold,
                 scan_results_layout::kPercentColour);

    skin.Repeat(IDB_FOOTER_STRIP, 0, scan_results_layout::kFooterLastX, 1,
                scan_results_layout::kFooterY, scan_results_layout::kFooterStripSize.cx,
                scan_results_layout::kFooterStripSize.cy);
    if (ShowsOptimizeHint()) {
        DrawPageText(dc, LoadPooledString(IDS_CLICK), scan_results_layout::kHintClick, FontSegoe14,
                     scan_results_layout::kFigureColour);
        DrawPageText(dc, LoadPooledString(IDS_OPTIMIZE_NOW_QUOTED),
                     scan_results_layout::kHintOptimizeNow, FontSegoe14,
                     scan_results_layout::kFigureColour);
        DrawPageText(dc, LoadPooledString(IDS_TO_HELP_IMPROVE_SPEED),
                     scan_results_layout::kHintRest, FontSegoe14,
                     scan_results_layout::kFigureColour);
    }
    DrawPageText(dc, LoadPooledString(IDS_VIEW_SUMMARY_REPORT), scan_results_layout::kReportLink,
                 FontTahoma11BoldUnderline, scan_results_layout::kBlack);
}

HBRUSH CDlgScanResults::StaticColours(HDC dc, int id) {
    SetTextColor(dc, id == IDC_SCAN_DESCRIPTION ? scan_results_layout::kDescriptionColour
                                                : scan_results_layout::kBlack);
    return WhiteBrush();
}
