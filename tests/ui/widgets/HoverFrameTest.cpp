#include "ui/widgets/HoverFrame.h"

#include <gtest/gtest.h>

namespace {

struct FrameCase {
    int frameCount;
    bool disabled;
    bool selected;
    bool hovering;
    int expected;
};

// Every state of both strip kinds. Three-frame strips ignore `disabled`; on a
// four-frame strip it wins over pressed and hovered; pressed wins over hovered.
constexpr FrameCase kFrameCases[] = {
    {3, false, false, false, 0}, {3, false, false, true, 2}, {3, false, true, false, 1},
    {3, false, true, true, 1},   {3, true, false, false, 0}, {3, true, false, true, 2},
    {3, true, true, false, 1},   {3, true, true, true, 1},

    {4, false, false, false, 0}, {4, false, false, true, 2}, {4, false, true, false, 1},
    {4, false, true, true, 1},   {4, true, false, false, 3}, {4, true, false, true, 3},
    {4, true, true, false, 3},   {4, true, true, true, 3},
};

TEST(ChooseHoverFrame, PicksTheFrameForEveryState) {
    for (const FrameCase& c : kFrameCases) {
        EXPECT_EQ(ChooseHoverFrame(c.frameCount, c.disabled, c.selected, c.hovering), c.expected)
            << "frames " << c.frameCount << " disabled " << c.disabled << " selected " << c.selected
            << " hovering " << c.hovering;
    }
}

struct WidthCase {
    int stripWidth;
    int frameCount;
    int expected;
};

constexpr WidthCase kWidthCases[] = {
    {309, 3, 103},  // the usual three-frame strip
    {608, 4, 152},  // the usual four-frame strip
    {310, 3, 103},  // a stray column is dropped, not spread over the frames
    {2, 3, 0},      // narrower than its frames
    {0, 3, 0},     {-9, 3, 0}, {300, 0, 0}, {300, -3, 0},
};

TEST(HoverFrameWidth, DividesTheStripAndRejectsNonsense) {
    for (const WidthCase& c : kWidthCases) {
        EXPECT_EQ(HoverFrameWidth(c.stripWidth, c.frameCount), c.expected)
            << c.stripWidth << " / " << c.frameCount;
    }
}

}  // namespace
