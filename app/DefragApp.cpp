#include "app/DefragApp.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/AdminCheck.h"
#include "app/LogonEntry.h"
#include "app/MainWindow.h"
#include "app/OsVersion.h"
#include "res/resource.h"
#include "state/SettingsStore.h"
#include "ui/widgets/SharedBrushes.h"
#include "ui/widgets/SharedFonts.h"
#include "ui/format/StringPool.h"

namespace {

CDefragApp* g_app = nullptr;

// An elevated copy carries this mark in its environment so that it never asks again
// (a relaunch that still has no administrator rights would otherwise loop).
constexpr wchar_t kElevatedCopyMark[] = L"VANTREL_ELEVATED_COPY";

}  // namespace

CDefragApp::CDefragApp() : Title(LoadPooledString(IDS_APP_TITLE)) {
    g_app = this;
}

CDefragApp::~CDefragApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

CDefragApp& CDefragApp::Instance() {
    return *g_app;
}

bool CDefragApp::InitInstance() {
    if (!instanceLock_.Acquire()) {
        HandOverToRunningInstance();
        return false;
    }

    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);

    Binding.Bind();
    BuildSharedFonts();
    BuildSharedBrushes();
    LoadSettings(Settings);

    EnsureLogonEntry(HKEY_LOCAL_MACHINE, kRunKeyPath, kRunValueName, BuildLogonCommandLine());

    Arguments = CommandLineArguments(GetCommandLineW());
    Options = ParseStartupOptions(Arguments);
    MainWindowRelease = Options.releaseMainWindow;

    const bool elevatedCopy = GetEnvironmentVariableW(kElevatedCopyMark, nullptr, 0) != 0;
    if (ShouldRequestElevation(OsMajorVersion(), Options.reminderMode, IsUserAdmin(),
                               elevatedCopy)) {
        // Accepted: the elevated copy takes over. Refused: the program ends without a
        // window. The switches are not passed on.
        if (RelaunchElevated(L"")) {
            ExitProcess(0);
        }
        return false;
    }

    CDlgMainDefrag mainWindow(*this);
    mainWindow.RunModal(nullptr);
    return false;
}

bool CDefragApp::RelaunchElevated(const std::wstring& parameters) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    // Held any longer, the lock would make the copy a second start: it would hand over
    // to this process, which is about to end, and end too.
    instanceLock_.Release();
    SetEnvironmentVariableW(kElevatedCopyMark, L"1");
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"runas", path, parameters.c_str(), L"", SW_SHOWNORMAL));
    return result > 32;
}

bool CDefragApp::PreTranslateMessage(MSG& msg) {
    // Escape never reaches dialog-key processing, so no window closes or cancels on it.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        return false;
    }
    return fw::Application::PreTranslateMessage(msg);
}
