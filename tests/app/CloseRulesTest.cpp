#include "app/CloseRules.h"

#include <gtest/gtest.h>

#include "app/MainWindowLayout.h"
#include "res/resource.h"

namespace {

constexpr std::int32_t kIdle = 0, kRunning = 1, kFinished = 2;

TEST(CloseRules, SystemCloseHidesKeepsOrConfirms) {
    struct Case {
        std::int32_t closeSetting;
        bool inTray;
        std::int32_t jobState;
        SystemCloseAction expected;
    };
    const Case cases[] = {
        {0, false, kIdle, SystemCloseAction::HideToTray},
        {0, false, kRunning, SystemCloseAction::HideToTray},
        // "Exit" from the tray menu marks the window as in the tray first.
        {0, true, kIdle, SystemCloseAction::Close},
        {0, true, kRunning, SystemCloseAction::ConfirmStopThenClose},
        {1, false, kIdle, SystemCloseAction::Close},
        {1, false, kFinished, SystemCloseAction::Close},
        {1, false, kRunning, SystemCloseAction::ConfirmStopThenClose},
        {7, true, 9, SystemCloseAction::Close},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, ActionForSystemClose(c.closeSetting, c.inTray, c.jobState))
            << c.closeSetting << " " << c.inTray << " " << c.jobState;
    }
}

TEST(CloseRules, ButtonsFollowTheSettings) {
    EXPECT_EQ(CloseButtonAction::HideToTray, ActionForCloseButton(0));
    EXPECT_EQ(CloseButtonAction::ResetAndClose, ActionForCloseButton(1));
    EXPECT_EQ(MinimizeButtonAction::Minimize, ActionForMinimizeButton(0));
    EXPECT_EQ(MinimizeButtonAction::HideToTray, ActionForMinimizeButton(1));
}

TEST(MainWindowLayout, LinksDragBandAndStepImages) {
    using namespace main_layout;
    const RECT none = {};
    EXPECT_EQ(Link::About, LinkAt({731, 31}, kAboutArea, kHelpArea));
    EXPECT_EQ(Link::About, LinkAt({781, 48}, kAboutArea, kHelpArea));
    EXPECT_EQ(Link::None, LinkAt({782, 40}, kAboutArea, kHelpArea));
    EXPECT_EQ(Link::Help, LinkAt({800, 40}, kAboutArea, kHelpArea));
    EXPECT_EQ(Link::None, LinkAt({740, 40}, none, none)) << "locked while a job runs";

    EXPECT_TRUE(InDragBand({400, 0}, kWidth));
    EXPECT_TRUE(InDragBand({400, 29}, kWidth));
    EXPECT_FALSE(InDragBand({400, 30}, kWidth));

    EXPECT_EQ(UINT{IDB_STEP_WELCOME_CURRENT}, StepImage(1, true));
    EXPECT_EQ(UINT{IDB_STEP_SCAN}, StepImage(2, false));
    EXPECT_EQ(UINT{IDB_STEP_OPTIMIZE_CURRENT}, StepImage(4, true));
    EXPECT_EQ(0u, StepImage(5, true));

    const RECT container = ContainerRect(855, 599);
    EXPECT_EQ(199, container.left);
    EXPECT_EQ(74, container.top);
    EXPECT_EQ(199 + 651, container.right);
    EXPECT_EQ(74 + 502, container.bottom);
}

}  // namespace
