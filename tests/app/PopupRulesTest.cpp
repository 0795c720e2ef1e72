// The notification popup's arithmetic: where it sits, how a fade steps, where the
// mouse matters, and what its button asks of Windows.
#include "app/PopupRules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PopupGeometry, SitsAtTheBottomRightOfTheWorkArea) {
    const struct {
        const char* what;
        RECT workArea;
        RECT expected;
    } cases[] = {
        {"1280 x 1024 with a 30-pixel bottom taskbar", {0, 0, 1280, 994}, {999, 801, 1253, 994}},
        {"no taskbar", {0, 0, 1280, 1024}, {999, 831, 1253, 1024}},
        {"a taskbar on the left", {60, 0, 1280, 1024}, {999, 831, 1253, 1024}},
        {"a taskbar on the right", {0, 0, 1220, 1024}, {939, 831, 1193, 1024}},
    };
    for (const auto& c : cases) {
        const RECT r =
            popup::FinalRect(popup::AnchorFor(c.workArea), popup::kWidth, popup::kHeight);
        EXPECT_EQ(c.expected.left, r.left) << c.what;
        EXPECT_EQ(c.expected.top, r.top) << c.what;
        EXPECT_EQ(c.expected.right, r.right) << c.what;
        EXPECT_EQ(c.expected.bottom, r.bottom) << c.what;
    }
}

TEST(PopupFade, TakesEighteenStepsAndNeverLessThanOne) {
    EXPECT_EQ(18, popup::FadeStepCount(popup::kAnimationMs, popup::kStepPeriodMs));
    EXPECT_EQ(1, popup::FadeStepCount(20, popup::kStepPeriodMs));
    EXPECT_EQ(1, popup::FadeStepCount(0, popup::kStepPeriodMs));
    EXPECT_EQ(1, popup::FadeStepCount(1024, 0));
}

// Runs a whole fade of the opacity and returns each step's value.
std::vector<int> Fade(int from, int to) {
    const RECT r = {999, 801, 1253, 994};
    popup::State current = {r, from};
    const popup::State target = {r, to};
    std::vector<int> values;
    for (int n = popup::FadeStepCount(popup::kAnimationMs, popup::kStepPeriodMs); n > 0; --n) {
        current = popup::FadeStep(current, target, n);
        EXPECT_TRUE(EqualRect(&current.rect, &r)) << "the rectangle stays";
        values.push_back(current.opacity);
    }
    return values;
}

TEST(PopupFade, FadesInAndOutInItsSteps) {
    EXPECT_EQ((std::vector<int>{14, 28, 42, 56, 70, 84, 98, 112, 126, 140, 154, 168, 182, 196, 210,
                                225, 240, 255}),
              Fade(0, 255));
    EXPECT_EQ((std::vector<int>{241, 227, 213, 199, 185, 171, 157, 143, 129, 115, 101, 87, 73, 59,
                                45, 30, 15, 0}),
              Fade(255, 0));
}

TEST(PopupFade, AStepMovesByAtLeastOneAndNeverPastTheTarget) {
    const struct {
        int current, target, stepsLeft, expected;
    } cases[] = {
        {0, 255, 18, 14},   {255, 0, 18, 241}, {250, 255, 18, 251}, {5, 0, 18, 4},
        {254, 255, 1, 255}, {0, 255, 1, 255},  {7, 7, 3, 7},        {10, 0, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, popup::StepTowards(c.current, c.target, c.stepsLeft))
            << c.current << " -> " << c.target << " with " << c.stepsLeft << " left";
    }
    // Every value of the state moves, each on its own distance.
    const popup::State from = {{0, 0, 100, 100}, 0};
    const popup::State to = {{36, 18, 100, 136}, 255};
    const popup::State next = popup::FadeStep(from, to, 18);
    EXPECT_EQ(2, next.rect.left);
    EXPECT_EQ(1, next.rect.top);
    EXPECT_EQ(100, next.rect.right);
    EXPECT_EQ(102, next.rect.bottom);
    EXPECT_EQ(14, next.opacity);
}

TEST(PopupMouse, HotBandsTextAreaAndCloseMark) {
    const struct {
        POINT p;
        int band;
        bool text;
        bool close;
    } cases[] = {
        {{5, 99}, 1, false, false},    {{100, 110}, 1, true, false},  {{234, 114}, 1, false, false},
        {{235, 114}, 0, false, false}, {{100, 115}, 0, true, false},  {{100, 125}, 2, false, false},
        {{100, 141}, 2, false, false}, {{100, 142}, 0, false, false}, {{8, 72}, 0, true, false},
        {{216, 100}, 1, false, false}, {{220, 6}, 0, false, true},    {{249, 17}, 0, false, true},
        {{250, 10}, 0, false, false},  {{230, 18}, 0, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.band, popup::HotBandAt(c.p)) << c.p.x << "," << c.p.y;
        EXPECT_EQ(c.text, popup::InTextHoverArea(c.p)) << c.p.x << "," << c.p.y;
        EXPECT_EQ(c.close, popup::InCloseMark(c.p)) << c.p.x << "," << c.p.y;
    }
}

TEST(PopupButton, RestartsElevatedOnlyOnWindows6ForNonAdministrators) {
    EXPECT_TRUE(popup::ScanNeedsElevation(6, false));
    EXPECT_FALSE(popup::ScanNeedsElevation(6, true));
    EXPECT_FALSE(popup::ScanNeedsElevation(5, false));
    EXPECT_FALSE(popup::ScanNeedsElevation(10, false));
    EXPECT_EQ(L"-scan C", popup::ScanParameters(L'C'));
    EXPECT_EQ(L"-scan D", popup::ScanParameters(L'D'));
}

}  // namespace
