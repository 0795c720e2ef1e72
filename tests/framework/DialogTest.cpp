// Dialogs from templates: the modal loop, the application filter ahead of
// dialog-key processing, dialog results, default processing and child pages.
#include <windows.h>

#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/Control.h"
#include "framework/Dialog.h"
#include "tests/framework/TestResources.h"

namespace {

constexpr UINT kEndWith = WM_APP + 1;  // wParam: the EndDialog value
constexpr UINT kAnswer = WM_APP + 2;   // answered through DWLP_MSGRESULT
constexpr UINT kUnhandled = WM_APP + 5;
constexpr UINT_PTR kEndTimer = 9;
constexpr LRESULT kAnswerValue = 1234;

class TestDialog : public fw::Dialog {
  public:
    explicit TestDialog(UINT templateId = IDD_FW_TEST_DIALOG) : Dialog(templateId) {}

    std::function<void(TestDialog&)> onInit;
    int initCount = 0;
    int timesShown = 0;
    std::vector<std::wstring> textsSetByDefault;

    static const fw::MessageTable kTestTable;

  protected:
    const fw::MessageTable& Messages() const override { return kTestTable; }
    bool OnInitDialog() override {
        ++initCount;
        if (onInit) {
            onInit(*this);
        }
        return true;
    }

  private:
    bool OnEndWith(fw::Message& m) {
        EndDialog(static_cast<INT_PTR>(m.wParam));
        return true;
    }
    LRESULT OnAnswer() { return kAnswerValue; }
    HBRUSH OnCtlColorStatic() { return static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)); }
    void OnEndTimer() { EndDialog(77); }
    bool OnShowWindow(fw::Message& m) {
        timesShown += m.wParam ? 1 : 0;
        return false;
    }
    bool OnSetText(fw::Message& m) {
        // The dialog manager's default stores the text; the handler sees it afterwards.
        m.result = DefaultProcessing(m);
        wchar_t text[64] = {};
        GetWindowTextW(m.hwnd, text, 64);
        textsSetByDefault.push_back(text);
        return true;
    }
};

const fw::MessageTable TestDialog::kTestTable{
    &Dialog::kTable,
    {
        fw::OnMessage(kEndWith, &TestDialog::OnEndWith),
        fw::OnMessage(kAnswer, &TestDialog::OnAnswer),
        fw::OnMessage(WM_CTLCOLORSTATIC, &TestDialog::OnCtlColorStatic),
        fw::OnTimer(kEndTimer, &TestDialog::OnEndTimer),
        fw::OnMessage(WM_SETTEXT, &TestDialog::OnSetText),
        fw::OnMessage(WM_SHOWWINDOW, &TestDialog::OnShowWindow),
    }};

// An owner window for modal runs.
class Owner : public fw::Window {
  public:
    Owner() { CreateEx(0, L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr); }
};

TEST(Dialog, RunModalReturnsTheEndDialogValueAndEnablesTheOwnerAgain) {
    Owner owner;
    ASSERT_NE(nullptr, owner.Handle());
    TestDialog dialog;
    bool ownerEnabledDuringRun = true;
    bool modalDuringRun = false;
    dialog.onInit = [&](TestDialog& d) {
        ownerEnabledDuringRun = IsWindowEnabled(owner.Handle()) != FALSE;
        modalDuringRun = d.IsModal();
        d.Post(kEndWith, 42);
    };
    EXPECT_EQ(42, dialog.RunModal(owner.Handle()));
    EXPECT_EQ(1, dialog.initCount);
    EXPECT_EQ(1, dialog.timesShown);
    EXPECT_FALSE(ownerEnabledDuringRun);
    EXPECT_TRUE(modalDuringRun);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_EQ(nullptr, dialog.Handle());
    EXPECT_FALSE(dialog.IsModal());
}

TEST(Dialog, TimerHandlerEndsTheModalLoop) {
    TestDialog dialog;
    dialog.onInit = [](TestDialog& d) { d.SetTimer(kEndTimer, 10); };
    EXPECT_EQ(77, dialog.RunModal(nullptr));
}

TEST(Dialog, OkAndCancelCommandsEndWithTheirIds) {
    for (int command : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(command);
        TestDialog dialog;
        dialog.onInit = [command](TestDialog& d) {
            d.Post(WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                   reinterpret_cast<LPARAM>(d.Item(command)));
        };
        EXPECT_EQ(command, dialog.RunModal(nullptr));
    }
}

TEST(Dialog, EndDuringInitialisationReturnsWithoutShowing) {
    TestDialog dialog;
    dialog.onInit = [&](TestDialog& d) {
        d.EndDialog(8);
        d.Post(kEndWith, 9);  // must not be what ends it
    };
    EXPECT_EQ(8, dialog.RunModal(nullptr));
    EXPECT_EQ(0, dialog.timesShown);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
}

TEST(Dialog, OwnerDisabledBeforeTheRunStaysDisabled) {
    Owner owner;
    EnableWindow(owner.Handle(), FALSE);
    TestDialog dialog;
    dialog.onInit = [](TestDialog& d) { d.Post(kEndWith, 1); };
    EXPECT_EQ(1, dialog.RunModal(owner.Handle()));
    EXPECT_FALSE(IsWindowEnabled(owner.Handle()));
}

TEST(Dialog, MissingTemplateFailsAndLeavesTheOwnerEnabled) {
    Owner owner;
    TestDialog dialog(4242);
    EXPECT_EQ(-1, dialog.RunModal(owner.Handle()));
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_EQ(0, dialog.initCount);
}

TEST(Dialog, QuitDuringTheModalLoopEndsItAndIsPostedAgain) {
    TestDialog dialog;
    dialog.onInit = [](TestDialog&) { PostQuitMessage(3); };
    EXPECT_EQ(-1, dialog.RunModal(nullptr));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(3u, msg.wParam);
}

// Records the Escape key-downs that reach the edit control itself.
class EscapeWatcher : public fw::Control {
  public:
    int escapes = 0;
    bool consumeEscape = false;

    bool PreTranslateMessage(MSG& msg) override {
        return consumeEscape && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE;
    }

    static const fw::MessageTable kWatchTable;

  protected:
    const fw::MessageTable& Messages() const override { return kWatchTable; }

  private:
    bool OnKeyDown(fw::Message& m) {
        if (m.wParam == VK_ESCAPE) {
            ++escapes;
        }
        return false;
    }
};

const fw::MessageTable EscapeWatcher::kWatchTable{
    &Control::kTable, {fw::OnMessage(WM_KEYDOWN, &EscapeWatcher::OnKeyDown)}};

enum class EscapeRule {
    NoApplication,
    ControlConsumes,
    FrameworkDefault,
    DispatchWithoutDialogKeys,
    Swallow
};

class FilterApp : public fw::Application {
  public:
    explicit FilterApp(EscapeRule rule) : rule_(rule) {}
    int escapesSeen = 0;

    bool PreTranslateMessage(MSG& msg) override {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            ++escapesSeen;
            if (rule_ == EscapeRule::DispatchWithoutDialogKeys) {
                return false;
            }
            if (rule_ == EscapeRule::Swallow) {
                return true;
            }
        }
        return Application::PreTranslateMessage(msg);
    }

  private:
    EscapeRule rule_;
};

TEST(Dialog, EscapeReachesTheApplicationFilterBeforeDialogKeys) {
    struct Case {
        const char* name;
        EscapeRule rule;
        INT_PTR result;
        int filterSaw;
        int editSaw;
    };
    const Case cases[] = {
        {"no application", EscapeRule::NoApplication, IDCANCEL, 0, 0},
        {"the control's own filter consumes it", EscapeRule::ControlConsumes, 42, 0, 0},
        {"filter passes to the dialog", EscapeRule::FrameworkDefault, IDCANCEL, 1, 0},
        {"filter skips dialog keys", EscapeRule::DispatchWithoutDialogKeys, 42, 1, 1},
        {"filter swallows", EscapeRule::Swallow, 42, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<FilterApp> app;
        if (c.rule != EscapeRule::NoApplication && c.rule != EscapeRule::ControlConsumes) {
            app = std::make_unique<FilterApp>(c.rule);
        }
        TestDialog dialog;
        EscapeWatcher edit;
        edit.consumeEscape = c.rule == EscapeRule::ControlConsumes;
        dialog.onInit = [&edit](TestDialog& d) {
            ASSERT_TRUE(edit.Attach(d.Handle(), IDC_FW_EDIT));
            PostMessageW(edit.Handle(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            // Ends the run only if the Escape did not end it first.
            d.Post(kEndWith, 42);
        };
        EXPECT_EQ(c.result, dialog.RunModal(nullptr));
        EXPECT_EQ(c.editSaw, edit.escapes);
        if (app) {
            EXPECT_EQ(c.filterSaw, app->escapesSeen);
        }
        // The end request left in the queue must not leak into the next case.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
    }
}

TEST(Dialog, ResultsReturnDirectlyOrThroughTheMessageResult) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    const struct {
        const char* name;
        UINT message;
        LRESULT expected;
    } cases[] = {
        {"control colour, direct", WM_CTLCOLORSTATIC,
         reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH))},
        {"user message, DWLP_MSGRESULT", kAnswer, kAnswerValue},
        {"unhandled user message", kUnhandled, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HDC dc = GetDC(dialog.Handle());
        EXPECT_EQ(c.expected, SendMessageW(dialog.Handle(), c.message, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(dialog.Item(IDC_FW_EDIT))));
        ReleaseDC(dialog.Handle(), dc);
    }
    EXPECT_TRUE(fw::Dialog::ReturnsResultDirectly(WM_INITDIALOG));
    EXPECT_TRUE(fw::Dialog::ReturnsResultDirectly(WM_QUERYDRAGICON));
    EXPECT_FALSE(fw::Dialog::ReturnsResultDirectly(WM_NOTIFY));
}

TEST(Dialog, HandlerCanRunTheDialogDefaultFirst) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    dialog.textsSetByDefault.clear();
    dialog.SetText(L"first");
    dialog.SetText(L"second");
    EXPECT_EQ((std::vector<std::wstring>{L"first", L"second"}), dialog.textsSetByDefault);
    EXPECT_EQ(L"second", dialog.Text());
    // Unhandled messages keep the dialog manager's behaviour: the default button.
    EXPECT_EQ(MAKELRESULT(IDOK, DC_HASDEFID), dialog.Send(DM_GETDEFID));
}

TEST(Dialog, ModelessChildPageFromATemplate) {
    TestDialog host;
    ASSERT_TRUE(host.CreateModeless(nullptr));
    TestDialog page(IDD_FW_TEST_PAGE);
    ASSERT_TRUE(page.CreateModeless(host.Handle()));
    EXPECT_EQ(1, page.initCount);
    EXPECT_FALSE(page.IsModal());
    EXPECT_EQ(host.Handle(), GetParent(page.Handle()));
    EXPECT_TRUE(GetWindowLongPtrW(page.Handle(), GWL_STYLE) & WS_CHILD);
    EXPECT_NE(nullptr, page.Item(IDC_FW_LABEL));
    EXPECT_EQ(&page, fw::Window::FromHandle(page.Handle()));
    EXPECT_EQ(&page, fw::Dialog::FromHandle(page.Handle()));

    // A page leaves dialog keys to its top-level dialog.
    MSG key{page.Item(IDC_FW_PAGE_BUTTON), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_FALSE(page.PreTranslateMessage(key));

    page.Show();
    page.EndDialog(5);
    EXPECT_TRUE(page.HasEnded());
    EXPECT_EQ(5, page.Result());
    EXPECT_FALSE(page.IsVisible());

    // Destroying the host takes the page with it; the page object lets go.
    host.Destroy();
    EXPECT_EQ(nullptr, page.Handle());
}

}  // namespace
