// A template button subclassed as a fw::Control: its own messages, its
// owner-draw painting through the parent, and detaching.
#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "framework/Control.h"
#include "framework/Dialog.h"
#include "tests/framework/TestResources.h"

namespace {

class ProbeButton : public fw::Control {
  public:
    std::vector<POINT> moves;
    std::vector<std::wstring> textsSeen;
    std::vector<DRAWITEMSTRUCT> draws;

    static const fw::MessageTable kProbeTable;

    void DrawItem(const DRAWITEMSTRUCT& item) override { draws.push_back(item); }

  protected:
    const fw::MessageTable& Messages() const override { return kProbeTable; }

  private:
    void OnMouseMove(POINT point) { moves.push_back(point); }
    bool OnSetText(fw::Message& m) {
        textsSeen.push_back(reinterpret_cast<const wchar_t*>(m.lParam));
        return false;  // the button's own procedure stores the text
    }
};

const fw::MessageTable ProbeButton::kProbeTable{
    &Control::kTable,
    {
        fw::OnMouse(WM_MOUSEMOVE, &ProbeButton::OnMouseMove),
        fw::OnMessage(WM_SETTEXT, &ProbeButton::OnSetText),
    }};

class Host : public fw::Dialog {
  public:
    Host() : Dialog(IDD_FW_TEST_DIALOG) {}
};

void Repaint(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

TEST(Control, SubclassedButtonReceivesItsOwnMessages) {
    Host host;
    ASSERT_TRUE(host.CreateModeless(nullptr));
    ProbeButton button;
    ASSERT_TRUE(button.Attach(host.Handle(), IDC_FW_OWNERDRAW));
    EXPECT_EQ(host.Item(IDC_FW_OWNERDRAW), button.Handle());
    EXPECT_EQ(&button, fw::Control::FromHandle(button.Handle()));

    button.Send(WM_MOUSEMOVE, 0, MAKELPARAM(12, 5));
    ASSERT_EQ(1u, button.moves.size());
    EXPECT_EQ(12, button.moves[0].x);
    EXPECT_EQ(5, button.moves[0].y);

    button.SetText(L"label");
    EXPECT_EQ(std::vector<std::wstring>{L"label"}, button.textsSeen);
    EXPECT_EQ(L"label", button.Text());  // declined, so DefSubclassProc stored it
}

TEST(Control, AttachRefusesMissingOrTakenControls) {
    Host host;
    ASSERT_TRUE(host.CreateModeless(nullptr));
    ProbeButton first;
    ProbeButton second;
    EXPECT_FALSE(first.Attach(host.Handle(), 4242));
    ASSERT_TRUE(first.Attach(host.Handle(), IDC_FW_OWNERDRAW));
    EXPECT_FALSE(second.Attach(host.Handle(), IDC_FW_OWNERDRAW));
    EXPECT_FALSE(first.Attach(host.Handle(), IDC_FW_EDIT));
    EXPECT_EQ(&first, fw::Control::FromHandle(host.Item(IDC_FW_OWNERDRAW)));
}

TEST(Control, ParentHandsOwnerDrawPaintingToTheControl) {
    Host host;
    ASSERT_TRUE(host.CreateModeless(nullptr));
    host.Show(SW_SHOWNOACTIVATE);
    ProbeButton button;
    ASSERT_TRUE(button.Attach(host.Handle(), IDC_FW_OWNERDRAW));
    button.draws.clear();
    Repaint(button.Handle());
    ASSERT_EQ(1u, button.draws.size());
    EXPECT_EQ(static_cast<UINT>(ODT_BUTTON), button.draws[0].CtlType);
    EXPECT_EQ(static_cast<UINT>(IDC_FW_OWNERDRAW), button.draws[0].CtlID);
    EXPECT_EQ(button.Handle(), button.draws[0].hwndItem);
    EXPECT_NE(nullptr, button.draws[0].hDC);

    HWND hwnd = button.Handle();
    button.Detach();
    EXPECT_EQ(nullptr, fw::Control::FromHandle(hwnd));
    Repaint(hwnd);
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(1u, button.draws.size());
    EXPECT_TRUE(button.moves.empty());
}

TEST(Control, DestroyedParentDetachesTheControl) {
    Host host;
    ASSERT_TRUE(host.CreateModeless(nullptr));
    ProbeButton button;
    ASSERT_TRUE(button.Attach(host.Handle(), IDC_FW_OWNERDRAW));
    host.Destroy();
    EXPECT_EQ(nullptr, button.Handle());
}

}  // namespace
