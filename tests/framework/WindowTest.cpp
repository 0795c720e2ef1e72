// Plain windows of the layer on real windows: attachment, crackers, timers,
// registered messages, default processing and teardown.
#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/Window.h"
#include "tests/framework/TestSupport.h"

namespace {

struct Counters {
    int destroy = 0;
    int finalMessage = 0;
};

class ProbeWindow : public fw::Window {
  public:
    explicit ProbeWindow(Counters* counters = nullptr) : counters_(counters) {}

    HWND handleAtCreate = nullptr;
    bool sizeLimitsBeforeAttach = false;
    std::vector<UINT> defaulted;
    std::vector<UINT_PTR> ticks;
    std::vector<POINT> moves;
    std::vector<UINT> moveKeys;
    std::vector<POINT> wheels;
    int paints = 0;
    RECT paintRect{};
    DWORD paintDcType = 0;
    LPARAM handOver = 0;

    static const fw::MessageTable kProbeTable;

  protected:
    const fw::MessageTable& Messages() const override { return kProbeTable; }
    LRESULT DefaultProcessing(fw::Message& m) override {
        defaulted.push_back(m.message);
        return Window::DefaultProcessing(m);
    }
    void OnFinalMessage() override {
        if (counters_) {
            ++counters_->finalMessage;
        }
    }

  private:
    bool OnCreate(fw::Message&) {
        handleAtCreate = Handle();
        return false;
    }
    bool OnSizeLimits(fw::Message&) {
        sizeLimitsBeforeAttach = sizeLimitsBeforeAttach || Handle() == nullptr;
        return false;
    }
    void OnTick(UINT_PTR id) { ticks.push_back(id); }
    void OnMouseMove(POINT point, UINT keys) {
        moves.push_back(point);
        moveKeys.push_back(keys);
    }
    void OnWheel(POINT point) { wheels.push_back(point); }
    void OnPaint(HDC dc, const PAINTSTRUCT& paint) {
        ++paints;
        paintRect = paint.rcPaint;
        paintDcType = GetObjectType(dc);
    }
    bool OnHandOver(fw::Message& m) {
        handOver = m.lParam;
        m.result = 5;
        return true;
    }
    void OnDestroy() {
        if (counters_) {
            ++counters_->destroy;
        }
    }
    bool OnThrow(fw::Message& m) {
        m.result = 99;
        throw std::runtime_error("handler failed");
    }

    Counters* counters_;
};

const fw::MessageTable ProbeWindow::kProbeTable{
    &Window::kTable,
    {
        fw::OnMessage(WM_CREATE, &ProbeWindow::OnCreate),
        fw::OnMessage(WM_GETMINMAXINFO, &ProbeWindow::OnSizeLimits),
        fw::OnTimer(77, &ProbeWindow::OnTick),
        fw::OnMouse(WM_MOUSEMOVE, &ProbeWindow::OnMouseMove),
        fw::OnMouse(WM_MOUSEWHEEL, &ProbeWindow::OnWheel),
        fw::OnPaint(&ProbeWindow::OnPaint),
        fw::OnRegisteredMessage(L"this will work", &ProbeWindow::OnHandOver),
        fw::OnMessage(WM_DESTROY, &ProbeWindow::OnDestroy),
        fw::OnMessage(WM_APP + 1, &ProbeWindow::OnThrow),
    }};

bool CreateProbe(ProbeWindow& window) {
    return window.CreateEx(0, L"probe", WS_POPUP | WS_BORDER, 50, 50, 300, 200, nullptr);
}

TEST(Window, AttachesAtNonClientCreation) {
    ProbeWindow window;
    ASSERT_TRUE(CreateProbe(window));
    EXPECT_NE(nullptr, window.Handle());
    EXPECT_EQ(window.Handle(), window.handleAtCreate);
    EXPECT_EQ(&window, fw::Window::FromHandle(window.Handle()));
    EXPECT_EQ(nullptr, fw::Window::FromHandle(GetDesktopWindow()));
    // WM_GETMINMAXINFO comes before WM_NCCREATE: it must not reach the table unattached.
    EXPECT_FALSE(window.sizeLimitsBeforeAttach);
    EXPECT_FALSE(window.CreateEx(0, L"again", WS_POPUP, 0, 0, 10, 10, nullptr));
}

TEST(Window, UnhandledMessagesGetDefaultProcessing) {
    ProbeWindow window;
    ASSERT_TRUE(CreateProbe(window));
    window.defaulted.clear();
    window.SetText(L"hello");
    EXPECT_EQ(std::vector<UINT>{WM_SETTEXT}, window.defaulted);
    EXPECT_EQ(L"hello", window.Text());
}

TEST(Window, MouseHandlersReceiveClientCoordinates) {
    ProbeWindow window;
    ASSERT_TRUE(CreateProbe(window));
    window.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(12, 34));
    window.Send(WM_MOUSEMOVE, 0, MAKELPARAM(-5, 7));
    POINT screen{10, 20};
    ClientToScreen(window.Handle(), &screen);
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));

    ASSERT_EQ(2u, window.moves.size());
    EXPECT_EQ(12, window.moves[0].x);
    EXPECT_EQ(34, window.moves[0].y);
    EXPECT_EQ(static_cast<UINT>(MK_LBUTTON), window.moveKeys[0]);
    EXPECT_EQ(-5, window.moves[1].x);
    EXPECT_EQ(7, window.moves[1].y);
    ASSERT_EQ(1u, window.wheels.size());
    EXPECT_EQ(10, window.wheels[0].x);
    EXPECT_EQ(20, window.wheels[0].y);
}

TEST(Window, PaintHandlerDrawsBetweenBeginAndEndPaint) {
    ProbeWindow window;
    ASSERT_TRUE(CreateProbe(window));
    window.Show(SW_SHOWNOACTIVATE);
    UpdateWindow(window.Handle());
    window.paints = 0;
    RECT area{5, 5, 40, 30};
    window.Invalidate(&area);
    UpdateWindow(window.Handle());
    EXPECT_EQ(1, window.paints);
    EXPECT_EQ(static_cast<DWORD>(OBJ_DC), window.paintDcType);
    EXPECT_LE(window.paintRect.left, 5);
    EXPECT_GE(window.paintRect.right, 40);
    // EndPaint validated the area: nothing is left to paint.
    EXPECT_FALSE(GetUpdateRect(window.Handle(), nullptr, FALSE));
}

TEST(Window, TimerFiresItsHandlerWithItsId) {
    ProbeWindow window;
    ASSERT_TRUE(CreateProbe(window));
    ASSERT_TRUE(window.SetTimer(77, 10));
    EXPECT_TRUE(fw::test::PumpUntil([&] { return !window.ticks.empty(); }));
    window.KillTimer(77);
    ASSERT_FALSE(window.ticks.empty());
    EXPECT_EQ(77u, window.ticks.front());
}

TEST(Window, RegisteredMessageIsRouted) {
    ProbeWindow window;
    ASSERT_TRUE(CreateProbe(window));
    const UINT handOver = RegisterWindowMessageW(L"this will work");
    EXPECT_EQ(5, SendMessageW(window.Handle(), handOver, 0, 1234));
    EXPECT_EQ(1234, window.handOver);
}

TEST(Window, DestroyedWindowDetachesAndEndsWithTheFinalMessage) {
    Counters counters;
    ProbeWindow window(&counters);
    ASSERT_TRUE(CreateProbe(window));
    HWND hwnd = window.Handle();
    DestroyWindow(hwnd);
    EXPECT_EQ(nullptr, window.Handle());
    EXPECT_EQ(1, counters.destroy);
    EXPECT_EQ(1, counters.finalMessage);
    EXPECT_EQ(nullptr, fw::Window::FromHandle(hwnd));
}

TEST(Window, ObjectDestroyedFirstDetachesBeforeTheWindowGoes) {
    Counters counters;
    auto window = std::make_unique<ProbeWindow>(&counters);
    ASSERT_TRUE(CreateProbe(*window));
    HWND hwnd = window->Handle();
    window.reset();
    EXPECT_FALSE(IsWindow(hwnd));
    // WM_DESTROY of that destruction did not reach the half-destroyed object.
    EXPECT_EQ(0, counters.destroy);
    EXPECT_EQ(0, counters.finalMessage);
}

TEST(Window, DestroyOnALiveWindowLetsItsHandlersSeeTheEnd) {
    Counters counters;
    ProbeWindow window(&counters);
    ASSERT_TRUE(CreateProbe(window));
    HWND hwnd = window.Handle();
    window.Destroy();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, window.Handle());
    EXPECT_EQ(1, counters.destroy);
    EXPECT_EQ(1, counters.finalMessage);
    window.Destroy();  // nothing left to destroy
    EXPECT_EQ(1, counters.destroy);
}

// A window that owns itself and ends itself from its own command handler, as the
// notice window does; its handler goes on after Destroy() returns.
class SelfEndingWindow : public fw::Window {
  public:
    explicit SelfEndingWindow(std::vector<std::string>& log) : log_(log) {}
    static const fw::MessageTable kSelfTable;

  protected:
    const fw::MessageTable& Messages() const override { return kSelfTable; }
    void OnFinalMessage() override {
        log_.push_back("final message");
        delete this;
    }

  private:
    void OnClose() {
        Destroy();
        log_.push_back(Handle() != nullptr ? "handler goes on" : "handler lost its window");
    }
    bool OnEndAndDecline(fw::Message&) {
        Destroy();
        return false;
    }
    bool OnLaterHandler(fw::Message&) {
        log_.push_back("later entry");
        return false;
    }

    std::vector<std::string>& log_;
};

const fw::MessageTable SelfEndingWindow::kSelfTable{
    &Window::kTable,
    {
        fw::OnCommand(1, &SelfEndingWindow::OnClose),
        fw::OnMessage(WM_APP + 2, &SelfEndingWindow::OnEndAndDecline),
        fw::OnMessage(WM_APP + 2, &SelfEndingWindow::OnLaterHandler),
    }};

TEST(Window, AWindowEndedInsideItsOwnHandlerEndsWhenTheHandlerReturns) {
    std::vector<std::string> log;
    auto* window = new SelfEndingWindow(log);
    ASSERT_TRUE(window->CreateEx(0, L"self", WS_POPUP, 0, 0, 50, 50, nullptr));
    const HWND hwnd = window->Handle();
    SendMessageW(hwnd, WM_COMMAND, 1, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ((std::vector<std::string>{"handler goes on", "final message"}), log)
        << "the object lives until its handler has returned";

    log.clear();
    window = new SelfEndingWindow(log);
    ASSERT_TRUE(window->CreateEx(0, L"self", WS_POPUP, 0, 0, 50, 50, nullptr));
    SendMessageW(window->Handle(), WM_APP + 2, 0, 0);
    EXPECT_EQ(std::vector<std::string>{"final message"}, log)
        << "no later entry and no default processing for a window that is gone";
}

TEST(Window, AnExceptionFromAHandlerStopsAtTheWindowProcedure) {
    ProbeWindow window;
    ASSERT_TRUE(CreateProbe(window));
    EXPECT_EQ(0, SendMessageW(window.Handle(), WM_APP + 1, 0, 0));
    // The window goes on working.
    EXPECT_EQ(5, SendMessageW(window.Handle(), RegisterWindowMessageW(L"this will work"), 0, 9));
    EXPECT_EQ(9, window.handOver);
}

}  // namespace
