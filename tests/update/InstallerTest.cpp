// The NSIS installer in this Wine prefix: a silent install that installs and starts the
// defrag service, a silent reinstall over a running copy, a silent uninstall that
// removes the service and keeps the user's history, an update that keeps the
// service's simulated drives and brings back a service that was missing, and setups
// that leave a program or a service running a job alone.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "service/DefragClient.h"
#include "service/ServiceBinding.h"
#include "tests/update/InstalledProgram.h"
#include "tests/update/LoopbackServer.h"

using namespace vantrel::testsupport;

namespace {

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantrel";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kUserKey[] = L"Software\\Brenlow\\Vantrel";
constexpr wchar_t kServiceParameters[] =
    L"SYSTEM\\CurrentControlSet\\Services\\Vantrel\\Parameters";
constexpr DWORD kInstallerLimitMs = 60000;

// The defrag service's state (SERVICE_RUNNING, ...), or 0 when it is not registered.
DWORD ServiceState() {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (manager == nullptr) {
        return 0;
    }
    SC_HANDLE service = OpenServiceW(manager, L"Vantrel", SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    const bool read = service != nullptr && QueryServiceStatus(service, &status);
    if (service != nullptr) {
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return read ? status.dwCurrentState : 0;
}

// The service's "Simulate" value; -1 when there is none.
long SimulateValue() {
    DWORD value = 0;
    DWORD size = sizeof value;
    return RegGetValueW(HKEY_LOCAL_MACHINE, kServiceParameters, L"Simulate", RRF_RT_REG_DWORD,
                        nullptr, &value, &size) == ERROR_SUCCESS
               ? static_cast<long>(value)
               : -1;
}

std::wstring StartMenuShortcut() {
    wchar_t programs[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, programs);
    return std::wstring(programs) + L"\\Vantrel.lnk";
}

DWORD RunInstaller(const wchar_t* name, const wchar_t* switches) {
    return RunAndWait(L"\"" + TestInstaller(name) + L"\" " + switches, kInstallerLimitMs);
}

class Installer : public testing::Test {
  protected:
    static void SetUpTestSuite() { UninstallIfPresent(); }
    static void TearDownTestSuite() { UninstallIfPresent(); }
};

TEST_F(Installer, SilentInstallThenReinstallOverARunningCopyThenUninstall) {
    LogonEntrySetAside logonEntry;
    // Install: the program files, the shortcut, the Add/Remove entry and the defrag
    // service, started, on this machine's drives; no logon entry (the program writes
    // that itself).
    ASSERT_EQ(0u, RunInstaller(L"vantrel_setup_old.exe", L"/S"));
    const std::wstring folder = InstallFolder();
    EXPECT_EQ(kOldVersion, FileVersionOf(InstalledProgram()));
    EXPECT_TRUE(FileExists(folder + L"\\update.dll"));
    EXPECT_TRUE(FileExists(folder + L"\\uninstall.exe"));
    EXPECT_TRUE(FileExists(folder + L"\\defragsvc.exe"));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), ServiceState());
    EXPECT_EQ(0, SimulateValue());
    EXPECT_TRUE(FileExists(StartMenuShortcut()));
    EXPECT_EQ(L"Vantrel", RegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"));
    EXPECT_EQ(kOldVersion, RegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"));
    EXPECT_EQ(folder, RegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation"));
    EXPECT_FALSE(RegistryValueExists(HKEY_LOCAL_MACHINE, kRunKey, L"Vantrel"));

    // Reinstall with the program's own switch while the program runs: it is ended and
    // replaced, and nothing is shown.
    {
        RunningProgram program;
        ASSERT_TRUE(program.Start(InstalledProgram()));
        ASSERT_NE(nullptr, program.WaitForMainWindow(30000));
        EXPECT_EQ(0u, RunInstaller(L"vantrel_setup_new.exe", L"/verysilent"));
        EXPECT_TRUE(program.WaitForExit(0));
    }
    EXPECT_EQ(kNextVersion, FileVersionOf(InstalledProgram()));
    EXPECT_EQ(kNextVersion, RegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"));

    // Uninstall: files, shortcut, Add/Remove entry and logon entry go; the user's
    // history stays. The uninstaller runs from a copy of itself, so its published
    // results are what the test waits for.
    HKEY history = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_CURRENT_USER,
                              (std::wstring(kUserKey) + L"\\InstallerTestHistory").c_str(), 0,
                              nullptr, 0, KEY_SET_VALUE, nullptr, &history, nullptr));
    const wchar_t date[] = L"2009-03-07";
    RegSetValueExW(history, L"LastScanDate", 0, REG_SZ, reinterpret_cast<const BYTE*>(date),
                   sizeof(date));
    RegCloseKey(history);
    ASSERT_TRUE(RegistryValueExists(HKEY_LOCAL_MACHINE, kRunKey, L"Vantrel"))
        << "the program writes its logon entry when it starts";

    ASSERT_EQ(0u, RunAndWait(L"\"" + folder + L"\\uninstall.exe\" /S", kInstallerLimitMs));
    EXPECT_TRUE(WaitFor(
        [&] {
            return !FileExists(folder) &&
                   !RegistryValueExists(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName");
        },
        kInstallerLimitMs));
    EXPECT_FALSE(FileExists(StartMenuShortcut()));
    EXPECT_FALSE(RegistryValueExists(HKEY_LOCAL_MACHINE, kRunKey, L"Vantrel"));
    EXPECT_EQ(0u, ServiceState()) << "the service is removed";
    EXPECT_EQ(L"2009-03-07",
              RegistryText(HKEY_CURRENT_USER,
                           (std::wstring(kUserKey) + L"\\InstallerTestHistory").c_str(),
                           L"LastScanDate"));
    RegDeleteKeyW(HKEY_CURRENT_USER, (std::wstring(kUserKey) + L"\\InstallerTestHistory").c_str());
}

// A Vantrel of this session that runs a job, as a setup sees it: the single-instance
// mutex, and a main window (a dialog titled "Vantrel" with the main-window mark) that
// answers the setup's request to close with "a job runs". On a thread of its own, so
// that it answers while the test waits for the setup.
class ProgramRunningAJob {
  public:
    ProgramRunningAJob()
        : thread_([this] {
              HANDLE mutex = CreateMutexW(nullptr, FALSE,
                                          L"VANTREL_MUTEX_779dc539-376f-41b0-ad2c-3b9d56fa68bb");
              HWND window = CreateWindowExW(0, L"#32770", L"Vantrel", WS_POPUP, 0, 0, 10, 10,
                                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
              SetPropW(window, L"Vantrel.MainWindow", reinterpret_cast<HANDLE>(1));
              SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
              previous_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                  window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProgramRunningAJob::Answer)));
              threadId_ = GetCurrentThreadId();
              window_ = window;
              MSG msg;
              while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                  DispatchMessageW(&msg);
              }
              RemovePropW(window, L"Vantrel.MainWindow");
              DestroyWindow(window);
              CloseHandle(mutex);
          }) {
        WaitFor([this] { return window_.load() != nullptr; }, 10000);
    }
    ~ProgramRunningAJob() {
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    ProgramRunningAJob(const ProgramRunningAJob&) = delete;
    ProgramRunningAJob& operator=(const ProgramRunningAJob&) = delete;

    int TimesAsked() const { return asked_; }

  private:
    static LRESULT CALLBACK Answer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self =
            reinterpret_cast<ProgramRunningAJob*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == RegisterWindowMessageW(L"Vantrel.CloseForSetup")) {
            ++self->asked_;
            return 2;
        }
        return CallWindowProcW(self->previous_, window, message, wParam, lParam);
    }

    std::atomic<HWND> window_{nullptr};
    std::atomic<DWORD> threadId_{0};
    std::atomic<int> asked_{0};
    WNDPROC previous_ = nullptr;
    std::thread thread_;
};

TEST_F(Installer, ASetupLeavesAProgramRunningAJobAloneAndChangesNothing) {
    LogonEntrySetAside logonEntry;
    ASSERT_EQ(0u, RunInstaller(L"vantrel_setup_old.exe", L"/S"));
    const std::wstring folder = InstallFolder();
    {
        ProgramRunningAJob program;
        EXPECT_EQ(2u, RunInstaller(L"vantrel_setup_new.exe", L"/verysilent"))
            << "a silent setup that cannot go on ends with a non-zero exit code";
        EXPECT_EQ(kOldVersion, FileVersionOf(InstalledProgram())) << "and changes nothing";
        EXPECT_EQ(kOldVersion, RegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"));
        EXPECT_EQ(2u, RunAndWait(L"\"" + folder + L"\\uninstall.exe\" /S _?=" + folder,
                                 kInstallerLimitMs))
            << "nor does the uninstaller end the job";
        EXPECT_TRUE(FileExists(InstalledProgram()));
        EXPECT_EQ(2, program.TimesAsked());
    }
    UninstallIfPresent();
}

TEST_F(Installer, AnUpdateKeepsTheSimulatedDrivesAndBringsBackAMissingService) {
    LogonEntrySetAside logonEntry;
    ASSERT_EQ(0u, RunInstaller(L"vantrel_setup_old.exe", L"/S /simulate"));
    const std::wstring folder = InstallFolder();
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), ServiceState());
    EXPECT_EQ(1, SimulateValue());

    // The program's update passes only "/verysilent": the service is replaced, started
    // again, and keeps its simulated drives.
    ASSERT_EQ(0u, RunInstaller(L"vantrel_setup_new.exe", L"/verysilent"));
    EXPECT_EQ(kNextVersion, FileVersionOf(InstalledProgram()));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), ServiceState());
    EXPECT_EQ(1, SimulateValue());

    // An installation from the days when the service was optional, without it.
    ASSERT_EQ(0u, RunAndWait(L"\"" + folder + L"\\defragsvc.exe\" --uninstall", kInstallerLimitMs));
    ASSERT_TRUE(DeleteFileW((folder + L"\\defragsvc.exe").c_str()));
    ASSERT_EQ(0u, ServiceState());
    ASSERT_EQ(0u, RunInstaller(L"vantrel_setup_new.exe", L"/verysilent"));
    EXPECT_TRUE(FileExists(folder + L"\\defragsvc.exe"));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), ServiceState());

    UninstallIfPresent();
    EXPECT_EQ(0u, ServiceState());
    EXPECT_FALSE(FileExists(folder));
}

TEST_F(Installer, ASetupLeavesAServiceRunningAJobAloneAndChangesNothing) {
    namespace svc = vantrel::service;
    LogonEntrySetAside logonEntry;
    ASSERT_EQ(0u, RunInstaller(L"vantrel_setup_old.exe", L"/S /simulate"));
    const std::wstring folder = InstallFolder();
    // Every job holds at half its work until the value goes, whatever ends the test.
    struct HoldValue {
        ~HoldValue() {
            RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kServiceParameters, L"JobHoldPercent");
        }
    } holdValue;
    const DWORD hold = 50;
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_LOCAL_MACHINE, kServiceParameters,
                                             L"JobHoldPercent", REG_DWORD, &hold, sizeof hold));
    svc::ServiceBinding binding;
    ASSERT_TRUE(binding.Bind());
    // Another client of the service (no program runs) starts a job on a simulated drive.
    ASSERT_EQ(1, svc::SendJobCommandRecord(
                     svc::MakeJobCommand(svc::JobCommandCode::Analyze, L'Y', 1000, 0)));

    EXPECT_EQ(2u, RunInstaller(L"vantrel_setup_new.exe", L"/verysilent"));
    EXPECT_EQ(kOldVersion, FileVersionOf(InstalledProgram())) << "the setup changed nothing";
    EXPECT_EQ(2u,
              RunAndWait(L"\"" + folder + L"\\uninstall.exe\" /S _?=" + folder, kInstallerLimitMs))
        << "nor does the uninstaller end the job";
    EXPECT_TRUE(FileExists(InstalledProgram()));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), ServiceState());
    long state = svc::JobState::Idle;
    long detail = 0;
    svc::GetJobState(state, detail);
    EXPECT_EQ(svc::JobState::Running, state) << "the job goes on";

    svc::SendJobCommandRecord(svc::MakeJobCommand(svc::JobCommandCode::Reset, L'Y', 1000, 0));
    UninstallIfPresent();
    EXPECT_EQ(0u, ServiceState());
}

}  // namespace
