#include "flows/DiskAnalyzing.h"

#include <commctrl.h>

#include <cstring>

#include "flows/DiskAnalyzingLayout.h"
#include "flows/HDDScanContainer.h"
#include "framework/DeviceContexts.h"
#include "framework/Gdi.h"
#include "framework/MessageLoop.h"
#include "framework/UserHandles.h"
#include "res/resource.h"
#include "ui/widgets/SharedBrushes.h"
#include "ui/widgets/SharedFonts.h"
#include "ui/widgets/SkinBitmaps.h"
#include "ui/format/StringPool.h"
#include "ui/format/TextFormat.h"
#include "ui/format/TimeConvert.h"
#include "ui/widgets/XTMemDC.h"
#include "ui/widgets/SkinPainter.h"

namespace svc = vantrel::service;

namespace {

constexpr UINT kFirstTickMs = 1;
constexpr UINT kPollMs = 100;
// How long a job start leaves the service to take up the job.
constexpr DWORD kScanStartWaitMs = 2048;
constexpr DWORD kOptimizeStartStepMs = 1024;
constexpr DWORD kSecondPassStartWaitMs = 2024;

constexpr COLORREF kAbortedColour = RGB(169, 1, 1);
constexpr COLORREF kCompleteColour = RGB(0, 130, 44);

// Lets one message waiting in the queue be handled, the way the start of an
// optimization does between its waits.
void HandleOnePendingMessage() {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        return;
    }
    if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
    }
    if (!fw::PreTranslate(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool IsLegendLabel(int id) {
    for (const progress_layout::LegendEntry& entry : progress_layout::kLegend) {
        if (entry.labelId == id) {
            return true;
        }
    }
    return false;
}

bool IsSpaceKey(const MSG& msg) {
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
            return msg.wParam == VK_SPACE;
        default:
            return false;
    }
}

void DrawTextIn(HDC dc, const std::wstring& text, RECT rect, const fw::Font& font) {
    fw::SelectGuard selectFont(dc, font);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

}  // namespace

const fw::MessageTable CDlgDiskAnalyzing::kTable{
    &SkinnedPage::kTable,
    {
        fw::OnAnyTimer(&CDlgDiskAnalyzing::OnTick),
        fw::OnCommand(IDC_PROGRESS_STOP, &CDlgDiskAnalyzing::OnStopButton),
        fw::OnCommand(IDC_PROGRESS_STOP_DEFRAG, &CDlgDiskAnalyzing::OnStopButton),
        fw::OnCommand(IDC_PROGRESS_SEE_RESULTS, &CDlgDiskAnalyzing::OnSeeResults),
        fw::OnCommand(IDC_PROGRESS_VIEW_REPORT, &CDlgDiskAnalyzing::OnViewReport),
        fw::OnPaint(&CDlgDiskAnalyzing::OnPaint),
    }};

const fw::MessageTable& CDlgDiskAnalyzing::Messages() const {
    return kTable;
}

CDlgDiskAnalyzing::CDlgDiskAnalyzing(CDlgHDDScan& pages)
    : SkinnedPage(IDD_PROGRESS),
      pages_(pages),
      statistics_(std::make_unique<svc::JobStatistics>()) {}

CDlgDiskAnalyzing::~CDlgDiskAnalyzing() {
    // The controls' objects are members: the window goes while they still exist.
    Destroy();
}

bool CDlgDiskAnalyzing::OnInitDialog() {
    map_.Attach(Handle(), IDC_PROGRESS_MAP);
    map_.UseCache(&pages_.Host().VolumeMapCache());
    map_.UseService(&pages_.Host().Service());
    for (int i = 0; i < progress_layout::kLegendCount; ++i) {
        legends_[i].Attach(Handle(), progress_layout::kLegend[i].swatchId);
        legends_[i].SetBitmap(progress_layout::kLegend[i].bitmap);
        // A swatch shows only a colour: its name is the label beside it.
        legends_[i].SetText(LoadPooledString(progress_layout::kLegend[i].text).c_str());
        SetItemText(progress_layout::kLegend[i].labelId,
                    LoadPooledString(progress_layout::kLegend[i].text).c_str());
        SetItemFont(progress_layout::kLegend[i].labelId, FontSegoe12.Get());
    }
    stop_.Attach(Handle(), IDC_PROGRESS_STOP);
    stopDefrag_.Attach(Handle(), IDC_PROGRESS_STOP_DEFRAG);
    seeResults_.Attach(Handle(), IDC_PROGRESS_SEE_RESULTS);
    viewReport_.Attach(Handle(), IDC_PROGRESS_VIEW_REPORT);
    stop_.LoadStrip(IDB_BUTTON_STOP);
    stopDefrag_.LoadStrip(IDB_BUTTON_STOP);
    seeResults_.LoadStrip(IDB_BUTTON_SEE_RESULTS);
    viewReport_.LoadStrip(IDB_BUTTON_VIEW_REPORT);
    stop_.SetCaption(IDS_CAPTION_STOP);
    stopDefrag_.SetCaption(IDS_CAPTION_STOP);
    seeResults_.SetCaption(IDS_CAPTION_SEE_RESULTS);
    viewReport_.SetCaption(IDS_CAPTION_VIEW_REPORT);
    SetTabOrder({stop_.Handle(), stopDefrag_.Handle(), seeResults_.Handle(), viewReport_.Handle()});
    SetItemText(IDC_PROGRESS_BAR, LoadPooledString(IDS_CAPTION_PROGRESS).c_str());

    SetItemFont(IDC_PROGRESS_TITLE, FontSegoe18.Get());
    SetItemFont(IDC_PROGRESS_DESCRIPTION, FontSegoe13.Get());
    SetItemFont(IDC_PROGRESS_NOW_LABEL, FontTahoma11Bold.Get());
    SetItemFont(IDC_PROGRESS_FOCUS, FontTahoma11Bold.Get());
    SetItemFont(IDC_PROGRESS_PATH, FontTahoma11.Get());
    SendDlgItemMessageW(Handle(), IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, kProgressRange);

    ResetCounts(LoadPooledString(IDS_TO_BE_ANALYZED));
    for (int id : {IDC_PROGRESS_STOP, IDC_PROGRESS_STOP_DEFRAG, IDC_PROGRESS_SEE_RESULTS,
                   IDC_PROGRESS_VIEW_REPORT}) {
        ShowItem(id, false);
        EnableItem(id, false);
    }
    // The map's grid is fixed from its size at the first request for the cell
    // count, so the controls are in place before anyone can ask.
    PlaceControls();
    return false;
}

// ---- Starting a job -------------------------------------------------------------

bool CDlgDiskAnalyzing::StartJob(JobMode mode, wchar_t letter, const std::wstring& label) {
    PageHost& host = pages_.Host();
    svc::JobService& service = host.Service();
    mode_ = mode;
    SetUpForMode();

    SendCommand(svc::JobCommandCode::Reset, host.CurrentDrive(), 0);
    stopConfirmed_ = false;
    ResetCounts(L"0");
    SetProgress(0);
    pass_ = 0;

    host.Drives().CurrentDriveLetter = letter;
    jobLetter_ = letter;
    lastState_ = svc::JobState::Running;
    failingSince_ = 0;
    map_.SetDriveLetter(letter);
    driveLabel_ = label;
    SetItemText(IDC_PROGRESS_FOCUS, (LoadPooledString(IDS_SCANNING_PREFIX) + label).c_str());

    ArmTimer(kFirstTickMs);

    if (!HasRoomForJob(QueryDiskSpace(letter))) {
        StopTimer();
        pathText_.clear();
        SetItemText(IDC_PROGRESS_PATH, L"");
        SetProgress(0);
        MessageBoxW(TopWindow(), (label + LoadPooledString(IDS_NOT_ENOUGH_FREE_SPACE)).c_str(),
                    host.Title().c_str(), MB_OK | MB_ICONQUESTION);
        return false;
    }

    StampJobStart(host.Settings().DriveHistory, letter, CurrentOleDate());
    SendCommand(svc::JobCommandCode::Reset, letter, 0);

    fw::WaitCursor waiting;
    int result = 0;
    if (mode == JobMode::Scan) {
        result = SendCommand(svc::JobCommandCode::Analyze, letter, 0);
        host.VolumeMapCache().StartScanOf(letter);
        service.WaitForJobStart(kScanStartWaitMs);
    } else {
        result = SendCommand(svc::JobCommandCode::Optimize, letter, 1);
        service.WaitForJobStart(kOptimizeStartStepMs);
        HandleOnePendingMessage();
        service.WaitForJobStart(kOptimizeStartStepMs);
        HandleOnePendingMessage();
        HandBackMap(letter);
    }
    return result != 0;
}

void CDlgDiskAnalyzing::SetUpForMode() {
    const bool scan = mode_ == JobMode::Scan;
    SetItemText(IDC_PROGRESS_TITLE,
                LoadPooledString(scan ? IDS_SCANNING_TITLE : IDS_OPTIMIZING_TITLE).c_str());
    SetItemText(
        IDC_PROGRESS_DESCRIPTION,
        LoadPooledString(scan ? IDS_SCANNING_DESCRIPTION : IDS_OPTIMIZING_DESCRIPTION).c_str());

    ShowItem(IDC_PROGRESS_STOP, scan);
    EnableItem(IDC_PROGRESS_STOP, true);
    MoveItem(progress_layout::kStopButton.id, progress_layout::kStopButton.x,
             progress_layout::kStopButton.y, progress_layout::kStopButton.width,
             progress_layout::kStopButton.height);
    ShowItem(IDC_PROGRESS_STOP_DEFRAG, !scan);
    EnableItem(IDC_PROGRESS_STOP_DEFRAG, false);
    MoveItem(progress_layout::kStopDefragButton.id, progress_layout::kStopDefragButton.x,
             progress_layout::kStopDefragButton.y, progress_layout::kStopDefragButton.width,
             progress_layout::kStopDefragButton.height);
    for (int id : {IDC_PROGRESS_SEE_RESULTS, IDC_PROGRESS_VIEW_REPORT}) {
        ShowItem(id, false);
        EnableItem(id, false);
    }

    ShowItem(IDC_PROGRESS_NOW_LABEL, true);
    EnableItem(IDC_PROGRESS_NOW_LABEL, true);
    const std::wstring nowLabel =
        scan ? LoadPooledString(IDS_NOW_SCANNING) : LoadPooledString(IDS_OPTIMIZING_LABEL) + L": ";
    SetItemText(IDC_PROGRESS_NOW_LABEL, nowLabel.c_str());
    // The stop hint and the mode icon are painted.
    Invalidate(nullptr, false);
}

void CDlgDiskAnalyzing::HandBackMap(wchar_t letter) {
    const MapCache& cache = pages_.Host().VolumeMapCache();
    if (cache.HoldsMapOf(letter)) {
        pages_.Host().Service().PutVolumeMap(cache.Cells(), cache.CellCount());
    }
}

// ---- Polling ----------------------------------------------------------------------

void CDlgDiskAnalyzing::OnTick() {
    StopTimer();
    long state = svc::JobState::Idle;
    long detail = 0;
    if (pages_.Host().Service().GetJobState(state, detail) == 0) {
        OnFailedPoll();
        return;
    }
    failingSince_ = 0;
    lastState_ = state;
    pages_.Host().RecordJobState(state, detail);
    RunStateStep(state);
    RunStatisticsStep();
    if (state == svc::JobState::Running) {
        ArmTimer(kPollMs);
    }
}

void CDlgDiskAnalyzing::OnFailedPoll() {
    // A failed call is no answer: the page keeps acting on the last state it received.
    const unsigned long long now = pages_.Host().Service().Milliseconds();
    if (failingSince_ == 0) {
        failingSince_ = now;
    }
    switch (StepAfterFailedPoll(lastState_, now - failingSince_)) {
        case FailedPollStep::PollAgain:
            ArmTimer(kPollMs);
            break;
        case FailedPollStep::Wait:
            break;
        case FailedPollStep::GiveUp:
            GiveUpTheService();
            break;
    }
}

void CDlgDiskAnalyzing::GiveUpTheService() {
    failingSince_ = 0;
    lastState_ = svc::JobState::Idle;
    pages_.Host().RecordJobState(svc::JobState::Idle, 0);
    PostJobActivity(true);
    MessageBoxW(TopWindow(), LoadPooledString(IDS_SERVICE_UNAVAILABLE).c_str(),
                pages_.Host().Title().c_str(), MB_OK | MB_ICONINFORMATION);
    pages_.Host().SetWorkflowStep(1);
    pages_.SelectDriveByLetter(pages_.Host().CurrentDrive());
    pages_.ShowPage(pages_.SelectionPage());
}

void CDlgDiskAnalyzing::RunStateStep(long state) {
    switch (state) {
        case svc::JobState::Idle:
            if (mode_ == JobMode::Scan) {
                ShowItem(IDC_PROGRESS_SEE_RESULTS, false);
                ShowItem(IDC_PROGRESS_STOP, false);
            }
            PostJobActivity(true);
            break;
        case svc::JobState::Running:
            OnRunning();
            break;
        case svc::JobState::Finished:
            OnFinished();
            break;
        default:
            break;
    }
}

void CDlgDiskAnalyzing::OnRunning() {
    ShowItem(IDC_PROGRESS_BAR, true);
    ShowItem(IDC_PROGRESS_PATH, true);
    if (mode_ == JobMode::Scan) {
        ShowItem(IDC_PROGRESS_STOP, true);
        EnableItem(IDC_PROGRESS_STOP, true);
        ShowItem(IDC_PROGRESS_SEE_RESULTS, false);
        EnableItem(IDC_PROGRESS_SEE_RESULTS, false);
        SetFocus(Item(IDC_PROGRESS_STOP));
    } else {
        ShowItem(IDC_PROGRESS_STOP_DEFRAG, true);
        EnableItem(IDC_PROGRESS_STOP_DEFRAG, true);
        SetFocus(Item(IDC_PROGRESS_STOP_DEFRAG));
    }
    PostJobActivity(false);
}

void CDlgDiskAnalyzing::OnFinished() {
    SetFocus(Item(IDC_PROGRESS_FOCUS));
    StopTimer();
    PostJobActivity(true);

    if (mode_ == JobMode::Scan) {
        SetProgress(kProgressRange);
        ShowItem(IDC_PROGRESS_STOP, false);
        ShowItem(IDC_PROGRESS_BAR, false);
        ShowItem(IDC_PROGRESS_PATH, false);
        for (int id : {IDC_PROGRESS_SEE_RESULTS, IDC_PROGRESS_NOW_LABEL}) {
            ShowItem(id, false);
            EnableItem(id, false);
        }
        SetItemText(IDC_PROGRESS_TITLE, LoadPooledString(IDS_SCANNING_COMPLETED).c_str());
        SetItemText(IDC_PROGRESS_DESCRIPTION, LoadPooledString(IDS_SCANNING_SUCCESSFUL).c_str());
        // The results load blocks the thread for a while: the page shows its
        // finished state meanwhile, not the running one.
        UpdateWindow(Handle());
        ShowScanResults();
        return;
    }

    PostJobActivity(true);
    CDlgDefragResults& results = pages_.DefragResultsPage();
    if (!(pass_ == 0 ? results.RecordFirstPass() : results.RecordFinalPass())) {
        return;  // the program is closing: no second pass, no notice
    }
    switch (StepAfterFinished(mode_, pass_, stopConfirmed_)) {
        case FinishedStep::OptimizationAborted:
            FinishOptimization(IDS_OPTIMIZATION_ABORTED, kAbortedColour);
            ShowOptimizationResults();
            break;
        case FinishedStep::StartSecondPass:
            StartSecondPass();
            break;
        case FinishedStep::OptimizationComplete:
            FinishOptimization(IDS_OPTIMIZATION_COMPLETE, kCompleteColour);
            MessageBoxW(
                TopWindow(),
                ReplacePlaceholder(LoadPooledString(IDS_OPTIMIZED_SUCCESSFULLY), driveLabel_)
                    .c_str(),
                pages_.Host().Title().c_str(), MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
            ShowOptimizationResults();
            break;
        case FinishedStep::ShowScanResults:
            break;
    }
}

void CDlgDiskAnalyzing::FinishOptimization(UINT statusText, COLORREF statusColour) {
    pages_.DefragResultsPage().SetStatusText(LoadPooledString(statusText), statusColour);
    EnableItem(IDC_PROGRESS_VIEW_REPORT, false);
    for (int id : {IDC_PROGRESS_NOW_LABEL, IDC_PROGRESS_BAR, IDC_PROGRESS_STOP_DEFRAG}) {
        ShowItem(id, false);
        EnableItem(id, false);
    }
    ShowItem(IDC_PROGRESS_PATH, false);
}

void CDlgDiskAnalyzing::StartSecondPass() {
    pass_ = 1;
    SendCommand(svc::JobCommandCode::Reset, jobLetter_, 0);
    ArmTimer(kFirstTickMs);
    SendCommand(svc::JobCommandCode::Optimize, jobLetter_, 1);
    pages_.Host().Service().WaitForJobStart(kSecondPassStartWaitMs);
    HandBackMap(jobLetter_);
}

void CDlgDiskAnalyzing::RunStatisticsStep() {
    long busy = 0;
    svc::JobService& service = pages_.Host().Service();
    service.IsStatisticsBusy(busy);
    if (busy != 0) {
        return;
    }
    map_.Invalidate(nullptr, false);

    svc::JobStatistics& statistics = *statistics_;
    std::memset(&statistics, 0, sizeof statistics);
    service.GetJobStatistics(statistics);

    std::wstring path = svc::FieldText(statistics.CurrentFile);
    if (path != pathText_) {
        pathText_ = std::move(path);
        SetItemText(IDC_PROGRESS_PATH, pathText_.c_str());
    }
    filesCount_ = statistics.TotalFiles;
    foldersCount_ = statistics.TotalDirs;
    fragmentedCount_ = statistics.FragmentedFiles;
    filesText_ = GroupedCountText(filesCount_);
    foldersText_ = GroupedCountText(foldersCount_);
    fragmentedText_ = GroupedCountText(fragmentedCount_);
    SetProgress(ProgressPosition(statistics.ProcessedClusters, statistics.UsedClusters, pass_));
}

// ---- Stopping and handing over ------------------------------------------------------

bool CDlgDiskAnalyzing::SuspendPolling() {
    const bool wasPolling = polling_;
    StopTimer();
    return wasPolling;
}

void CDlgDiskAnalyzing::ResumePolling() {
    ArmTimer(kFirstTickMs);
}

void CDlgDiskAnalyzing::ConfirmStop() {
    // No poll runs while the question is open: a job that ends meanwhile is handled
    // once the answer is in, not underneath the question.
    const bool wasPolling = SuspendPolling();
    svc::JobService& service = pages_.Host().Service();
    service.PauseJob();
    const UINT question =
        mode_ == JobMode::Scan ? IDS_CONFIRM_STOP_SCAN : IDS_CONFIRM_STOP_OPTIMIZATION;
    const int answer = MessageBoxW(TopWindow(), LoadPooledString(question).c_str(),
                                   pages_.Host().Title().c_str(), MB_YESNO | MB_ICONQUESTION);
    if (answer == IDYES) {
        stopConfirmed_ = true;
        service.StopJob();
    } else {
        stopConfirmed_ = false;
        service.ResumeJob();
    }
    SetFocus(Item(IDC_PROGRESS_PATH));
    if (wasPolling) {
        ResumePolling();
    }
}

void CDlgDiskAnalyzing::ShowScanResults() {
    pages_.Host().SetWorkflowStep(3);
    CDlgScanResults& results = pages_.ScanResultsPage();
    if (!results.LoadScanResults()) {
        return;  // the program is closing
    }
    if (results.FragmentedFileCount() > 0) {
        pages_.ShowPage(results);
        return;
    }
    const int answer = MessageBoxW(TopWindow(), LoadPooledString(IDS_NO_FILES_NEED_DEFRAG).c_str(),
                                   pages_.Host().Title().c_str(), MB_YESNO | MB_ICONQUESTION);
    if (answer == IDYES) {
        pages_.ShowPage(results);
        return;
    }
    pages_.Host().SetWorkflowStep(1);
    pages_.SelectDriveByLetter(pages_.Host().CurrentDrive());
    SetFocus(pages_.SelectionPage().Item(IDC_SELECT_TITLE));
    pages_.ShowPage(pages_.SelectionPage());
}

void CDlgDiskAnalyzing::ShowResultsCount(long done, long total) {
    if (total <= 0) {
        ShowItem(IDC_PROGRESS_PATH, false);
        SetItemText(IDC_PROGRESS_PATH, L"");
        pathText_.clear();
        return;
    }
    pathText_ = ReplaceNumbered(LoadPooledString(IDS_RESULTS_READ_COUNT),
                                GroupedCountText(static_cast<std::uint64_t>(done)),
                                GroupedCountText(static_cast<std::uint64_t>(total)));
    SetItemText(IDC_PROGRESS_PATH, pathText_.c_str());
    ShowItem(IDC_PROGRESS_PATH, true);
    UpdateWindow(Item(IDC_PROGRESS_PATH));
}

void CDlgDiskAnalyzing::ShowOptimizationResults() {
    CDlgDefragResults& results = pages_.DefragResultsPage();
    SetFocus(results.Handle());
    pages_.ShowPage(results);
}

void CDlgDiskAnalyzing::OnStopButton() {
    ConfirmStop();
}

void CDlgDiskAnalyzing::OnSeeResults() {
    ShowScanResults();
}

void CDlgDiskAnalyzing::OnViewReport() {
    ShowOptimizationResults();
}

// ---- Helpers --------------------------------------------------------------------------

int CDlgDiskAnalyzing::SendCommand(std::int32_t code, wchar_t letter, std::int32_t flag) {
    return pages_.Host().Service().SendJobCommand(map_, code, letter, flag);
}

void CDlgDiskAnalyzing::ArmTimer(UINT milliseconds) {
    polling_ = SetTimer(kJobPollTimer, milliseconds);
}

void CDlgDiskAnalyzing::StopTimer() {
    KillTimer(kJobPollTimer);
    polling_ = false;
}

void CDlgDiskAnalyzing::PostJobActivity(bool idle) {
    pages_.Host().PostJobActivity(idle);
}

HWND CDlgDiskAnalyzing::TopWindow() const {
    return GetAncestor(Handle(), GA_ROOT);
}

void CDlgDiskAnalyzing::ResetCounts(const std::wstring& text) {
    filesCount_ = 0;
    foldersCount_ = 0;
    fragmentedCount_ = 0;
    filesText_ = text;
    foldersText_ = text;
    fragmentedText_ = text;
}

void CDlgDiskAnalyzing::SetProgress(int position) {
    SendDlgItemMessageW(Handle(), IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

bool CDlgDiskAnalyzing::PreTranslateMessage(MSG& msg) {
    if (IsSpaceKey(msg)) {
        return true;
    }
    return fw::Dialog::PreTranslateMessage(msg);
}

// ---- Layout and painting ------------------------------------------------------------------

void CDlgDiskAnalyzing::PlaceControls() {
    PlaceItems(progress_layout::kPlaced);
    for (const progress_layout::LegendEntry& entry : progress_layout::kLegend) {
        MoveItem(entry.swatchId, entry.swatchX, progress_layout::kSwatchY,
                 progress_layout::kSwatchSize, progress_layout::kSwatchSize);
        MoveItem(entry.labelId, entry.labelX, progress_layout::kLegendLabelY, entry.labelWidth,
                 progress_layout::kLegendLabelHeight);
    }
}

void CDlgDiskAnalyzing::OnPaint(HDC target) {
    CXTMemDC memory(target, ClientRect());
    const HDC dc = memory.Get();
    SkinPainter skin(dc);

    skin.Draw(IDB_RULE, progress_layout::kRule.x, progress_layout::kRule.y,
              progress_layout::kRuleSize.cx, progress_layout::kRuleSize.cy);

    // Frames and the band take the DC's own brush: nothing is created to paint them.
    const auto dcBrush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    SetDCBrushColor(dc, progress_layout::kFrameColour);
    FrameRect(dc, &progress_layout::kMapFrame, dcBrush);
    FrameRect(dc, &progress_layout::kStatusBand, dcBrush);
    SetDCBrushColor(dc, progress_layout::kBandColour);
    FillRect(dc, &progress_layout::kStatusBandFill, dcBrush);

    skin.Draw(mode_ == JobMode::Optimize ? IDB_OPTIMIZE_ICON : IDB_SCAN_ICON,
              progress_layout::kModeIcon.x, progress_layout::kModeIcon.y,
              progress_layout::kModeIconSize.cx, progress_layout::kModeIconSize.cy);

    fw::MemoryDC strip(dc);
    if (strip && strip.Select(SkinBitmap(IDB_FOOTER_STRIP))) {
        for (int x = 0; x < progress_layout::kFooterWidth; ++x) {
            BitBlt(dc, x, progress_layout::kFooterY, progress_layout::kFooterStripSize.cx,
                   progress_layout::kFooterStripSize.cy, strip.Get(), 0, 0, SRCCOPY);
        }
    }

    if (mode_ == JobMode::Optimize) {
        SetTextColor(dc, progress_layout::kHintColour);
        DrawTextIn(dc, LoadPooledString(IDS_CLICK), progress_layout::kHintClick, FontSegoe13);
        DrawTextIn(dc, LoadPooledString(IDS_STOP_NOW), progress_layout::kHintStopNow,
                   FontTahoma12Underline);
        DrawTextIn(dc, LoadPooledString(IDS_TO_STOP_OPTIMIZATION), progress_layout::kHintRest,
                   FontSegoe13);
    }
}

HBRUSH CDlgDiskAnalyzing::StaticColours(HDC dc, int id) {
    // The legend's labels stand on the legend's mint background.
    if (IsLegendLabel(id)) {
        SetTextColor(dc, RGB(0, 0, 0));
        return MintBrush();
    }
    SetTextColor(
        dc, id == IDC_PROGRESS_DESCRIPTION ? progress_layout::kDescriptionColour : RGB(0, 0, 0));
    return WhiteBrush();
}
