#include "app/MainWindow.h"

#include <shellapi.h>

#include "app/About.h"
#include "app/AdminCheck.h"
#include "app/CloseRules.h"
#include "app/DefragApp.h"
#include "app/MainWindowLayout.h"
#include "app/OsVersion.h"
#include "app/PopupThread.h"
#include "app/SingleInstance.h"
#include "app/Splash.h"
#include "app/StaleDriveCheck.h"
#include "ui/format/TextFormat.h"
#include "app/VendorSite.h"
#include "app/WindowShape.h"
#include "framework/Gdi.h"
#include "framework/MessageLoop.h"
#include "res/resource.h"
#include "ui/widgets/SharedBrushes.h"
#include "ui/widgets/SharedFonts.h"
#include "ui/widgets/SkinBitmaps.h"
#include "ui/widgets/SkinPainter.h"
#include "ui/format/StringPool.h"
#include "ui/format/TimeConvert.h"
#include "ui/widgets/XTMemDC.h"
#include "update/UpdateCheck.h"

namespace svc = vantrel::service;
using namespace main_layout;

namespace {

CDlgMainDefrag* g_mainWindow = nullptr;

constexpr UINT kConfirmStopFlags = MB_YESNO | MB_ICONQUESTION | MB_TOPMOST;  // 0x40024
constexpr UINT_PTR kPostedQuitOnEndSession = 18;

void DrawTextIn(HDC dc, const std::wstring& text, RECT rect, const fw::Font& font, COLORREF colour,
                UINT format) {
    fw::SelectGuard selectFont(dc, font);
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

}  // namespace

CDlgMainDefrag* MainWindow() {
    return g_mainWindow;
}

const fw::MessageTable CDlgMainDefrag::kTable{
    &fw::Dialog::kTable,
    {
        fw::OnCommand(IDC_MAIN_CLOSE, &CDlgMainDefrag::OnCloseButton),
        fw::OnCommand(IDC_MAIN_MINIMIZE, &CDlgMainDefrag::OnMinimizeButton),
        fw::OnCommand(IDC_MAIN_UPDATE, &CDlgMainDefrag::OnUpdateButton),
        fw::OnCommand(ID_TRAY_RESTORE, &CDlgMainDefrag::OnTrayRestore),
        fw::OnCommand(ID_TRAY_EXIT, &CDlgMainDefrag::OnTrayExit),
        fw::OnCommand(ID_TRAY_ABOUT, &CDlgMainDefrag::OnTrayAbout),
        fw::OnCommand(ID_OPEN_POPUP, &CDlgMainDefrag::OnOpenPopup),
        fw::OnCommand(IDC_MAIN_ABOUT_LINK, &CDlgMainDefrag::OpenAbout),
        fw::OnCommand(IDC_MAIN_HELP_LINK, &CDlgMainDefrag::OpenHelpPage),
        fw::OnMessage(WM_POPUP_NOT_SHOWN, &CDlgMainDefrag::OnPopupNotShown),
        fw::OnCommand(IDC_POPUP_START_SCAN, &CDlgMainDefrag::OnPopupStartScan),
        fw::OnMessage(WM_DESTROY, &CDlgMainDefrag::OnDestroy),
        fw::OnSize(&CDlgMainDefrag::OnSize),
        fw::OnPaint(&CDlgMainDefrag::OnPaint),
        fw::OnMouse(WM_LBUTTONDOWN, &CDlgMainDefrag::OnLButtonDown),
        fw::OnMouse(WM_LBUTTONUP, &CDlgMainDefrag::OnLButtonUp),
        fw::OnMouse(WM_MOUSEMOVE, &CDlgMainDefrag::OnMouseMove),
        fw::OnCtlColor(&CDlgMainDefrag::OnCtlColor),
        fw::OnEraseBackground(&CDlgMainDefrag::OnEraseBackground),
        fw::OnMessage(WM_JOB_ACTIVITY, &CDlgMainDefrag::OnJobActivity),
        fw::OnMessage(WM_ENDSESSION, &CDlgMainDefrag::OnEndSession),
        fw::OnMessage(WM_QUERYENDSESSION, &CDlgMainDefrag::OnQueryEndSession),
        fw::OnRegisteredMessage(kHandOverMessageName, &CDlgMainDefrag::OnHandOver),
        fw::OnRegisteredMessage(kCloseForSetupMessageName, &CDlgMainDefrag::OnCloseForSetup),
        fw::OnTimer(kScanOnStartTimer, &CDlgMainDefrag::OnScanOnStartTimer),
        fw::OnMessage(WM_SYSCOMMAND, &CDlgMainDefrag::OnSysCommand),
        fw::OnMessage(WM_WINDOWPOSCHANGING, &CDlgMainDefrag::OnWindowPosChanging),
        fw::OnMessage(WM_HELP, &CDlgMainDefrag::OnHelp),
    }};

const fw::MessageTable& CDlgMainDefrag::Messages() const {
    return kTable;
}

CDlgMainDefrag::CDlgMainDefrag(CDefragApp& app, svc::JobService* service, DriveProbe* drives)
    : fw::Dialog(IDD_MAIN),
      app_(app),
      ownLink_(service == nullptr ? std::make_unique<svc::ServiceLink>(service_) : nullptr),
      jobService_(service != nullptr ? *service : *ownLink_),
      pages_(*this, drives != nullptr ? *drives : MachineDriveProbe()) {
    g_mainWindow = this;
}

CDlgMainDefrag::~CDlgMainDefrag() {
    if (g_mainWindow == this) {
        g_mainWindow = nullptr;
    }
}

svc::CellCountSource& CDlgMainDefrag::MapCells() {
    return pages_.MapCells();
}

const std::wstring& CDlgMainDefrag::Title() const {
    return app_.Title;
}

ProgramSettings& CDlgMainDefrag::Settings() {
    return app_.Settings;
}

DriveItems& CDlgMainDefrag::Drives() {
    return app_.Drives;
}

MapCache& CDlgMainDefrag::VolumeMapCache() {
    return app_.VolumeMapCache;
}

void CDlgMainDefrag::RecordJobState(long state, long detail) {
    jobState_ = state;
    jobDetail_ = detail;
}

void CDlgMainDefrag::PostJobActivity(bool idle) {
    Post(WM_JOB_ACTIVITY, 0, idle ? 1 : 0);
}

void CDlgMainDefrag::InvalidateHostArea(const RECT& area) {
    Invalidate(&area, false);
}

void CDlgMainDefrag::BeginResultsLoad() {
    ++resultsLoads_;
}

void CDlgMainDefrag::EndResultsLoad() {
    if (resultsLoads_ > 0 && --resultsLoads_ == 0 && closeAfterLoad_) {
        closeAfterLoad_ = false;
        Post(WM_SYSCOMMAND, SC_CLOSE);
    }
}

bool CDlgMainDefrag::OnInitDialog() {
    // First of all, so that a second start during the splash finds this window. A
    // main window of a process that is not the session's instance (a test program's)
    // carries no mark, so that no second start hands over to it.
    if (app_.HoldsInstanceLock()) {
        MarkAsMainWindow(Handle());
    }
    jobState_ = svc::JobState::Idle;
    jobService_.GetJobState(jobState_, jobDetail_);

    if (!app_.Options.skipSplash) {
        ShowSplash();
    }

    const HINSTANCE module = GetModuleHandleW(nullptr);
    icon_.Reset(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON),
                                              GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.Reset(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0)));
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Get()));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));

    SetText(app_.Title.c_str());
    MoveWindow(Handle(), 0, 0, kWidth, kHeight, FALSE);
    CenterWindow(Handle());

    tray_.Create(app_.Title.c_str(), Handle(), IDI_APP, IDR_TRAY_MENU, ID_TRAY_RESTORE, false);
    tray_.HideIcon();

    ApplyRoundedRegion(Handle());

    minimizeButton_.Attach(Handle(), IDC_MAIN_MINIMIZE);
    closeButton_.Attach(Handle(), IDC_MAIN_CLOSE);
    updateButton_.Attach(Handle(), IDC_MAIN_UPDATE);
    minimizeButton_.LoadStrip(IDB_BUTTON_MINIMIZE);
    closeButton_.LoadStrip(IDB_BUTTON_CLOSE);
    updateButton_.LoadStrip(IDB_BUTTON_UPDATE);
    minimizeButton_.SetCaption(IDS_CAPTION_MINIMIZE);
    closeButton_.SetCaption(IDS_CAPTION_CLOSE);
    updateButton_.SetCaption(IDS_CAPTION_CHECK_UPDATES);
    aboutLink_.Create(Handle(), IDC_MAIN_ABOUT_LINK, kAboutArea, IDS_ABOUT_LINK);
    helpLink_.Create(Handle(), IDC_MAIN_HELP_LINK, kHelpArea, IDS_HELP_LINK);
    OnSize();

    pages_.CreateModeless(Handle());
    const RECT client = ClientRect();
    const RECT area = ContainerRect(client.right, client.bottom);
    MoveWindow(pages_.Handle(), area.left, area.top, area.right - area.left, area.bottom - area.top,
               FALSE);
    pages_.Show(SW_SHOW);
    SetTabOrder({minimizeButton_.Handle(), closeButton_.Handle(), aboutLink_.Handle(),
                 helpLink_.Handle(), updateButton_.Handle(), pages_.Handle()});

    SetLinkAreas(true);

    if (app_.Options.reminderMode) {
        RunReminderMode();
        return false;
    }
    fw::DispatchPendingMessages();
    if (app_.Options.scanOnStart) {
        SetTimer(kScanOnStartTimer, kScanOnStartDelayMs);
    }
    SetFocus(minimizeButton_.Handle());
    return false;
}

void CDlgMainDefrag::ShowSplash() {
    CDlgSplash splash(app_.Title);
    if (!splash.CreateModeless(Handle())) {
        return;
    }
    fw::DispatchPendingMessages();
    splash.Show(SW_SHOWNORMAL);
    UpdateWindow(splash.Handle());
    fw::DispatchPendingMessages();
    Sleep(kSplashMilliseconds);
    splash.Destroy();
}

void CDlgMainDefrag::RunReminderMode() {
    const std::wstring stale = StaleDriveList(app_.Settings.DriveHistory, CurrentUnixSeconds());
    if (stale.empty()) {
        // Every drive was scanned recently: nothing to remind of, nothing shown.
        PostQuitMessage(0);
        ExitProcess(0);
    }
    app_.MessageText = ReplacePlaceholder(LoadPooledString(IDS_DRIVES_NOT_SCANNED), stale);
    app_.Drives.CurrentDriveLetter = stale[0];
    pages_.SelectDriveByLetter(stale[0]);
    app_.MainWindowRelease = false;
    Show(SW_HIDE);
    Post(WM_COMMAND, ID_OPEN_POPUP);
}

void CDlgMainDefrag::SetWorkflowStep(int step) {
    workflowStep_ = step;
    Invalidate(&kWorkflowPanelDirty, false);
    Invalidate(&kLinksDirty, false);
    SetLinkAreas(true);
    updateButton_.Show(SW_HIDE);
    updateButton_.Enable(false);
}

void CDlgMainDefrag::SetLinkAreas(bool enabled) {
    aboutArea_ = enabled ? kAboutArea : RECT{};
    helpArea_ = enabled ? kHelpArea : RECT{};
    aboutLink_.SetArea(aboutArea_);
    helpLink_.SetArea(helpArea_);
}

void CDlgMainDefrag::HideToTray() {
    inTray_ = true;
    tray_.ShowIcon();
    tray_.MinimizeToTray(Handle());
    Show(SW_HIDE);
}

void CDlgMainDefrag::ShowFromTray() {
    inTray_ = false;
    tray_.RestoreFromTray(Handle());
    tray_.HideIcon();
    Show(SW_RESTORE);
}

void CDlgMainDefrag::SendResetForCurrentDrive() {
    jobService_.SendJobCommand(MapCells(), svc::JobCommandCode::Reset,
                               app_.Drives.CurrentDriveLetter, 0);
}

void CDlgMainDefrag::OnCloseButton() {
    if (ActionForCloseButton(app_.Settings.CloseSetting) == CloseButtonAction::HideToTray) {
        HideToTray();
        return;
    }
    // The system close asks before stopping a running job and resets the service
    // only after that: a reset here would end the job even when the user says No.
    Post(WM_SYSCOMMAND, SC_CLOSE);
}

void CDlgMainDefrag::OnMinimizeButton() {
    if (ActionForMinimizeButton(app_.Settings.MinimizeSetting) == MinimizeButtonAction::Minimize) {
        Post(WM_SYSCOMMAND, SC_MINIMIZE);
    } else {
        HideToTray();
    }
}

void CDlgMainDefrag::OnUpdateButton() {
    CheckForUpdates(UpdateHost{Handle(), app_.Title, IsUserAdmin()});
}

void CDlgMainDefrag::OnSize() {
    MoveItem(IDC_MAIN_MINIMIZE, kMinimizeButton.x, kMinimizeButton.y, kMinimizeButton.width,
             kMinimizeButton.height);
    MoveItem(IDC_MAIN_CLOSE, kCloseButton.x, kCloseButton.y, kCloseButton.width,
             kCloseButton.height);
    MoveItem(IDC_MAIN_UPDATE, kUpdateButton.x, kUpdateButton.y, kUpdateButton.width,
             kUpdateButton.height);
}

void CDlgMainDefrag::OnPaint(HDC dc) {
    if (IsIconic(Handle())) {
        PaintIconic(dc);
    } else {
        PaintWindow(dc);
    }
}

void CDlgMainDefrag::PaintIconic(HDC dc) {
    Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
    const RECT client = ClientRect();
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_.Get());
}

void CDlgMainDefrag::PaintWindow(HDC target) {
    CXTMemDC memory(target, ClientRect());
    const HDC dc = memory.Get();
    SetBkMode(dc, TRANSPARENT);
    SkinPainter skin(dc);

    for (const Blit& piece : kFrame) {
        skin.Draw(piece.bitmap, piece.x, piece.y, piece.width, piece.height);
    }
    skin.Repeat(IDB_PANEL_BACKGROUND, kPanelLeft, kPanelLeft + kPanelStripCount - 1, 1, kPanelTop,
                1, kPanelStripHeight);
    skin.Draw(kPanelSeparator.bitmap, kPanelSeparator.x, kPanelSeparator.y, kPanelSeparator.width,
              kPanelSeparator.height);

    for (int step = 1; step <= kStepCount; ++step) {
        const bool current = step == workflowStep_;
        skin.Draw(StepImage(step, current), kStepItemX, kStepItemY[step - 1], kStepItemWidth,
                  kStepItemHeight);
        DrawTextIn(dc, LoadPooledString(kStepLabelText[step - 1]), kStepLabel[step - 1],
                   FontSegoe15, current ? kCurrentStepColour : kOtherStepColour,
                   DT_WORDBREAK | DT_VCENTER);
    }

    DrawTextIn(dc, LoadPooledString(IDS_ABOUT_LINK), kAboutText, FontTahoma11, RGB(0, 0, 0),
               DT_WORDBREAK | DT_VCENTER);
    skin.Draw(IDB_ABOUT_ICON, kAboutIcon.x, kAboutIcon.y, kLinkIconSize, kLinkIconSize);
    DrawTextIn(dc, LoadPooledString(IDS_HELP_LINK), kHelpText, FontTahoma11, RGB(0, 0, 0),
               DT_WORDBREAK | DT_VCENTER);
    skin.Draw(IDB_HELP_ICON, kHelpIcon.x, kHelpIcon.y, kLinkIconSize, kLinkIconSize);
}

void CDlgMainDefrag::OnLButtonDown(POINT point) {
    if (InDragBand(point, ClientRect().right)) {
        Send(WM_NCLBUTTONDOWN, HTCAPTION, 0);
    }
}

void CDlgMainDefrag::OnLButtonUp(POINT point) {
    switch (LinkAt(point, aboutArea_, helpArea_)) {
        case Link::About:
            OpenAbout();
            break;
        case Link::Help:
            OpenHelpPage();
            break;
        case Link::None:
            break;
    }
}

void CDlgMainDefrag::OnMouseMove(POINT point) {
    static const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    static const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(LinkAt(point, aboutArea_, helpArea_) == Link::None ? arrow : hand);
}

HBRUSH CDlgMainDefrag::OnCtlColor(HDC, HWND, UINT) {
    return WhiteBrush();
}

bool CDlgMainDefrag::OnEraseBackground(HDC) {
    // Nothing is erased: painting covers the whole client area.
    return false;
}

bool CDlgMainDefrag::OnJobActivity(fw::Message& m) {
    const bool idle = m.lParam != 0;
    SetLinkAreas(idle);
    updateButton_.Enable(idle);
    m.result = 1;
    return true;
}

bool CDlgMainDefrag::OnEndSession(fw::Message& m) {
    DefaultProcessing(m);
    // Only an ending session ends the program; a cancelled log-off leaves it running.
    if (m.wParam != FALSE) {
        Post(WM_SYSCOMMAND, SC_CLOSE);
        PostQuitMessage(kPostedQuitOnEndSession);
    }
    return true;
}

bool CDlgMainDefrag::OnQueryEndSession(fw::Message& m) {
    DefaultProcessing(m);
    m.result = TRUE;
    return true;
}

void CDlgMainDefrag::OnTrayRestore() {
    ShowFromTray();
}

void CDlgMainDefrag::OnTrayExit() {
    // Marked as in the tray so that the close path ends the program instead of hiding.
    inTray_ = true;
    Post(WM_SYSCOMMAND, SC_CLOSE);
}

bool CDlgMainDefrag::OnCloseForSetup(fw::Message& m) {
    // A setup never ends a running job: the program stays and says so.
    if (jobState_ == svc::JobState::Running) {
        m.result = kCloseForSetupJobRunning;
        return true;
    }
    m.result = kCloseForSetupClosing;
    Post(WM_COMMAND, ID_TRAY_EXIT);
    return true;
}

void CDlgMainDefrag::OnTrayAbout() {
    Post(WM_COMMAND, ID_TRAY_RESTORE);
    CenterWindow(Handle());
    OpenAbout();
}

bool CDlgMainDefrag::OnHandOver(fw::Message& m) {
    // The token is checked first so that it is always released.
    const bool handOver = IsAlreadyRunningToken(m.lParam);
    if (!app_.MainWindowRelease) {
        // The user started the program while the logon reminder is up: the window
        // comes, and the reminder goes without ending the program.
        app_.MainWindowRelease = true;
        DismissPopup();
    }
    if (!IsVisible() || handOver) {
        if (inTray_) {
            inTray_ = false;
            tray_.RestoreFromTray(Handle());
            tray_.HideIcon();
        }
        Show(SW_RESTORE);
        BringWindowToTop(Handle());
        SetForegroundWindow(Handle());
    }
    m.result = 0;
    return true;
}

void CDlgMainDefrag::OnScanOnStartTimer() {
    KillTimer(kScanOnStartTimer);
    if (app_.Drives.CurrentDriveLetter == 0) {
        return;
    }
    app_.Options.scanOnStart = false;
    if (app_.Options.scanDriveLetter != 0) {
        app_.Drives.CurrentDriveLetter =
            static_cast<wchar_t>(towupper(app_.Options.scanDriveLetter));
    }
    // A drive that is not one of the listed fixed drives is not scanned: the
    // selection page shows the drives there are instead.
    if (!pages_.SelectDriveByLetter(app_.Drives.CurrentDriveLetter)) {
        pages_.ShowPage(pages_.SelectionPage());
        return;
    }
    pages_.PostStartScan();
}

bool CDlgMainDefrag::OnSysCommand(fw::Message& m) {
    if ((m.wParam & 0xFFF0) != SC_CLOSE) {
        return false;
    }
    if (resultsLoads_ > 0) {
        // The pages are reading a job's results: that ends first, then the close
        // comes again.
        closeAfterLoad_ = true;
        return true;
    }
    // A window still held hidden for the logon reminder is ending, like one in the
    // tray: it does not hide into the tray.
    const bool hiddenForGood = inTray_ || !app_.MainWindowRelease;
    switch (ActionForSystemClose(app_.Settings.CloseSetting, hiddenForGood, jobState_)) {
        case SystemCloseAction::HideToTray:
            HideToTray();
            return true;
        case SystemCloseAction::ConfirmStopThenClose:
            if (!ConfirmStopRunningJob()) {
                return true;
            }
            break;
        case SystemCloseAction::Close:
            break;
    }
    SendResetForCurrentDrive();
    // Default processing closes the dialog, which ends the program.
    return false;
}

bool CDlgMainDefrag::ConfirmStopRunningJob() {
    // The progress page does not poll while the question is up: a job that ends under
    // it would otherwise be recorded as stopped even when the answer is No.
    CDlgDiskAnalyzing& progress = pages_.ProgressPage();
    const bool wasPolling = progress.SuspendPolling();
    jobService_.PauseJob();
    progress.SetStopConfirmed(true);
    const int answer = MessageBoxW(Handle(), LoadPooledString(IDS_CONFIRM_STOP_ON_CLOSE).c_str(),
                                   app_.Title.c_str(), kConfirmStopFlags);
    if (answer != IDYES) {
        jobService_.ResumeJob();
        progress.SetStopConfirmed(false);
        if (wasPolling) {
            progress.ResumePolling();
        }
        return false;
    }
    jobService_.StopJob();
    return true;
}

void CDlgMainDefrag::OnOpenPopup() {
    if (OsMajorVersion() <= 4) {
        return;
    }
    PopupRequest request;
    request.owner = Handle();
    request.message = app_.MessageText;
    request.driveLetter = app_.Drives.CurrentDriveLetter;
    request.mainWindowRelease = &app_.MainWindowRelease;
    request.relaunchElevated = [&app = app_](const std::wstring& parameters) {
        return app.RelaunchElevated(parameters);
    };
    if (!popupThread_.Start(std::move(request))) {
        Post(WM_POPUP_NOT_SHOWN);
    }
}

bool CDlgMainDefrag::OnPopupNotShown(fw::Message& m) {
    // Without its notice the reminder would leave an invisible process: the window
    // comes instead.
    if (!app_.MainWindowRelease) {
        app_.MainWindowRelease = true;
        Show(SW_SHOW);
        SetForegroundWindow(Handle());
    }
    m.result = 0;
    return true;
}

void CDlgMainDefrag::OnPopupStartScan() {
    // The popup's "Start Scan Now": the window comes and the selection page scans.
    app_.MainWindowRelease = true;
    Show(SW_SHOW);
    SetForegroundWindow(Handle());
    pages_.PostStartScan();
}

bool CDlgMainDefrag::OnDestroy(fw::Message&) {
    popupThread_.Join();
    UnmarkMainWindow(Handle());
    ReleasePendingHandOvers(Handle());
    return false;
}

bool CDlgMainDefrag::OnWindowPosChanging(fw::Message& m) {
    if (!app_.MainWindowRelease) {
        reinterpret_cast<WINDOWPOS*>(m.lParam)->flags &= ~SWP_SHOWWINDOW;
    }
    return false;
}

bool CDlgMainDefrag::OnHelp(fw::Message& m) {
    OpenHelpPage();
    m.result = TRUE;
    return true;
}

void CDlgMainDefrag::OpenAbout() {
    CDlgAbout about;
    about.RunModal(Handle());
}

void CDlgMainDefrag::OpenHelpPage() {
    ShellExecuteW(GetDesktopWindow(), L"open", HelpPageAddress().c_str(), L"", L"", SW_SHOWNORMAL);
}
