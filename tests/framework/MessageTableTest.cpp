// Routing through message tables, without a window: which handler a message
// reaches, with which arguments, and what the tables answer.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/Window.h"

namespace {

constexpr UINT kBaseOnly = WM_APP + 1;
constexpr UINT kDeclinedThenBase = WM_APP + 2;
constexpr UINT kBrush = WM_APP + 3;
constexpr UINT kNobodyHandles = WM_APP + 9;
const wchar_t kRegisteredName[] = L"Vantrel window layer test message";

class BaseRecorder : public fw::Window {
  public:
    std::vector<std::string> calls;

    static const fw::MessageTable kBaseTable;

  protected:
    const fw::MessageTable& Messages() const override { return kBaseTable; }

    void OnBaseTen() { calls.push_back("base ten"); }
    bool OnBaseOnly(fw::Message& m) {
        calls.push_back("base only");
        m.result = 11;
        return true;
    }
    void OnBaseSecond() { calls.push_back("base second"); }
};

const fw::MessageTable BaseRecorder::kBaseTable{
    nullptr,
    {
        fw::OnCommand(10, &BaseRecorder::OnBaseTen),
        fw::OnMessage(kBaseOnly, &BaseRecorder::OnBaseOnly),
        fw::OnMessage(kDeclinedThenBase, &BaseRecorder::OnBaseSecond),
    }};

class Recorder : public BaseRecorder {
  public:
    static const fw::MessageTable kTable;

  protected:
    const fw::MessageTable& Messages() const override { return kTable; }

  private:
    void OnTen(int id, UINT code) {
        calls.push_back("ten " + std::to_string(id) + " " + std::to_string(code));
    }
    void OnTenAgain() { calls.push_back("ten again"); }
    void OnEditChanged(int id) { calls.push_back("changed " + std::to_string(id)); }
    bool OnThirty() {
        calls.push_back("thirty declined");
        return false;
    }
    bool Decline(fw::Message&) {
        calls.push_back("declined");
        return false;
    }
    void OnTimerFive() { calls.push_back("timer five"); }
    void OnOtherTimer(UINT_PTR id) { calls.push_back("timer " + std::to_string(id)); }
    LRESULT OnClicked(NMHDR& header) {
        calls.push_back("clicked " + std::to_string(header.idFrom));
        return 99;
    }
    HBRUSH OnBrush() {
        calls.push_back("brush");
        return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    }
    bool OnRegistered(fw::Message& m) {
        calls.push_back("registered " + std::to_string(m.lParam));
        m.result = 5;
        return true;
    }
};

const fw::MessageTable Recorder::kTable{
    &BaseRecorder::kBaseTable,
    {
        fw::OnCommand(10, &Recorder::OnTen),
        fw::OnCommand(10, &Recorder::OnTenAgain),
        fw::OnNotification(20, EN_CHANGE, &Recorder::OnEditChanged),
        fw::OnCommand(30, &Recorder::OnThirty),
        fw::OnMessage(kDeclinedThenBase, &Recorder::Decline),
        fw::OnTimer(5, &Recorder::OnTimerFive),
        fw::OnAnyTimer(&Recorder::OnOtherTimer),
        fw::OnNotify(40, NM_CLICK, &Recorder::OnClicked),
        fw::OnMessage(kBrush, &Recorder::OnBrush),
        fw::OnRegisteredMessage(kRegisteredName, &Recorder::OnRegistered),
    }};

const HWND kSomeControl = reinterpret_cast<HWND>(0x1234);
NMHDR g_clickFrom40{kSomeControl, 40, static_cast<UINT>(NM_CLICK)};
NMHDR g_clickFrom41{kSomeControl, 41, static_cast<UINT>(NM_CLICK)};
NMHDR g_returnFrom40{kSomeControl, 40, static_cast<UINT>(NM_RETURN)};

struct RoutingCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::vector<std::string> calls;
    bool handled;
    LRESULT result;
};

TEST(MessageTable, RoutesEachMessageToTheFirstHandlerThatTakesIt) {
    const UINT registered = RegisterWindowMessageW(kRegisteredName);
    const LPARAM control = reinterpret_cast<LPARAM>(kSomeControl);
    const LRESULT whiteBrush = reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    const std::vector<RoutingCase> cases = {
        {"menu command", WM_COMMAND, MAKEWPARAM(10, 0), 0, {"ten 10 0"}, true, 0},
        {"accelerator", WM_COMMAND, MAKEWPARAM(10, 1), 0, {"ten 10 0"}, true, 0},
        {"button click", WM_COMMAND, MAKEWPARAM(10, BN_CLICKED), control, {"ten 10 0"}, true, 0},
        {"other notification of a command id",
         WM_COMMAND,
         MAKEWPARAM(10, EN_CHANGE),
         control,
         {},
         false,
         0},
        {"notification entry",
         WM_COMMAND,
         MAKEWPARAM(20, EN_CHANGE),
         control,
         {"changed 20"},
         true,
         0},
        {"notification entry, other code",
         WM_COMMAND,
         MAKEWPARAM(20, EN_UPDATE),
         control,
         {},
         false,
         0},
        {"handler declines", WM_COMMAND, MAKEWPARAM(30, 0), 0, {"thirty declined"}, false, 0},
        {"declined, base table takes it",
         kDeclinedThenBase,
         0,
         0,
         {"declined", "base second"},
         true,
         0},
        {"only the base table has it", kBaseOnly, 0, 0, {"base only"}, true, 11},
        {"timer with its own entry", WM_TIMER, 5, 0, {"timer five"}, true, 0},
        {"any other timer", WM_TIMER, 6, 0, {"timer 6"}, true, 0},
        {"notify",
         WM_NOTIFY,
         40,
         reinterpret_cast<LPARAM>(&g_clickFrom40),
         {"clicked 40"},
         true,
         99},
        {"notify from another control",
         WM_NOTIFY,
         41,
         reinterpret_cast<LPARAM>(&g_clickFrom41),
         {},
         false,
         0},
        {"notify with another code",
         WM_NOTIFY,
         40,
         reinterpret_cast<LPARAM>(&g_returnFrom40),
         {},
         false,
         0},
        {"notify without header", WM_NOTIFY, 40, 0, {}, false, 0},
        {"handle result", kBrush, 0, 0, {"brush"}, true, whiteBrush},
        {"registered message", registered, 0, 1234, {"registered 1234"}, true, 5},
        {"nobody handles it", kNobodyHandles, 0, 0, {}, false, 0},
    };
    for (const RoutingCase& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder recorder;
        fw::Message m{nullptr, c.message, c.wParam, c.lParam};
        const bool handled = fw::DispatchThroughTable(Recorder::kTable, recorder, m);
        EXPECT_EQ(c.handled, handled);
        EXPECT_EQ(c.calls, recorder.calls);
        EXPECT_EQ(c.result, m.result);
    }
}

TEST(MessageTable, FailedRegistrationMatchesNothing) {
    const fw::MessageEntry entry(fw::RegisteredMessage(L""), std::nullopt, std::nullopt,
                                 [](fw::Window&, fw::Message&) { return true; });
    EXPECT_FALSE(entry.Matches(fw::Message{nullptr, WM_NULL, 0, 0}));
}

}  // namespace
