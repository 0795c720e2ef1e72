// The reminder notice of reminder mode: a small top-most window that fades in at the
// bottom right of the work area, shows the reminder text and a "Start Scan Now"
// button, stays for its display time (longer while the mouse is over it), fades out
// and then ends the program through its owner, the main window. Its button instead
// has the main window start a scan, restarting the program with administrator
// rights first where Windows 6.x needs them.
//
// The popup lives on a thread of its own (app/PopupThread.h); the object belongs to
// that thread and is never touched from another one. Other threads reach the popup
// only through its window (CurrentWindow, WM_CLOSE).
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "app/PopupRules.h"
#include "framework/Gdi.h"
#include "framework/Window.h"
#include "ui/widgets/HoverButton.h"

// What the program hands the popup when it opens it.
struct PopupRequest {
    // The main window: it gets the system close when the popup ends on its own, and
    // command IDC_POPUP_START_SCAN when the user asks for a scan.
    HWND owner = nullptr;
    std::wstring message;
    // The first drive of the reminder; the elevated restart scans it.
    wchar_t driveLetter = 0;
    // The application's main-window-release flag; the button sets it.
    std::atomic<bool>* mainWindowRelease = nullptr;
    // Starts the program again with administrator rights and `parameters`; false
    // when the user declined or the start failed.
    std::function<bool(const std::wstring& parameters)> relaunchElevated;
};

// What the popup thread sets before the popup is shown; the defaults are the program's.
struct PopupOptions {
    popup::Animation animation = popup::Animation::Fade;
    UINT displayMs = popup::kDisplayMs;
    UINT animationMs = popup::kAnimationMs;
    BYTE opacity = popup::kOpaque;
    int width = popup::kWidth;
    int height = popup::kHeight;
};

// SetLayeredWindowAttributes, which systems before Windows 2000 lack.
using LayeredAlphaFunction = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
// The function looked up by name in USER32; null where it does not exist.
LayeredAlphaFunction LookUpLayeredAlpha();

class CDLGPopupControl : public fw::Window {
  public:
    // Closes any popup window still open, reads the work area and sets the anchor
    // and the step period. `layeredAlpha` null: the popup is never translucent.
    explicit CDLGPopupControl(PopupRequest request,
                              LayeredAlphaFunction layeredAlpha = LookUpLayeredAlpha());
    ~CDLGPopupControl() override;

    void Configure(const PopupOptions& options);

    // Makes the hidden window (0 x 0) and its button; true at once when it exists.
    bool Create(HWND owner);
    // The phases: fade in (or appear), stay, fade out (or vanish), end.
    void Show();
    void OnShown();
    void Hide();
    // Destroys the window and asks the owner to close; only the first call in the
    // process does so, and only while the window exists.
    void Close();

    popup::Phase Phase() const { return phase_; }
    bool IsLayered() const { return layered_; }
    const popup::State& CurrentState() const { return current_; }

    // The window of the popup now open, from any thread; null when there is none.
    static HWND CurrentWindow();

  protected:
    const fw::MessageTable& Messages() const override;

  private:
    static const fw::MessageTable kTable;

    void ApplyState(bool forceOpacity);
    void SetOpacity(int opacity);
    void OnPaint(HDC dc);
    bool OnEraseBackground(HDC dc);
    void OnFadeTimer(UINT_PTR id);
    void OnDisplayTimer();
    void OnMouseMove(POINT point);
    void OnMouseHover(POINT point);
    void OnMouseLeave();
    void OnLButtonDown(POINT point);
    bool OnMouseActivate(fw::Message& m);
    void OnStartScanNow();
    bool OnDestroy(fw::Message& m);

    PopupRequest request_;
    LayeredAlphaFunction layeredAlpha_;
    CHoverButton button_;
    bool textHot_ = false;
    bool band1Hot_ = false;
    bool band2Hot_ = false;
    HWND owner_ = nullptr;
    popup::Animation animation_ = popup::Animation::Fade;
    popup::Phase phase_ = popup::Phase::None;
    int width_ = popup::kWidth;
    int height_ = popup::kHeight;
    POINT anchor_ = {};
    BYTE opacity_ = popup::kOpaque;
    UINT displayMs_ = popup::kDisplayMs;
    UINT animationMs_ = popup::kAnimationMs;
    UINT stepPeriodMs_ = popup::kStepPeriodMs;
    int stepsLeft_ = 0;
    popup::State target_ = {};
    popup::State current_ = {};
    bool mouseInside_ = false;
    bool layered_ = false;
    std::wstring title_;
    // Owned by the popup's thread: the background picture and the two text fonts.
    fw::Bitmap background_;
    fw::Font font_;
    fw::Font underlinedFont_;
};

// The close guard is process-wide: the first popup that ends closes the program. A
// test that shows several popups in one process opens the guard again between them.
void ResetPopupCloseGuardForTests();
