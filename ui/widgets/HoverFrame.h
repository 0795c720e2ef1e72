// Frame arithmetic of the bitmap push buttons: which frame of the strip a button
// shows and how wide one frame is. Kept apart from the window so that it is tested
// without one.
#pragma once

namespace hover {

// Frames of a strip, left to right.
inline constexpr int kNormalFrame = 0;
inline constexpr int kPressedFrame = 1;
inline constexpr int kHoverFrame = 2;
inline constexpr int kDisabledFrame = 3;

// Strips of plain buttons have three frames; strips with a disabled look four.
inline constexpr int kPlainFrameCount = 3;
inline constexpr int kWithDisabledFrameCount = 4;

}  // namespace hover

// The frame a button shows for its owner-draw state. Only a strip with a disabled
// frame (four frames) looks at `disabled`; then it wins over pressed and hovered.
// A pressed button shows the pressed frame even while hovered.
int ChooseHoverFrame(int frameCount, bool disabled, bool selected, bool hovering);

// One frame's width for a strip of `stripWidth` pixels (integer division). A strip
// that is empty, negative or has no frames gives 0.
int HoverFrameWidth(int stripWidth, int frameCount);
