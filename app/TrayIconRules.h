// The decisions of the tray icon that need no window: where the notification area
// is (the end of the minimise animation) and how long the tooltip may be.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>

// The shell's default tooltip capacity, and the one Create sets (the notify record
// of shell 5 holds 128 characters with the terminator).
inline constexpr std::size_t kDefaultTooltipLimit = 64;
inline constexpr std::size_t kTooltipLimit = 127;

// `text` cut to at most `limit` - 1 characters (a null text gives an empty one).
std::wstring TruncateTooltip(const wchar_t* text, std::size_t limit);

// A descendant of the taskbar window met while walking it, in the order of the walk.
enum class TaskbarPartKind { Other, NotifyArea, Clock };
struct TaskbarPart {
    TaskbarPartKind kind;
    RECT rect;  // screen coordinates
};

// The class names that make a descendant a notification area or a clock.
TaskbarPartKind TaskbarPartKindOf(const wchar_t* className);

// The notification area from the taskbar's rectangle and its descendants: the
// notification window's rectangle, with the clock trimmed off when the walk reaches
// it (a vertical taskbar loses the rows down to the clock's bottom, a horizontal one
// the clock's width); the walk stops at the clock.
RECT TrayRectFromTaskbarWalk(const RECT& taskbar, std::span<const TaskbarPart> descendants);

// The notification area guessed from the taskbar's edge (ABE_*) and rectangle as the
// shell reports them.
RECT TrayRectFromAppBar(UINT edge, const RECT& taskbar);

// The last resort: the bottom-right corner of the work area.
RECT TrayRectFromWorkArea(const RECT& workArea);

// Whether the user's settings animate minimising (SPI_GETANIMATION).
bool MinimizeAnimates();

// The rectangle the minimise and restore animations use as the tray end: the
// taskbar walk, then the shell's taskbar position, then the work area; none when
// even the work area is unknown.
std::optional<RECT> FindTrayRect();
