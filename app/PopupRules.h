// The decisions of the notification popup that need no window: where it sits, how a
// fade steps, which parts of it react to the mouse, and what its button asks of
// Windows.
#pragma once

#include <windows.h>

#include <string>

namespace popup {

inline constexpr int kWidth = 254;
inline constexpr int kHeight = 193;
// The popup's right edge lies this far left of the work area's right edge.
inline constexpr int kRightMargin = 27;

inline constexpr UINT kStepPeriodMs = 54;
inline constexpr UINT kAnimationMs = 1024;
inline constexpr UINT kDisplayMs = 7002;
inline constexpr BYTE kOpaque = 255;

inline constexpr UINT_PTR kShowTimer = 296;
inline constexpr UINT_PTR kHideTimer = 297;
inline constexpr UINT_PTR kDisplayTimer = 304;

enum class Animation { None = 0, Fade = 1 };
enum class Phase { None = 0, Showing = 1, Shown = 2, Hiding = 3 };

// Client-area places of the background picture (bitmap 325).
inline constexpr RECT kHotBand1 = {5, 99, 235, 115};
inline constexpr RECT kHotBand2 = {5, 125, 235, 142};
inline constexpr RECT kTextHoverArea = {8, 72, 216, 124};
inline constexpr RECT kCloseMark = {220, 6, 250, 18};
inline constexpr int kButtonX = 60;
inline constexpr int kButtonY = 134;
inline constexpr int kButtonWidth = 143;
inline constexpr int kButtonHeight = 29;
inline constexpr COLORREF kTextColour = RGB(27, 27, 45);
inline constexpr COLORREF kHotTextColour = RGB(18, 27, 225);

// Where the popup sits: its right and bottom edges are the anchor.
POINT AnchorFor(const RECT& workArea);
RECT FinalRect(POINT anchor, int width, int height);

// Title and message rectangles for a client area `clientWidth` wide.
RECT TitleRect(int clientWidth);
RECT MessageRect(int clientWidth);

// A state of the window during a fade: its rectangle and its opacity.
struct State {
    RECT rect;
    int opacity;
};
bool operator==(const State& a, const State& b);

// The number of timer ticks a fade takes: animation time / step period, at least 1.
int FadeStepCount(UINT animationMs, UINT stepPeriodMs);
// One value moved towards `target` by max(1, |current - target| / stepsLeft).
int StepTowards(int current, int target, int stepsLeft);
// One fade step of each of the five values that differ from the target.
State FadeStep(const State& current, const State& target, int stepsLeft);

// 0 when `client` lies in neither hot band, else 1 or 2.
int HotBandAt(POINT client);
bool InTextHoverArea(POINT client);
bool InCloseMark(POINT client);

// "Start Scan Now" restarts the program with administrator rights on Windows 6.x
// when the user is not an administrator.
bool ScanNeedsElevation(unsigned osMajorVersion, bool isAdmin);
// The parameters of that restart: "-scan" and the drive letter ("-scan C").
std::wstring ScanParameters(wchar_t driveLetter);

}  // namespace popup
