#include "ui/widgets/HoverButton.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/Dialog.h"
#include "tests/ui/widgets/DibCanvas.h"
#include "tests/ui/widgets/TestResources.h"

namespace {

class ButtonsDialog : public fw::Dialog {
  public:
    ButtonsDialog() : fw::Dialog(IDD_TEST_BUTTONS) {}
};

// A plain button that remembers, for each paint, whether it was hovering.
class RecordingButton : public CHoverButton {
  public:
    void DrawItem(const DRAWITEMSTRUCT& item) override {
        hoveringAtDraw.push_back(IsHovering());
        CHoverButton::DrawItem(item);
    }
    std::vector<bool> hoveringAtDraw;
};

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// What one WM_DRAWITEM through the dialog painted: the colour inside the frame and
// the colour just right of it (which must stay untouched).
struct Painted {
    COLORREF inside;
    COLORREF beyond;
};

class HoverButtonTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dialog_.CreateModeless(nullptr));
        ASSERT_TRUE(plain_.Attach(dialog_.Handle(), IDC_TEST_PLAIN));
        ASSERT_TRUE(four_.Attach(dialog_.Handle(), IDC_TEST_FOUR));
    }

    void TearDown() override {
        dialog_.Destroy();
        Pump();
    }

    Painted Draw(CHoverButtonBase& button, UINT state) {
        const SIZE frame = button.FrameSize();
        DibCanvas canvas(frame.cx + 8, frame.cy + 8, kBlack);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = static_cast<UINT>(GetDlgCtrlID(button.Handle()));
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = button.Handle();
        item.hDC = canvas.Dc();
        item.rcItem = RECT{0, 0, frame.cx, frame.cy};
        SendMessageW(dialog_.Handle(), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        return Painted{canvas.Pixel(1, 1), canvas.Pixel(frame.cx, 1)};
    }

    static SIZE WindowSize(HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }

    POINT PositionInDialog(HWND hwnd) const {
        RECT r{};
        GetWindowRect(hwnd, &r);
        POINT origin{r.left, r.top};
        ScreenToClient(dialog_.Handle(), &origin);
        return origin;
    }

    // The cursor the button sets for a WM_SETCURSOR over its client area.
    static HCURSOR CursorAfterSetCursor(HWND button) {
        SetCursor(nullptr);
        SendMessageW(button, WM_SETCURSOR, reinterpret_cast<WPARAM>(button),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    }

    ButtonsDialog dialog_;
    RecordingButton plain_;
    CHoverButton4S four_;
};

struct StripCase {
    const char* name;
    bool fourFrames;
    std::vector<UINT> strips;  // loaded in this order
    SIZE expected;             // the button's size afterwards
    bool hasStrip;
    COLORREF normalFrame;  // what the normal frame paints (black: nothing)
};

const StripCase kStripCases[] = {
    {"309 wide, 3 frames", false, {IDB_TEST_STRIP3}, {103, 10}, true, kRed},
    {"608 wide, 4 frames", true, {IDB_TEST_STRIP4}, {152, 12}, true, kRed},
    {"second strip replaces the first",
     false,
     {IDB_TEST_STRIP3, IDB_TEST_STRIP3_SMALL},
     {50, 8},
     true,
     kCyan},
    {"missing strip", false, {IDB_TEST_MISSING}, {0, 0}, false, kBlack},
    {"missing after a good one", true, {IDB_TEST_STRIP4, IDB_TEST_MISSING}, {0, 0}, false, kBlack},
};

TEST_F(HoverButtonTest, LoadStripSizesTheButtonToOneFrameInPlace) {
    for (const StripCase& c : kStripCases) {
        SCOPED_TRACE(c.name);
        CHoverButtonBase& button = c.fourFrames ? static_cast<CHoverButtonBase&>(four_) : plain_;
        const POINT before = PositionInDialog(button.Handle());
        for (UINT strip : c.strips) {
            EXPECT_EQ(button.LoadStrip(strip), 1);
        }
        const SIZE size = WindowSize(button.Handle());
        EXPECT_EQ(size.cx, c.expected.cx);
        EXPECT_EQ(size.cy, c.expected.cy);
        EXPECT_EQ(button.FrameSize().cx, c.expected.cx);
        EXPECT_EQ(button.FrameSize().cy, c.expected.cy);
        EXPECT_EQ(button.HasStrip(), c.hasStrip);
        const POINT after = PositionInDialog(button.Handle());
        EXPECT_EQ(after.x, before.x);
        EXPECT_EQ(after.y, before.y);
        EXPECT_EQ(Draw(button, 0).inside, c.normalFrame);
    }
}

TEST_F(HoverButtonTest, LoadStripBringsTheButtonToTheTop) {
    ASSERT_EQ(GetWindow(dialog_.Handle(), GW_CHILD), plain_.Handle());
    four_.LoadStrip(IDB_TEST_STRIP4);
    EXPECT_EQ(GetWindow(dialog_.Handle(), GW_CHILD), four_.Handle());
}

struct DrawItemCase {
    const char* name;
    bool fourFrames;
    bool windowEnabled;
    UINT itemState;
    bool hovering;
    COLORREF expected;
};

// Strip colours by frame: 0 red, 1 green, 2 blue, 3 yellow.
const DrawItemCase kDrawItemCases[] = {
    {"3: normal", false, true, 0, false, kRed},
    {"3: pressed", false, true, ODS_SELECTED, false, kGreen},
    {"3: hovered", false, true, 0, true, kBlue},
    {"3: pressed while hovered", false, true, ODS_SELECTED, true, kGreen},
    {"3: disabled window shows normal", false, false, 0, false, kRed},
    {"3: disabled state shows normal", false, true, ODS_DISABLED, false, kRed},
    {"3: disabled and hovered", false, false, 0, true, kBlue},
    {"4: normal", true, true, 0, false, kRed},
    {"4: pressed", true, true, ODS_SELECTED, false, kGreen},
    {"4: hovered", true, true, 0, true, kBlue},
    {"4: disabled window", true, false, 0, false, kYellow},
    {"4: disabled state", true, true, ODS_DISABLED, false, kYellow},
    {"4: disabled and pressed", true, false, ODS_SELECTED, false, kYellow},
    {"4: disabled and hovered", true, false, 0, true, kYellow},
};

TEST_F(HoverButtonTest, WmDrawItemThroughTheParentPaintsOneFrame) {
    plain_.LoadStrip(IDB_TEST_STRIP3);
    four_.LoadStrip(IDB_TEST_STRIP4);
    for (const DrawItemCase& c : kDrawItemCases) {
        SCOPED_TRACE(c.name);
        CHoverButtonBase& button = c.fourFrames ? static_cast<CHoverButtonBase&>(four_) : plain_;
        EnableWindow(button.Handle(), c.windowEnabled);
        SendMessageW(button.Handle(), c.hovering ? WM_MOUSEHOVER : WM_MOUSELEAVE, 0, 0);
        ASSERT_EQ(button.IsHovering(), c.hovering);
        const Painted painted = Draw(button, c.itemState);
        EXPECT_EQ(painted.inside, c.expected);
        EXPECT_EQ(painted.beyond, kBlack) << "more than one frame was copied";
        EnableWindow(button.Handle(), TRUE);
    }
}

TEST_F(HoverButtonTest, HoverFrameIsPaintedOncePerVisit) {
    plain_.LoadStrip(IDB_TEST_STRIP3);
    SendMessageW(plain_.Handle(), WM_MOUSEHOVER, 0, 0);
    EXPECT_EQ(Draw(plain_, ODS_SELECTED).inside, kGreen);
    EXPECT_TRUE(plain_.IsHovering()) << "a pressed paint does not use up the hover look";
    EXPECT_EQ(Draw(plain_, 0).inside, kBlue);
    EXPECT_FALSE(plain_.IsHovering());
    EXPECT_EQ(Draw(plain_, 0).inside, kRed);
}

TEST_F(HoverButtonTest, HandCursorFromTheFirstMoveUntilTheMouseLeaves) {
    const HCURSOR hand = CHoverButtonBase::HandCursor();
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    ASSERT_NE(hand, nullptr) << "cursor resource missing from the test module";
    const HWND button = plain_.Handle();

    EXPECT_EQ(plain_.CurrentCursor(), nullptr);
    EXPECT_EQ(CursorAfterSetCursor(button), arrow);

    SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(plain_.IsTracking());
    EXPECT_FALSE(plain_.IsHovering()) << "the hover look waits for the hover notice";
    EXPECT_EQ(plain_.CurrentCursor(), hand);
    EXPECT_EQ(CursorAfterSetCursor(button), hand);

    SendMessageW(button, WM_MOUSEHOVER, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(plain_.IsHovering());
    EXPECT_EQ(CursorAfterSetCursor(button), hand);

    SendMessageW(button, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(plain_.IsTracking());
    EXPECT_FALSE(plain_.IsHovering());
    EXPECT_EQ(plain_.CurrentCursor(), nullptr);
    EXPECT_EQ(CursorAfterSetCursor(button), arrow);
}

TEST_F(HoverButtonTest, EraseBackgroundLeavesTheFaceAlone) {
    plain_.LoadStrip(IDB_TEST_STRIP3);
    DibCanvas canvas(16, 16, kBlack);
    EXPECT_EQ(
        SendMessageW(plain_.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0), 0);
    EXPECT_EQ(canvas.Pixel(1, 1), kBlack);
}

// The real mouse: moving onto the shown button arms tracking and paints the hover
// frame once; moving off disarms it and gives the arrow back.
TEST_F(HoverButtonTest, RealMouseHoversAndLeaves) {
    plain_.LoadStrip(IDB_TEST_STRIP3);
    SetWindowPos(dialog_.Handle(), HWND_TOPMOST, 100, 100, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetCursorPos(0, 0);
    Pump();
    plain_.hoveringAtDraw.clear();

    RECT r{};
    GetWindowRect(plain_.Handle(), &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    auto paintedHover = [&] {
        for (bool hovering : plain_.hoveringAtDraw) {
            if (hovering) {
                return true;
            }
        }
        return false;
    };
    for (DWORD start = GetTickCount(); !paintedHover() && GetTickCount() - start < 3000;) {
        Pump();
        Sleep(10);
    }
    EXPECT_TRUE(paintedHover());
    EXPECT_TRUE(plain_.IsTracking());
    EXPECT_EQ(plain_.CurrentCursor(), CHoverButtonBase::HandCursor());

    SetCursorPos(r.right + 200, r.bottom + 200);
    for (DWORD start = GetTickCount(); plain_.IsTracking() && GetTickCount() - start < 3000;) {
        Pump();
        Sleep(10);
    }
    EXPECT_FALSE(plain_.IsTracking());
    EXPECT_EQ(plain_.CurrentCursor(), nullptr);
}

}  // namespace
