// The application object: decides at start-up whether this process may run, registers
// the logon entry, reads the command line, asks for elevation where Windows needs it,
// binds to the defrag service and runs the main window modally. It owns, for the life
// of the process, the service binding, the settings with the drive history, and the
// drive items.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "app/SingleInstance.h"
#include "app/StartupOptions.h"
#include "flows/MapCache.h"
#include "framework/Application.h"
#include "service/ServiceBinding.h"
#include "state/DriveItems.h"
#include "state/ProgramSettings.h"

class CDefragApp : public fw::Application {
  public:
    CDefragApp();
    ~CDefragApp() override;

    // The one instance of the process.
    static CDefragApp& Instance();

    bool InitInstance() override;
    bool PreTranslateMessage(MSG& msg) override;

    // Asks the shell to start this program again with administrator rights and
    // `parameters`, after releasing the single-instance lock so that the new copy
    // can take it. True when the shell accepted (the caller then ends this process);
    // false when the user declined or the start failed. Any thread.
    bool RelaunchElevated(const std::wstring& parameters);

    // Whether this process is the session's instance of the program: only its main
    // window takes the hand-over of a second start.
    bool HoldsInstanceLock() const { return instanceLock_.Held(); }

    // Application title, string 57344: caption of the main window and message boxes.
    std::wstring Title;
    vantrel::service::ServiceBinding Binding;
    ProgramSettings Settings;
    DriveItems Drives;
    // The last volume map the progress page fetched, handed back to the service
    // when an optimization of the same drive starts.
    MapCache VolumeMapCache;
    StartupOptions Options;
    std::vector<std::wstring> Arguments;  // the command line without the program path
    // While false the main window refuses to become visible (reminder mode). The
    // notification popup's thread sets it again, hence atomic.
    std::atomic<bool> MainWindowRelease{true};
    // Reminder text shown by the notification popup.
    std::wstring MessageText;

  private:
    SingleInstanceLock instanceLock_;
};
