#include "app/TrayIconRules.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

namespace {

// A clock whose bottom is more than this above the rectangle's bottom sits in a
// vertical taskbar.
constexpr int kVerticalClockMargin = 5;

// The icon area guessed next to the end of a taskbar whose windows cannot be seen.
constexpr int kGuessFar = 100;
constexpr int kGuessNear = 16;

constexpr int kWorkAreaTrayWidth = 150;
constexpr int kWorkAreaTrayHeight = 30;

}  // namespace

std::wstring TruncateTooltip(const wchar_t* text, std::size_t limit) {
    if (text == nullptr || limit == 0) {
        return {};
    }
    std::wstring result(text);
    if (result.size() > limit - 1) {
        result.resize(limit - 1);
    }
    return result;
}

TaskbarPartKind TaskbarPartKindOf(const wchar_t* className) {
    if (lstrcmpiW(className, L"TrayNotifyWnd") == 0) {
        return TaskbarPartKind::NotifyArea;
    }
    if (lstrcmpiW(className, L"TrayClockWClass") == 0) {
        return TaskbarPartKind::Clock;
    }
    return TaskbarPartKind::Other;
}

RECT TrayRectFromTaskbarWalk(const RECT& taskbar, std::span<const TaskbarPart> descendants) {
    RECT tray = taskbar;
    for (const TaskbarPart& part : descendants) {
        if (part.kind == TaskbarPartKind::NotifyArea) {
            tray = part.rect;
        } else if (part.kind == TaskbarPartKind::Clock) {
            if (part.rect.bottom < tray.bottom - kVerticalClockMargin) {
                tray.top = part.rect.bottom;
            } else {
                tray.right = part.rect.left;
            }
            break;
        }
    }
    return tray;
}

RECT TrayRectFromAppBar(UINT edge, const RECT& taskbar) {
    if (edge == ABE_TOP || edge == ABE_BOTTOM) {
        return {taskbar.right - kGuessFar, taskbar.top, taskbar.right - kGuessNear, taskbar.bottom};
    }
    return {taskbar.left, taskbar.bottom - kGuessFar, taskbar.right, taskbar.bottom - kGuessNear};
}

RECT TrayRectFromWorkArea(const RECT& workArea) {
    return {workArea.right - kWorkAreaTrayWidth, workArea.bottom - kWorkAreaTrayHeight,
            workArea.right, workArea.bottom};
}

bool MinimizeAnimates() {
    ANIMATIONINFO info = {};
    info.cbSize = sizeof(info);
    return SystemParametersInfoW(SPI_GETANIMATION, sizeof(info), &info, 0) != FALSE &&
           info.iMinAnimate != 0;
}

std::optional<RECT> FindTrayRect() {
    if (HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr)) {
        RECT taskbarRect = {};
        GetWindowRect(taskbar, &taskbarRect);
        std::vector<TaskbarPart> parts;
        EnumChildWindows(
            taskbar,
            +[](HWND child, LPARAM data) WINAPI -> BOOL {
                auto* found = reinterpret_cast<std::vector<TaskbarPart>*>(data);
                wchar_t className[64] = {};
                GetClassNameW(child, className, 64);
                TaskbarPart part = {TaskbarPartKindOf(className), {}};
                GetWindowRect(child, &part.rect);
                found->push_back(part);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&parts));
        return TrayRectFromTaskbarWalk(taskbarRect, parts);
    }
    APPBARDATA appBar = {};
    appBar.cbSize = sizeof(appBar);
    if (SHAppBarMessage(ABM_GETTASKBARPOS, &appBar) != 0) {
        return TrayRectFromAppBar(appBar.uEdge, appBar.rc);
    }
    RECT workArea = {};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0) != FALSE) {
        return TrayRectFromWorkArea(workArea);
    }
    return std::nullopt;
}
