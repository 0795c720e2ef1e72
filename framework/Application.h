// The application object: start-up, the application-wide message filter and exit.
// One per process; it is Current() from its construction to its destruction.
//
//   class MyApp : public fw::Application { bool InitInstance() override; ... };
//   int WINAPI wWinMain(...) { MyApp app; return fw::RunApplication(app); }
#pragma once

#include <windows.h>

namespace fw {

class Application {
  public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* Current();

    // Start-up. true = run the application's message loop; false = go straight to exit.
    virtual bool InitInstance() { return true; }
    // The message filter that every message loop of the layer on the application's
    // thread runs first; true = consumed (not dispatched). The default offers the
    // message to its window and the parents (WalkPreTranslateTree), which includes
    // the dialogs' dialog-key processing. An override that returns false without
    // calling the default has the message dispatched without dialog-key processing.
    virtual bool PreTranslateMessage(MSG& msg);
    // Exit; the default returns the code of the WM_QUIT that ended the loop (0 if none).
    virtual int ExitInstance() { return exitCode_; }

    // The thread that created the object: its message loops use this filter.
    DWORD ThreadId() const { return threadId_; }

  protected:
    int ExitCode() const { return exitCode_; }

  private:
    friend int RunApplication(Application& app);
    DWORD threadId_;
    int exitCode_ = 0;
};

// InitInstance; if it returns true, the message loop until WM_QUIT; then
// ExitInstance, whose value is returned.
int RunApplication(Application& app);

}  // namespace fw
