// Takes the shell's place while a test runs, so that no browser starts: records each
// launch and answers as told.
#pragma once

#include <windows.h>

#include <vector>

#include "reports/ReportOpener.h"

class RecordingLauncher {
  public:
    RecordingLauncher() : previous_(SetShellLauncher(&Record)) {
        launches().clear();
        starts() = true;
    }
    ~RecordingLauncher() { SetShellLauncher(previous_); }
    RecordingLauncher(const RecordingLauncher&) = delete;
    RecordingLauncher& operator=(const RecordingLauncher&) = delete;

    const std::vector<ShellLaunch>& Launches() const { return launches(); }
    // Whether the recorded launches "start"; false makes every one fail.
    void SetStarts(bool value) { starts() = value; }
    // Runs during the next launch, inside the report writer.
    void SetDuringLaunch(void (*action)()) { during() = action; }

  private:
    static bool Record(HWND, const ShellLaunch& launch) {
        launches().push_back(launch);
        if (void (*action)() = during()) {
            during() = nullptr;
            action();
        }
        return starts();
    }
    static std::vector<ShellLaunch>& launches() {
        static std::vector<ShellLaunch> recorded;
        return recorded;
    }
    static bool& starts() {
        static bool value = true;
        return value;
    }
    static void (*&during())() {
        static void (*action)() = nullptr;
        return action;
    }

    ShellLauncher previous_;
};
