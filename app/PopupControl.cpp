#include "app/PopupControl.h"

#include "app/AdminCheck.h"
#include "app/OsVersion.h"
#include "res/resource.h"
#include "ui/widgets/SkinPainter.h"
#include "ui/format/ResourceString.h"
#include "ui/widgets/XTMemDC.h"

namespace {

// The popup window now open; written by the popup's thread, read by any.
std::atomic<HWND> g_currentWindow{nullptr};
// Only the first popup that ends on its own closes the program.
std::atomic<bool> g_closeUsed{false};

// How long the constructor waits for an earlier popup's thread to take its close.
constexpr UINT kCloseEarlierTimeoutMs = 1000;

constexpr DWORD kPopupExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
constexpr UINT kApplyFlags =
    SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;

fw::Font MakeTextFont(bool underlined) {
    LOGFONTW description = {};
    description.lfHeight = -11;
    description.lfWeight = FW_BOLD;
    description.lfUnderline = underlined ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfQuality = PROOF_QUALITY;
    lstrcpynW(description.lfFaceName, L"arial", LF_FACESIZE);
    return fw::Font(CreateFontIndirectW(&description));
}

}  // namespace

LayeredAlphaFunction LookUpLayeredAlpha() {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    if (user == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<LayeredAlphaFunction>(
        reinterpret_cast<void*>(GetProcAddress(user, "SetLayeredWindowAttributes")));
}

void ResetPopupCloseGuardForTests() {
    g_closeUsed = false;
}

const fw::MessageTable CDLGPopupControl::kTable{
    &fw::Window::kTable,
    {
        fw::OnPaint(&CDLGPopupControl::OnPaint),
        fw::OnEraseBackground(&CDLGPopupControl::OnEraseBackground),
        fw::OnTimer(popup::kShowTimer, &CDLGPopupControl::OnFadeTimer),
        fw::OnTimer(popup::kHideTimer, &CDLGPopupControl::OnFadeTimer),
        fw::OnTimer(popup::kDisplayTimer, &CDLGPopupControl::OnDisplayTimer),
        fw::OnMouse(WM_MOUSEMOVE, &CDLGPopupControl::OnMouseMove),
        fw::OnMouse(WM_MOUSEHOVER, &CDLGPopupControl::OnMouseHover),
        fw::OnMouse(WM_MOUSELEAVE, &CDLGPopupControl::OnMouseLeave),
        fw::OnMouse(WM_LBUTTONDOWN, &CDLGPopupControl::OnLButtonDown),
        fw::OnMessage(WM_MOUSEACTIVATE, &CDLGPopupControl::OnMouseActivate),
        fw::OnCommand(IDC_POPUP_START_SCAN, &CDLGPopupControl::OnStartScanNow),
        fw::OnMessage(WM_DESTROY, &CDLGPopupControl::OnDestroy),
    }};

const fw::MessageTable& CDLGPopupControl::Messages() const {
    return kTable;
}

HWND CDLGPopupControl::CurrentWindow() {
    HWND window = g_currentWindow.load();
    return IsWindow(window) ? window : nullptr;
}

CDLGPopupControl::CDLGPopupControl(PopupRequest request, LayeredAlphaFunction layeredAlpha)
    : request_(std::move(request)), layeredAlpha_(layeredAlpha) {
    // A later popup replaces an earlier one; closed this way, the earlier one does
    // not end the program.
    if (HWND earlier = g_currentWindow.exchange(nullptr); IsWindow(earlier)) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(earlier, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kCloseEarlierTimeoutMs,
                            &ignored);
    }
    RECT workArea = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    anchor_ = popup::AnchorFor(workArea);
    stepPeriodMs_ = popup::kStepPeriodMs;
}

CDLGPopupControl::~CDLGPopupControl() {
    // The handlers must see the window's end (the current-window record).
    Destroy();
}

void CDLGPopupControl::Configure(const PopupOptions& options) {
    animation_ = options.animation;
    displayMs_ = options.displayMs;
    animationMs_ = options.animationMs;
    opacity_ = options.opacity;
    width_ = options.width;
    height_ = options.height;
}

bool CDLGPopupControl::Create(HWND owner) {
    if (Handle() != nullptr) {
        return true;
    }
    owner_ = owner;
    layered_ = layeredAlpha_ != nullptr &&
               (opacity_ < popup::kOpaque || animation_ == popup::Animation::Fade);
    const DWORD exStyle = kPopupExStyle | (layered_ ? WS_EX_LAYERED : 0);
    if (!CreateEx(exStyle, L"", WS_POPUP, 0, 0, 0, 0, owner)) {
        return false;
    }
    g_currentWindow = Handle();

    title_ = LoadResourceString(IDS_POPUP_TITLE);
    background_.Reset(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_POPUP_BACKGROUND), IMAGE_BITMAP, 0, 0, 0)));
    font_ = MakeTextFont(false);
    underlinedFont_ = MakeTextFont(true);

    HWND button = CreateWindowExW(
        0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 0, 0, Handle(),
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_POPUP_START_SCAN)),
        GetModuleHandleW(nullptr), nullptr);
    if (button != nullptr && button_.Attach(button)) {
        button_.LoadStrip(IDB_BUTTON_POPUP_SCAN);
        button_.SetCaption(IDS_START_SCAN_NOW);
        MoveWindow(button, popup::kButtonX, popup::kButtonY, popup::kButtonWidth,
                   popup::kButtonHeight, FALSE);
    }
    return true;
}

void CDLGPopupControl::Show() {
    phase_ = popup::Phase::Showing;
    target_ = {popup::FinalRect(anchor_, width_, height_), opacity_};
    current_ = {target_.rect, 0};
    if (animation_ == popup::Animation::None || animationMs_ == 0) {
        current_ = target_;
        ApplyState(true);
        OnShown();
        return;
    }
    stepsLeft_ = popup::FadeStepCount(animationMs_, stepPeriodMs_);
    SetTimer(popup::kShowTimer, stepPeriodMs_);
    ApplyState(true);
}

void CDLGPopupControl::OnShown() {
    phase_ = popup::Phase::Shown;
    target_ = {popup::FinalRect(anchor_, width_, height_), opacity_};
    current_ = target_;
    if (displayMs_ != 0) {
        SetTimer(popup::kDisplayTimer, displayMs_);
    }
}

void CDLGPopupControl::Hide() {
    phase_ = popup::Phase::Hiding;
    if (animation_ == popup::Animation::None || animationMs_ == 0) {
        Close();
        return;
    }
    target_.opacity = 0;
    stepsLeft_ = popup::FadeStepCount(animationMs_, stepPeriodMs_);
    SetTimer(popup::kHideTimer, stepPeriodMs_);
    ApplyState(true);
}

void CDLGPopupControl::Close() {
    if (Handle() == nullptr || g_closeUsed.exchange(true)) {
        return;
    }
    mouseInside_ = false;
    Destroy();
    phase_ = popup::Phase::None;
    PostMessageW(owner_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void CDLGPopupControl::ApplyState(bool forceOpacity) {
    const RECT& r = current_.rect;
    SetWindowPos(Handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, kApplyFlags);
    Invalidate(nullptr, false);
    if (!mouseInside_ && (current_.opacity != target_.opacity || forceOpacity)) {
        SetOpacity(current_.opacity);
    }
    UpdateWindow(Handle());
}

void CDLGPopupControl::SetOpacity(int opacity) {
    if (layered_) {
        layeredAlpha_(Handle(), 0, static_cast<BYTE>(opacity), LWA_ALPHA);
    }
}

void CDLGPopupControl::OnFadeTimer(UINT_PTR id) {
    if (stepsLeft_ <= 0) {
        KillTimer(id);
        return;
    }
    current_ = popup::FadeStep(current_, target_, stepsLeft_);
    ApplyState(false);
    if (--stepsLeft_ > 0) {
        return;
    }
    KillTimer(id);
    if (id == popup::kShowTimer) {
        OnShown();
    } else {
        Close();
    }
}

void CDLGPopupControl::OnDisplayTimer() {
    // While the mouse is over the popup it stays; the timer comes again.
    if (mouseInside_) {
        return;
    }
    KillTimer(popup::kDisplayTimer);
    Hide();
}

void CDLGPopupControl::OnMouseMove(POINT point) {
    if (const int band = popup::HotBandAt(point); band != 0) {
        bool& hot = band == 1 ? band1Hot_ : band2Hot_;
        if (!hot) {
            hot = true;
            Invalidate(nullptr, false);
        }
    } else if (textHot_ || band1Hot_ || band2Hot_) {
        Invalidate(nullptr, false);
        textHot_ = band1Hot_ = band2Hot_ = false;
    }

    const RECT client = ClientRect();
    const bool inside = PtInRect(&client, point) != FALSE;
    if (inside && !mouseInside_) {
        mouseInside_ = true;
        SetOpacity(popup::kOpaque);
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = Handle();
        track.dwHoverTime = 0;
        TrackMouseEvent(&track);
    } else if (!inside && mouseInside_) {
        mouseInside_ = false;
        SetOpacity(opacity_);
    }

    // The mouse brings a fading popup back, and its display time starts again.
    if (phase_ == popup::Phase::Hiding) {
        KillTimer(popup::kHideTimer);
        if (animation_ == popup::Animation::Fade) {
            OnShown();
        }
    }
}

void CDLGPopupControl::OnMouseHover(POINT point) {
    if (popup::InTextHoverArea(point)) {
        textHot_ = true;
        Invalidate(nullptr, false);
    }
}

void CDLGPopupControl::OnMouseLeave() {
    textHot_ = band1Hot_ = band2Hot_ = false;
    Invalidate(nullptr, false);
    OnMouseMove(POINT{-1, -1});
}

void CDLGPopupControl::OnLButtonDown(POINT point) {
    if (popup::InCloseMark(point)) {
        Close();
    }
}

bool CDLGPopupControl::OnMouseActivate(fw::Message& m) {
    m.result = MA_NOACTIVATE;
    return true;
}

void CDLGPopupControl::OnStartScanNow() {
    if (Handle() == nullptr) {
        return;
    }
    if (request_.mainWindowRelease != nullptr) {
        *request_.mainWindowRelease = true;
    }
    if (popup::ScanNeedsElevation(OsMajorVersion(), IsUserAdmin())) {
        if (request_.relaunchElevated &&
            request_.relaunchElevated(popup::ScanParameters(request_.driveLetter))) {
            ExitProcess(0);
        }
        // Declined: nothing was started, so the program ends as if the popup had
        // faded; the main window must not stay behind hidden.
        if (request_.mainWindowRelease != nullptr) {
            *request_.mainWindowRelease = false;
        }
        PostMessageW(owner_, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        // The main window shows itself and presses "Start scan" on its own thread.
        PostMessageW(owner_, WM_COMMAND, IDC_POPUP_START_SCAN, 0);
    }
    // Closed this way the popup does not end the program.
    Send(WM_CLOSE);
}

bool CDLGPopupControl::OnDestroy(fw::Message&) {
    HWND self = Handle();
    g_currentWindow.compare_exchange_strong(self, nullptr);
    // Wakes the popup thread's pump, which ends with the window.
    PostMessageW(nullptr, WM_NULL, 0, 0);
    return false;
}

bool CDLGPopupControl::OnEraseBackground(HDC) {
    return true;
}

void CDLGPopupControl::OnPaint(HDC target) {
    const RECT client = ClientRect();
    CXTMemDC memory(target, client);
    const HDC dc = memory.Get();
    SetBkMode(dc, TRANSPARENT);
    SkinPainter(dc).Draw(background_.Get(), 0, 0, popup::kWidth, popup::kHeight);

    fw::SelectGuard font(dc, textHot_ ? underlinedFont_ : font_);
    SetTextColor(dc, textHot_ ? popup::kHotTextColour : popup::kTextColour);
    RECT title = popup::TitleRect(client.right);
    DrawTextW(dc, title_.c_str(), static_cast<int>(title_.size()), &title,
              DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    RECT message = popup::MessageRect(client.right);
    DrawTextW(dc, request_.message.c_str(), static_cast<int>(request_.message.size()), &message,
              DT_CENTER | DT_WORDBREAK);
}
