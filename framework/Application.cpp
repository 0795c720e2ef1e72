#include "framework/Application.h"

#include "framework/MessageLoop.h"

namespace fw {

namespace {

Application* g_current = nullptr;

}  // namespace

Application::Application() : threadId_(GetCurrentThreadId()) {
    g_current = this;
}

Application::~Application() {
    if (g_current == this) {
        g_current = nullptr;
    }
}

Application* Application::Current() {
    return g_current;
}

bool Application::PreTranslateMessage(MSG& msg) {
    return WalkPreTranslateTree(msg);
}

int RunApplication(Application& app) {
    app.exitCode_ = 0;
    if (app.InitInstance()) {
        app.exitCode_ = RunMessageLoop();
    }
    return app.ExitInstance();
}

}  // namespace fw
