// The application object: start-up paths of RunApplication and whose filter the
// message loops run.
#include <windows.h>

#include <thread>

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/MessageLoop.h"

namespace {

class ScriptedApp : public fw::Application {
  public:
    ScriptedApp(bool runLoop, int quitCode, int exitOverride)
        : runLoop_(runLoop), quitCode_(quitCode), exitOverride_(exitOverride) {}

    int exitCalls = 0;
    int filtered = 0;

    bool InitInstance() override {
        if (runLoop_) {
            PostQuitMessage(quitCode_);
        }
        return runLoop_;
    }
    bool PreTranslateMessage(MSG& msg) override {
        ++filtered;
        return Application::PreTranslateMessage(msg);
    }
    int ExitInstance() override {
        ++exitCalls;
        return exitOverride_ >= 0 ? exitOverride_ : Application::ExitInstance();
    }

  private:
    bool runLoop_;
    int quitCode_;
    int exitOverride_;
};

TEST(Application, RunApplicationRunsStartUpLoopAndExit) {
    const struct {
        const char* name;
        bool runLoop;
        int quitCode;
        int exitOverride;
        int expected;
    } cases[] = {
        {"loop until quit, default exit answers the quit code", true, 5, -1, 5},
        {"start-up declines, default exit answers 0", false, 0, -1, 0},
        {"start-up declines, exit decides the code", false, 0, 17, 17},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedApp app(c.runLoop, c.quitCode, c.exitOverride);
        EXPECT_EQ(&app, fw::Application::Current());
        EXPECT_EQ(c.expected, fw::RunApplication(app));
        EXPECT_EQ(1, app.exitCalls);
    }
    EXPECT_EQ(nullptr, fw::Application::Current());
}

TEST(Application, FilterRunsOnlyOnTheApplicationThread) {
    ScriptedApp app(false, 0, -1);
    MSG msg{nullptr, WM_APP, 0, 0, 0, {}};
    fw::PreTranslate(msg);
    EXPECT_EQ(1, app.filtered);
    std::thread other([&] {
        MSG otherMsg{nullptr, WM_APP, 0, 0, 0, {}};
        fw::PreTranslate(otherMsg);
    });
    other.join();
    EXPECT_EQ(1, app.filtered);
}

}  // namespace
