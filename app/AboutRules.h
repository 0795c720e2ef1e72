// The About window's fixed layout and the decisions that need no window: the
// version text, where the links and the drag band are.
#pragma once

#include <windows.h>

#include <string>

namespace about {

inline constexpr int kWidth = 537;
inline constexpr int kHeight = 309;
inline constexpr int kDragBandHeight = 48;

inline constexpr RECT kWebsiteLink = {236, 127, 386, 147};
inline constexpr RECT kEmailLink = {217, 147, 387, 167};

inline constexpr int kOkX = 416;
inline constexpr int kOkY = 247;
inline constexpr int kOkWidth = 103;
inline constexpr int kOkHeight = 26;

// What a text of the window shows.
enum class Source { String, FileVersion, WebAddress, EmailAddress };
enum class Face { Tahoma16Bold, Tahoma16, Tahoma11, Tahoma11Bold, Tahoma11BoldUnderline };
enum class Align { Left, Centre, Right };

struct Text {
    Source source;
    UINT stringId;  // for Source::String
    RECT rect;
    Face face;
    COLORREF colour;
    Align align;
};

// Every text, in drawing order.
extern const Text kTexts[10];

// DrawText flags: word breaks and vertical centring, plus the alignment.
UINT DrawFlags(Align align);

enum class Link { None, Website, Email };
Link LinkAt(POINT client);
bool InDragBand(POINT client, int clientWidth);

// The "FileVersion" text of the version resource of `path`; empty when the file has
// no readable version resource (the window then shows its placeholder).
std::wstring FileVersionOf(const wchar_t* path);

}  // namespace about
