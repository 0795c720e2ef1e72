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
using namespace defrag_results_layout;

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
    return kReportLink;
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
    pages_.Host().InvalidateHostArea(kMainSummaryDirty);
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
    PlaceItems(kPlaced);
}

void CDlgDefragResults::OnPaint(HDC target) {
    CXTMemDC memory(target, ClientRect());
    const HDC dc = memory.Get();
    SkinPainter skin(dc);
    const bool aborted = Aborted();
    const COLORREF afterColour = aborted ? kBadColour : kGoodColour;

    skin.Draw(IDB_OPTIMIZE_ICON, kIcon.x, kIcon.y, kIconSize.cx, kIconSize.cy);
    skin.Draw(IDB_RULE, kRule.x, kRule.y, kRuleSize.cx, kRuleSize.cy);
    DrawPageText(dc, UpperCased(statusText_), kStatusText, FontSegoe18, statusColour_);

    skin.Frame(kBox, kDiskBoxAt.x, kDiskBoxAt.y, kDiskBoxTiles);
    DrawPageText(dc, LoadPooledString(IDS_DISK_INFORMATION), kDiskHeading, FontSegoe18, kBlack);
    DrawPageText(dc, driveName_, kDriveName, FontTahoma14Bold, kBlack);
    DrawPageText(dc, LoadPooledString(IDS_TOTAL_FILES), kFilesLabel, FontTahoma11Bold,
                 kLabelColour);
    DrawPageText(dc, totalFilesText_, kFilesValue, FontTahoma11, kBlack);
    DrawPageText(dc, LoadPooledString(IDS_TOTAL_DIRECTORIES), kFoldersLabel, FontTahoma11Bold,
                 kLabelColour);
    DrawPageText(dc, totalFoldersText_, kFoldersValue, FontTahoma11, kBlack);
    DrawPageText(dc, LoadPooledString(IDS_FREE_SPACE), kFreeLabel, FontTahoma11Bold, kGoodColour);
    DrawPageText(dc, LoadPooledString(IDS_USED_SPACE), kUsedLabel, FontTahoma11Bold, kBadColour);
    FillBar(dc, kBarX, kFreeBarTop, bars_.free, kFreeBarBottom, kFreeBarColour);
    FillBar(dc, kBarX, kUsedBarTop, bars_.used, kUsedBarBottom, kUsedBarColour);

    skin.Frame(kBox, kDataBoxAt.x, kDataBoxAt.y, kDataBoxTiles);
    skin.Frame(kBox, kVolumeBoxAt.x, kVolumeBoxAt.y, kVolumeBoxTiles);
    const std::wstring& afterLabel = LoadPooledString(IDS_AFTER_OPTIMIZATION);
    const std::wstring& beforeLabel = LoadPooledString(IDS_BEFORE_OPTIMIZATION);
    DrawPageText(dc, LoadPooledString(IDS_DATA_FRAGMENTATION_HEADING), kDataHeading, FontSegoe18,
                 kBlack);
    DrawPageText(dc, afterLabel, kDataAfterLabel, FontTahoma11Bold, kLabelColour);
    DrawPageText(dc, ShownDataAfter(), kDataAfterValue, FontTahoma11Bold, afterColour);
    DrawPageText(dc, beforeLabel, kDataBeforeLabel, FontTahoma11Bold, kLabelColour);
    DrawPageText(dc, before_.dataText, kDataBeforeValue, FontTahoma11Bold, kBadColour);
    DrawPageText(dc, LoadPooledString(IDS_VOLUME_FRAGMENTATION_HEADING), kVolumeHeading,
                 FontSegoe18, kBlack);
    DrawPageText(dc, afterLabel, kVolumeAfterLabel, FontTahoma11Bold, kLabelColour);
    DrawPageText(dc, ShownVolumeAfter(), kVolumeAfterValue, FontTahoma11Bold, afterColour);
    DrawPageText(dc, beforeLabel, kVolumeBeforeLabel, FontTahoma11Bold, kLabelColour);
    DrawPageText(dc, before_.volumeText, kVolumeBeforeValue, FontTahoma11Bold, kBadColour);

    skin.Repeat(IDB_FOOTER_STRIP, 0, kFooterLastX, 1, kFooterY, kFooterStripSize.cx,
                kFooterStripSize.cy);
    if (aborted) {
        for (const RECT& mark : kAbortedMarks) {
            DrawPageText(dc, LoadPooledString(IDS_ABORTED), mark, FontTahoma10Bold, kBadColour);
        }
    }
    DrawPageText(dc, LoadPooledString(IDS_VIEW_SUMMARY_REPORT), kReportLink,
                 FontTahoma11BoldUnderline, kBlack);
}
