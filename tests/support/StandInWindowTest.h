// A real main window for the suites that walk the pages: over a scripted service in
// memory (FakeServiceWindowTest: no real-time waits, nothing shared with other test
// programs), or over the defrag service running real jobs on simulated drives
// (StandInWindowTest: the service is installed afresh for the suite at a fast pace)
// or on this machine's drives (MachineServiceWindowTest). One application object
// serves every test of a suite, and each test opens its own window.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "app/DefragApp.h"
#include "app/MainWindow.h"
#include "flows/HDDScanContainer.h"
#include "framework/MessageLoop.h"
#include "service/DefragClient.h"
#include "service/JobRecords.h"
#include "state/RegistryKey.h"
#include "tests/service/StandInService.h"
#include "tests/support/FakeJobService.h"
#include "ui/widgets/SharedBrushes.h"
#include "ui/widgets/SharedFonts.h"

namespace vantrel::testsupport {

// A scan of this pace ends while the job start still waits; the optimization passes
// take 1.3 and 0.8 times as long.
inline constexpr std::uint32_t kFastJobMs = 1500;

// How long the stand-in service's next job takes.
inline void SetPace(std::uint32_t milliseconds) {
    RegistryKey key(kRegistryReadWriteAccess);
    ASSERT_TRUE(key.OpenOrCreate(HKEY_LOCAL_MACHINE,
                                 L"SYSTEM\\CurrentControlSet\\Services\\Vantrel\\Parameters"));
    ASSERT_TRUE(key.WriteDword(L"JobMilliseconds", milliseconds));
}

// The service's job state, asked directly; its detail value (the paused flag) too.
inline long ServiceJobState(long* detail = nullptr) {
    long state = -1, paused = -1;
    vantrel::service::GetJobState(state, paused);
    if (detail != nullptr) {
        *detail = paused;
    }
    return state;
}

class MainWindowTestBase : public testing::Test {
  protected:
    // Builds the application object. With `historyKey` the drive history goes under
    // that key of HKCU instead of the user's settings.
    static void StartSuite(const wchar_t* historyKey) {
        app_ = std::make_unique<CDefragApp>();
        app_->Options.skipSplash = true;
        if (historyKey != nullptr) {
            app_->Settings.KeyPath = historyKey;
        }
        BuildSharedFonts();
        BuildSharedBrushes();
    }

    static void EndSuite(const wchar_t* historyKey) {
        if (historyKey != nullptr) {
            RegDeleteTreeW(HKEY_CURRENT_USER, historyKey);
        }
        app_.reset();
    }

    // Opens the window over `service` (null: the real service), its pages asking
    // `drives` about the machine's drives (null: the machine).
    void OpenWindow(vantrel::service::JobService* service, DriveProbe* drives = nullptr) {
        ASSERT_TRUE(app_ != nullptr);
        window_ = std::make_unique<CDlgMainDefrag>(*app_, service, drives);
        ASSERT_TRUE(window_->CreateModeless(nullptr));
        window_->Show(SW_SHOWNOACTIVATE);
        fw::DispatchPendingMessages();
    }

    void CloseWindow() {
        if (window_ != nullptr) {
            window_->Destroy();
            window_.reset();
        }
    }

    CDlgHDDScan& Pages() { return window_->Pages(); }
    HWND Owner() const { return window_->Handle(); }

    inline static std::unique_ptr<CDefragApp> app_;
    std::unique_ptr<CDlgMainDefrag> window_;
};

// The window over a scripted service of the test's own (service_).
class FakeServiceWindowTest : public MainWindowTestBase {
  protected:
    void OpenWindow() { MainWindowTestBase::OpenWindow(&service_); }

    FakeJobService service_;
};

// The window over the defrag service on simulated drives, installed for the suite.
class StandInWindowTest : public MainWindowTestBase {
  protected:
    static void StartSuite(const wchar_t* historyKey, bool simulated = true) {
        standIn_ = std::make_unique<StandInService>(VANTREL_DEFRAGSVC_RELATIVE);
        ASSERT_TRUE(standIn_->Uninstall());
        ASSERT_TRUE(simulated ? standIn_->Install(kFastJobMs)
                              : standIn_->RunTool(L"--install") == 0);
        MainWindowTestBase::StartSuite(historyKey);
        ASSERT_TRUE(app_->Binding.Bind());
    }

    static void EndSuite(const wchar_t* historyKey) {
        MainWindowTestBase::EndSuite(historyKey);
        EXPECT_TRUE(standIn_->Uninstall());
        standIn_.reset();
    }

    void OpenWindow() { MainWindowTestBase::OpenWindow(nullptr); }

    // Whatever job a test left running ends here, with the window.
    void CloseWindow() {
        namespace svc = vantrel::service;
        svc::SendJobCommandRecord(svc::MakeJobCommand(svc::JobCommandCode::Reset, L'C', 1472, 0));
        MainWindowTestBase::CloseWindow();
    }

    inline static std::unique_ptr<StandInService> standIn_;
};

// The window over the defrag service on this machine's drives, installed for the suite.
class MachineServiceWindowTest : public StandInWindowTest {
  protected:
    static void StartSuite(const wchar_t* historyKey) {
        StandInWindowTest::StartSuite(historyKey, false);
    }
};

}  // namespace vantrel::testsupport
