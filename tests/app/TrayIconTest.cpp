// The tray icon under Wine's shell: creation with its tooltip, hiding and showing,
// the shell's restart, and the notifications that open the menu or send the default
// command to the target window.
#include "app/TrayIcon.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/MessageLoop.h"
#include "res/resource.h"
#include "tests/app/MenuPicker.h"

namespace {

using vantrel::testsupport::MenuPicker;

// Stands in for the main window: records the commands it gets and whether it was
// offered the icon's notifications.
class TargetWindow : public fw::Window {
  public:
    std::vector<int> commands;
    int offered = 0;
    LRESULT offerAnswer = 0;

  protected:
    const fw::MessageTable& Messages() const override { return kTable; }

  private:
    static const fw::MessageTable kTable;
    bool OnCommand(int id, UINT) {
        commands.push_back(id);
        return true;
    }
    bool OnOffered(fw::Message& m) {
        ++offered;
        m.result = offerAnswer;
        return true;
    }
};

const fw::MessageTable TargetWindow::kTable{
    &fw::Window::kTable,
    {
        fw::OnAnyCommand(&TargetWindow::OnCommand),
        fw::OnMessage(WM_TRAY_CALLBACK, &TargetWindow::OnOffered),
    }};

class TrayIconTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(target_.Create(L"Target", WS_POPUP)); }
    void TearDown() override { target_.Destroy(); }

    bool Create(const wchar_t* tooltip, UINT defaultItem = ID_TRAY_RESTORE,
                bool byPosition = false) {
        return tray_.Create(tooltip, target_.Handle(), IDI_APP, IDR_TRAY_MENU, defaultItem,
                            byPosition);
    }
    LRESULT Notify(UINT mouseMessage, UINT id = IDR_TRAY_MENU) {
        const LRESULT result = SendMessageW(tray_.Handle(), WM_TRAY_CALLBACK, id, mouseMessage);
        fw::DispatchPendingMessages();
        return result;
    }

    TargetWindow target_;
    CXTTrayIconEX tray_;
};

TEST_F(TrayIconTest, CreatesWithATruncatedTooltipAndHidesAndShows) {
    CXTTrayIconEX orphan;
    EXPECT_FALSE(orphan.Create(L"Vantrel", nullptr, IDI_APP, IDR_TRAY_MENU, 0, false))
        << "no target, no icon";

    const std::wstring title(200, L'V');
    ASSERT_TRUE(Create(title.c_str()));
    EXPECT_EQ(std::wstring(126, L'V'), tray_.Tooltip());
    EXPECT_EQ(static_cast<UINT>(IDR_TRAY_MENU), tray_.IconId());
    EXPECT_FALSE(tray_.IsHidden());
    EXPECT_FALSE(tray_.IsRemoved());
    EXPECT_FALSE(tray_.AddFailed());

    EXPECT_TRUE(tray_.HideIcon());
    EXPECT_TRUE(tray_.IsHidden());
    EXPECT_TRUE(tray_.HideIcon()) << "hiding twice is nothing";
    EXPECT_TRUE(tray_.ShowIcon());
    EXPECT_FALSE(tray_.IsHidden());
    EXPECT_TRUE(tray_.ShowIcon()) << "showing twice is nothing";
}

// What a restarted shell knows: no icon at all.
void ShellForgetsIcon(const CXTTrayIcon& tray) {
    NOTIFYICONDATAW data = {};
    data.cbSize = kNotifyRecordSize;
    data.hWnd = tray.Handle();
    data.uID = tray.IconId();
    Shell_NotifyIconW(NIM_DELETE, &data);
}

TEST_F(TrayIconTest, AShellRestartAddsAVisibleIconAgainAndForgetsAHiddenOne) {
    ASSERT_TRUE(Create(L"Vantrel"));
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    ShellForgetsIcon(tray_);
    SendMessageW(tray_.Handle(), taskbarCreated, 0, 0);
    EXPECT_FALSE(tray_.IsHidden());
    EXPECT_FALSE(tray_.IsRemoved());
    EXPECT_FALSE(tray_.AddFailed());

    ASSERT_TRUE(tray_.HideIcon());
    ShellForgetsIcon(tray_);
    SendMessageW(tray_.Handle(), taskbarCreated, 0, 0);
    EXPECT_TRUE(tray_.IsRemoved()) << "the new shell does not know the hidden icon";
    EXPECT_TRUE(tray_.ShowIcon()) << "so showing adds it again";
    EXPECT_FALSE(tray_.IsHidden());
    EXPECT_FALSE(tray_.IsRemoved());
}

TEST_F(TrayIconTest, AFailedAddIsRetriedWhenTheWorkAreaChanges) {
    ASSERT_TRUE(Create(L"Vantrel"));
    // A shell that still holds the icon refuses to add it again.
    SendMessageW(tray_.Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_TRUE(tray_.AddFailed());

    SendMessageW(tray_.Handle(), WM_SETTINGCHANGE, SPI_SETWORKAREA + 1, 0);
    EXPECT_TRUE(tray_.AddFailed()) << "only a work-area change retries";
    ShellForgetsIcon(tray_);
    SendMessageW(tray_.Handle(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_FALSE(tray_.AddFailed());
    EXPECT_FALSE(tray_.IsHidden());

    // The add fails while the window is not in the tray (the main window hides the
    // icon right after creating it): the retry adds it hidden.
    SendMessageW(tray_.Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_TRUE(tray_.AddFailed());
    ASSERT_TRUE(tray_.HideIcon());
    ShellForgetsIcon(tray_);
    SendMessageW(tray_.Handle(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_FALSE(tray_.AddFailed());
    EXPECT_TRUE(tray_.IsHidden()) << "no icon for a window that is not in the tray";
}

TEST_F(TrayIconTest, DoubleClickSendsTheDefaultCommandToTheTarget) {
    ASSERT_TRUE(Create(L"Vantrel"));
    Notify(WM_LBUTTONDBLCLK);
    EXPECT_EQ(std::vector<int>{ID_TRAY_RESTORE}, target_.commands);
    EXPECT_EQ(1, target_.offered) << "the target is offered the notification first";

    // A default given as a position is looked up in the menu: position 1 is About.
    ASSERT_TRUE(Create(L"Vantrel", 1, true));
    target_.commands.clear();
    Notify(WM_LBUTTONDBLCLK);
    EXPECT_EQ(std::vector<int>{ID_TRAY_ABOUT}, target_.commands);
}

TEST_F(TrayIconTest, IgnoresOtherIconsAndWhatTheTargetTakesItself) {
    ASSERT_TRUE(Create(L"Vantrel"));
    Notify(WM_LBUTTONDBLCLK, IDR_TRAY_MENU + 1);
    EXPECT_TRUE(target_.commands.empty());
    EXPECT_EQ(0, target_.offered);

    target_.offerAnswer = 1;
    Notify(WM_LBUTTONDBLCLK);
    Notify(WM_RBUTTONUP);
    EXPECT_TRUE(target_.commands.empty());
    EXPECT_EQ(2, target_.offered);
}

TEST_F(TrayIconTest, TheMenuShowsItsDefaultItemAndItsChoiceReachesTheTarget) {
    ASSERT_TRUE(Create(L"Vantrel"));
    // The shell's select and key select (Enter or Space on the icon) open it too.
    for (const UINT notification :
         {UINT(WM_RBUTTONUP), UINT(WM_CONTEXTMENU), UINT(WM_USER), UINT(WM_USER + 1)}) {
        for (const int command : {ID_TRAY_RESTORE, ID_TRAY_ABOUT, ID_TRAY_EXIT}) {
            target_.commands.clear();
            MenuPicker picker(command);
            Notify(notification);
            ASSERT_TRUE(picker.Picked()) << "a menu for notification " << notification;
            EXPECT_EQ(ID_TRAY_RESTORE, picker.DefaultItem()) << "drawn bold";
            EXPECT_EQ(4, picker.ItemCount());
            EXPECT_EQ(std::vector<int>{command}, target_.commands);
        }
    }
}

}  // namespace
