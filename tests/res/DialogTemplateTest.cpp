// Each dialog template creates a window of the kind its window class expects,
// with exactly the controls its page works with.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

enum class Kind {
    Text,            // a left-aligned static
    HiddenText,      // a static that is never shown
    HoverButton,     // an owner-drawn push button
    DrawnDisabled,   // an owner-drawn button that takes no clicks (map, legend)
    HiddenButton,    // a plain button, hidden and disabled
    SortedDropList,  // a sorted drop-down list
    ProgressBar,
};

struct Control {
    int id;
    Kind kind;
};

struct Template {
    int id;
    const char* name;
    std::vector<Control> controls;
};

const std::vector<Template>& Templates() {
    using enum Kind;
    static const std::vector<Template> all = {
        {IDD_MAIN,
         "main",
         {{IDC_MAIN_UPDATE, HoverButton},
          {IDC_MAIN_CLOSE, HoverButton},
          {IDC_MAIN_MINIMIZE, HoverButton}}},
        {IDD_CONTAINER, "container", {}},
        {IDD_SELECT_DISK,
         "drive selection",
         {{IDC_SELECT_DRIVES, SortedDropList},
          {IDC_SELECT_TITLE, Text},
          {IDC_SELECT_DESCRIPTION, Text},
          {IDC_SELECT_CAPTION, Text},
          {IDC_SELECT_HINT, Text},
          {IDC_SELECT_START_SCAN, HoverButton},
          {IDC_SELECT_OPTIMIZE_NOW, HoverButton},
          {IDC_SELECT_SPARE, HiddenButton}}},
        {IDD_PROGRESS,
         "progress",
         {{IDC_PROGRESS_TITLE, Text},
          {IDC_PROGRESS_DESCRIPTION, Text},
          {IDC_PROGRESS_FOCUS, HiddenText},
          {IDC_PROGRESS_MAP, DrawnDisabled},
          {IDC_PROGRESS_LEGEND_FRAGMENTED, DrawnDisabled},
          {IDC_PROGRESS_LEGEND_OPTIMIZED, DrawnDisabled},
          {IDC_PROGRESS_LEGEND_USED, DrawnDisabled},
          {IDC_PROGRESS_LEGEND_MFT, DrawnDisabled},
          {IDC_PROGRESS_LEGEND_FREE, DrawnDisabled},
          {IDC_PROGRESS_LEGEND_PROCESSING, DrawnDisabled},
          {IDC_PROGRESS_LABEL_FRAGMENTED, Text},
          {IDC_PROGRESS_LABEL_OPTIMIZED, Text},
          {IDC_PROGRESS_LABEL_USED, Text},
          {IDC_PROGRESS_LABEL_MFT, Text},
          {IDC_PROGRESS_LABEL_FREE, Text},
          {IDC_PROGRESS_LABEL_PROCESSING, Text},
          {IDC_PROGRESS_NOW_LABEL, Text},
          {IDC_PROGRESS_PATH, Text},
          {IDC_PROGRESS_BAR, ProgressBar},
          {IDC_PROGRESS_STOP, HoverButton},
          {IDC_PROGRESS_STOP_DEFRAG, HoverButton},
          {IDC_PROGRESS_SEE_RESULTS, HoverButton},
          {IDC_PROGRESS_VIEW_REPORT, HoverButton}}},
        {IDD_SCAN_RESULTS,
         "scan results",
         {{IDC_SCAN_TITLE, Text},
          {IDC_SCAN_DESCRIPTION, Text},
          {IDC_SCAN_DETECTED, Text},
          {IDC_SCAN_DEFRAG, HoverButton},
          {IDC_SCAN_CANCEL, HoverButton}}},
        {IDD_DEFRAG_RESULTS,
         "optimization results",
         {{IDC_DEFRAG_TITLE, Text},
          {IDC_DEFRAG_DESCRIPTION, Text},
          {IDC_DEFRAG_BACK, HoverButton}}},
        {IDD_SPLASH, "splash", {}},
        {IDD_ABOUT, "about", {{IDC_ABOUT_OK, HoverButton}}},
    };
    return all;
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

bool HasKind(HWND control, Kind kind) {
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const std::wstring cls = ClassOf(control);
    const bool visible = (style & WS_VISIBLE) != 0;
    const bool disabled = (style & WS_DISABLED) != 0;
    switch (kind) {
        case Kind::Text:
        case Kind::HiddenText:
            return _wcsicmp(cls.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) == SS_LEFT &&
                   visible == (kind == Kind::Text);
        case Kind::HoverButton:
            return _wcsicmp(cls.c_str(), L"Button") == 0 && (style & BS_TYPEMASK) == BS_OWNERDRAW;
        case Kind::DrawnDisabled:
            return _wcsicmp(cls.c_str(), L"Button") == 0 && (style & BS_TYPEMASK) == BS_OWNERDRAW &&
                   disabled;
        case Kind::HiddenButton:
            return _wcsicmp(cls.c_str(), L"Button") == 0 && !visible && disabled;
        case Kind::SortedDropList:
            return _wcsicmp(cls.c_str(), L"ComboBox") == 0 && (style & 3) == CBS_DROPDOWNLIST &&
                   (style & CBS_SORT) != 0;
        case Kind::ProgressBar:
            return _wcsicmp(cls.c_str(), PROGRESS_CLASSW) == 0;
    }
    return false;
}

class DialogTemplates : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }
    void SetUp() override {
        // The pages are children; they need a parent window to be created in.
        host_ = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 900, 700, nullptr, nullptr,
                                nullptr, nullptr);
        ASSERT_NE(nullptr, host_);
    }
    void TearDown() override { DestroyWindow(host_); }

    HWND Create(int id) {
        return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), host_,
                                  QuietDialogProc, 0);
    }

    HWND host_ = nullptr;
};

TEST_F(DialogTemplates, HoldExactlyTheControlsOfTheirPage) {
    for (const Template& expected : Templates()) {
        SCOPED_TRACE(expected.name);
        HWND dialog = Create(expected.id);
        ASSERT_NE(nullptr, dialog);
        std::map<int, int> seen;  // id -> how many controls carry it
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            ++seen[GetDlgCtrlID(child)];
        }
        EXPECT_EQ(expected.controls.size(), seen.size());
        for (const Control& control : expected.controls) {
            SCOPED_TRACE(control.id);
            EXPECT_EQ(1, seen[control.id]);
            HWND item = GetDlgItem(dialog, control.id);
            ASSERT_NE(nullptr, item);
            EXPECT_TRUE(HasKind(item, control.kind));
        }
        DestroyWindow(dialog);
    }
}

TEST_F(DialogTemplates, MainWindowIsACaptionlessPopupFoundByClassAndTitle) {
    HWND main = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                                   QuietDialogProc, 0);
    ASSERT_NE(nullptr, main);
    const LONG style = GetWindowLongW(main, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_EQ(0, style & (WS_CAPTION | WS_THICKFRAME | WS_CHILD));
    EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    // A second start of the program looks for exactly this pair.
    SetWindowTextW(main, L"Vantrel");
    EXPECT_EQ(main, FindWindowW(L"#32770", L"Vantrel"));
    DestroyWindow(main);
}

TEST_F(DialogTemplates, WindowsHaveTheFrameTheirRoleNeeds) {
    struct Frame {
        int id;
        DWORD required;
        DWORD exRequired;
    };
    const Frame frames[] = {
        {IDD_CONTAINER, WS_CHILD, 0},      {IDD_SELECT_DISK, WS_CHILD, 0},
        {IDD_PROGRESS, WS_CHILD, 0},       {IDD_SCAN_RESULTS, WS_CHILD, 0},
        {IDD_DEFRAG_RESULTS, WS_CHILD, 0}, {IDD_SPLASH, WS_POPUP, WS_EX_TOPMOST},
        {IDD_ABOUT, WS_POPUP, 0},
    };
    for (const Frame& frame : frames) {
        SCOPED_TRACE(frame.id);
        HWND dialog = Create(frame.id);
        ASSERT_NE(nullptr, dialog);
        const DWORD style = static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE));
        EXPECT_EQ(frame.required, style & frame.required);
        EXPECT_EQ(frame.exRequired, exStyle & frame.exRequired);
        // Skinned windows draw their own edges: no border, no caption, and
        // the pages are not shown before the container switches to them.
        EXPECT_EQ(0u, style & (WS_CAPTION | WS_THICKFRAME | WS_VISIBLE));
        EXPECT_EQ(0u, exStyle & (WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME));
        DestroyWindow(dialog);
    }
}

}  // namespace
