#include "flows/DefragResults.h"

#include <memory>

#include "flows/DefragResultsLayout.h"
#include "flows/DiskAnalyzing.h"
#include "flows/HDDScanContainer.h"
#include "flows/OptimizationRoom.h"
#include "flows/PageDrawing.h"
#include "flows/ResultsLoad.h"
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

namespace {

void FillBar(HDC dc, int left, int top, int width, int bottom, COLORREF colour) {
    if (width <= 0) {
        return;
    }
    const RECT bar = {left, top, left + width, bottom};
    SetDCBrushColor(dc, colour);
    FillRect(dc, &bar, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// The status text in upper case, as the page shows it (the user's locale decides).
std::wstring UpperCased(const std::wstring& text) {
    std::wstring upper = text;
    if (!upper.empty()) {
        CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    }
    return upper;
}

}  // namespace

const fw::MessageTable CDlgDefragResults::kTable{
    &SkinnedPage::kTable,
    {
        fw::OnCommand(IDC_DEFRAG_BACK, &CDlgDefragResults::Back),
        fw::OnPaint(&CDlgDefragResults::OnPaint),
    }};

const fw::MessageTable& CDlgDefragResults::Messages() const {
    return kTable;
}

CDlgDefragResults::CDlgDefragResults(CDlgHDDScan& pages, DriveProbe& probe)
    : SkinnedPage(IDD_DEFRAG_RESULTS),
      pages_(pages),
      probe_(probe),
      statusText_(LoadPooledString(IDS_OPTIMIZATION_COMPLETE)) {}

CDlgDefragResults::~CDlgDefragResults() {
    // The button is a member: the window goes while it still exists.
    Destroy();
}

const RECT& CDlgDefragResults::ReportLinkArea() const {
    return defrag_results_layout::kReportLink;
}

bool CDlgDefragResults::OnInitDialog() {
    back_.Attach(Handle(), IDC_DEFRAG_BACK);
    back_.LoadStrip(IDB_BUTTON_BACK);
    back_.SetCaption(IDS_CAPTION_BACK);
    CreateLink(IDS_VIEW_SUMMARY_REPORT);
    SetTabOrder({LinkWindow(), back_.Handle()});
    SetItemFont(IDC_DEFRAG_TITLE, FontSegoe18.Get());
    SetItemFont(IDC_DEFRAG_DESCRIPTION, FontSegoe13.Get());
    PlaceControls();
    return true;
}

// ---- Recording the passes ------------------------------------------------------------

bool CDlgDefragResults::StoppedByUser() {
    const CDlgDiskAnalyzing& progress = pages_.ProgressPage();
    return progress.StopConfirmed() && progress.Mode() == JobMode::Optimize;
}

bool CDlgDefragResults::RecordFirstPass() {
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
    StampOptimization(*record, CurrentOleDate());

    const std::optional<VolumeInfo> volume = probe_.Volume(DriveRoot(letter));
    const std::optional<DiskSpace> space = QueryDiskSpace(letter);
    bars_ = space ? SpaceBarWidths(space->freeToCaller, space->total) : SpaceBars{};
    driveName_ = OptimizedDriveName(letter, volume ? volume->label : std::wstring(),
                                    volume ? volume->fileSystem : std::wstring());
    if (!HasRoomToOptimize(space)) {
        Invalidate(nullptr, false);
        return true;
    }

    RecordFirstPassCounts(*record, *statistics);
    totalFilesText_ = record->TotalFiles;
    totalFoldersText_ = record->TotalDirs;
    firstPassFragmented_ = statistics->FragmentedFiles;

    FragmentedClusterSums sums;
    {
        ResultsLoad load(pages_);
        sums = SumFragmentedClusters(host.Service(), &load);
    }
    if (sums.cancelled) {
        return false;  // the program is closing: nothing half read is recorded
    }
    before_ = FragmentationOf(sums.before, *statistics);
    after_ = FragmentationOf(sums.after, *statistics);
    RecordVolumeFragmentation(*record, &before_, after_);
    record->Status = StatusAfterOptimization(StoppedByUser());
    SaveDriveHistory(settings);
    Invalidate(nullptr, false);
    return true;
}

bool CDlgDefragResults::RecordFinalPass() {
    PageHost& host = pages_.Host();
    auto statistics = std::make_unique<svc::JobStatistics>();
    host.Service().GetJobStatistics(*statistics);
    ProgramSettings& settings = host.Settings();
    IndiVidualDriveInfo* record = FindDriveRecord(settings.DriveHistory, host.CurrentDrive());
    if (record == nullptr) {
        return true;
    }
    FragmentedClusterSums sums;
    {
        ResultsLoad load(pages_);
        sums = SumFragmentedClusters(host.Service(), &load);
    }
    if (sums.cancelled) {
        return false;
    }
    after_ = FragmentationOf(sums.after, *statistics);
    RecordVolumeFragmentation(*record, nullptr, after_);
    record->Status = StatusAfterOptimization(StoppedByUser());
    SaveDriveHistory(settings);
    Invalidate(nullptr, false);
    return true;
}

void CDlgDefragResults::SetStatusText(const std::wstring& text, COLORREF colour) {
    statusText_ = text;
    statusColour_ = colour;
    Invalidate(nullptr, false);
}

std::wstring CDlgDefragResults::ShownVolumeAfter() const {
    return Aborted() ? LoadPooledString(IDS_NOT_EVALUATED) : after_.volumeText;
}

std::wstring CDlgDefragResults::ShownDataAfter() const {
    return Aborted() ? LoadPooledString(IDS_NOT_EVALUATED) : after_.dataText;
}

// ---- Ways on ------------------------------------------------------------------------------

void CDlgDefragResults::Back() {
    const wchar_t letter = pages_.Host().CurrentDrive();
    pages_.SendReset(letter);
    pages_.Host().SetWorkflowStep(1);
    pages_.SelectionPage().SelectDriveByLetter(letter);
    pages_.ShowPage(pages_.SelectionPage());
    pages_.Host().InvalidateHostArea(defrag_results_layout::kMainSummaryDirty);
}

void CDlgDefragResults::OpenReport() {
    if (Aborted()) {
        MessageBoxW(TopWindow(), LoadPooledString(IDS_OPTIMIZE_FOR_REPORT).c_str(),
                    pages_.Host().Title().c_str(), MB_OK | MB_ICONINFORMATION);
        return;
    }
    RequestSummaryReport(Handle(), SummaryReport::Optimization,
                         {after_.volumeText, after_.dataText, firstPassFragmented_},
                         pages_.Host().Service());
}

HWND CDlgDefragResults::TopWindow() const {
    return GetAncestor(Handle(), GA_ROOT);
}

// ---- Layout and painting ------------------------------------------------------------------

void CDlgDefragResults::PlaceControls() {
    PlaceItems(defrag_results_layout::kPlaced);
}

void CDlgDefragResults::OnPaint(HDC target) {
    CXTMemDC memory(target, ClientRect());
    const HDC dc = memory.Get();
    SkinPainter skin(dc);
    const bool aborted = Aborted();
    const COLORREF afterColour =
        aborted ? defrag_results_layout::kBadColour : defrag_results_layout::kGoodColour;

    skin.Draw(IDB_OPTIMIZE_ICON, defrag_results_layout::kIcon.x, defrag_results_layout::kIcon.y,
              defrag_results_layout::kIconSize.cx, defrag_results_layout::kIconSize.cy);
    skin.Draw(IDB_RULE, defrag_results_layout::kRule.x, defrag_results_layout::kRule.y,
              defrag_results_layout::kRuleSize.cx, defrag_results_layout::kRuleSize.cy);
    DrawPageText(dc, UpperCased(statusText_), defrag_results_layout::kStatusText, FontSegoe18,
                 statusColour_);

    skin.Frame(defrag_results_layout::kBox, defrag_results_layout::kDiskBoxAt.x,
               defrag_results_layout::kDiskBoxAt.y, defrag_results_layout::kDiskBoxTiles);
    DrawPageText(dc, LoadPooledString(IDS_DISK_INFORMATION), defrag_results_layout::kDiskHeading,
                 FontSegoe18, defrag_results_layout::kBlack);
    DrawPageText(dc, driveName_, defrag_results_layout::kDriveName, FontTahoma14Bold,
                 defrag_results_layout::kBlack);
    DrawPageText(dc, LoadPooledString(IDS_TOTAL_FILES), defrag_results_layout::kFilesLabel,
                 FontTahoma11Bold, defrag_results_layout::kLabelColour);
    DrawPageText(dc, totalFilesText_, defrag_results_layout::kFilesValue, FontTahoma11,
                 defrag_results_layout::kBlack);
    DrawPageText(dc, LoadPooledString(IDS_TOTAL_DIRECTORIES), defrag_results_layout::kFoldersLabel,
                 FontTahoma11Bold, defrag_results_layout::kLabelColour);
    DrawPageText(dc, totalFoldersText_, defrag_results_layout::kFoldersValue, FontTahoma11,
                 defrag_results_layout::kBlack);
    DrawPageText(dc, LoadPooledString(IDS_FREE_SPACE), defrag_results_layout::kFreeLabel,
                 FontTahoma11Bold, defrag_results_layout::kGoodColour);
    DrawPageText(dc, LoadPooledString(IDS_USED_SPACE), defrag_results_layout::kUsedLabel,
                 FontTahoma11Bold, defrag_results_layout::kBadColour);
    FillBar(dc, defrag_results_layout::kBarX, defrag_results_layout::kFreeBarTop, bars_.free,
            defrag_results_layout::kFreeBarBottom, defrag_results_layout::kFreeBarColour);
    FillBar(dc, defrag_results_layout::kBarX, defrag_results_layout::kUsedBarTop, bars_.used,
            defrag_results_layout::kUsedBarBottom, defrag_results_layout::kUsedBarColour);

    skin.Frame(defrag_results_layout::kBox, defrag_results_layout::kDataBoxAt.x,
               defrag_results_layout::kDataBoxAt.y, defrag_results_layout::kDataBoxTiles);
    skin.Frame(defrag_results_layout::kBox, defrag_results_layout::kVolumeBoxAt.x,
               defrag_results_layout::kVolumeBoxAt.y, defrag_results_layout::kVolumeBoxTiles);
    const std::wstring& afterLabel = LoadPooledString(IDS_AFTER_OPTIMIZATION);
    const std::wstring& beforeLabel = LoadPooledString(IDS_BEFORE_OPTIMIZATION);
    DrawPageText(dc, LoadPooledString(IDS_DATA_FRAGMENTATION_HEADING),
                 defrag_results_layout::kDataHeading, FontSegoe18, defrag_results_layout::kBlack);
    DrawPageText(dc, afterLabel, defrag_results_layout::kDataAfterLabel, FontTahoma11Bold,
                 defrag_results_layout::kLabelColour);
    DrawPageText(dc, ShownDataAfter(), defrag_results_layout::kDataAfterValue, FontTahoma11Bold,
                 afterColour);
    DrawPageText(dc, beforeLabel, defrag_results_layout::kDataBeforeLabel, FontTahoma11Bold,
                 defrag_results_layout::kLabelColour);
    DrawPageText(dc, before_.dataText, defrag_results_layout::kDataBeforeValue, FontTahoma11Bold,
                 defrag_results_layout::kBadColour);
    DrawPageText(dc, LoadPooledString(IDS_VOLUME_FRAGMENTATION_HEADING),
                 defrag_results_layout::kVolumeHeading, FontSegoe18, defrag_results_layout::kBlack);
    DrawPageText(dc, afterLabel, defrag_results_layout::kVolumeAfterLabel, FontTahoma11Bold,
                 defrag_results_layout::kLabelColour);
    DrawPageText(dc, ShownVolumeAfter(), defrag_results_layout::kVolumeAfterValue, FontTahoma11Bold,
                 afterColour);
    DrawPageText(dc, beforeLabel, defrag_results_layout::kVolumeBeforeLabel, FontTahoma11Bold,
                 defrag_results_layout::kLabelColour);
    DrawPageText(dc, before_.volumeText, defrag_results_layout::kVolumeBeforeValue,
                 FontTahoma11Bold, defrag_results_layout::kBadColour);

    skin.Repeat(IDB_FOOTER_STRIP, 0, defrag_results_layout::kFooterLastX, 1,
                defrag_results_layout::kFooterY, defrag_results_layout::kFooterStripSize.cx,
                defrag_results_layout::kFooterStripSize.cy);
    if (aborted) {
        for (const RECT& mark : defrag_results_layout::kAbortedMarks) {
            DrawPageText(dc, LoadPooledString(IDS_ABORTED), mark, FontTahoma10Bold,
                         defrag_results_layout::kBadColour);
        }
    }
    DrawPageText(dc, LoadPooledString(IDS_VIEW_SUMMARY_REPORT), defrag_results_layout::kReportLink,
                 FontTahoma11BoldUnderline, defrag_results_layout::kBlack);
}
