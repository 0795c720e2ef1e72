// The progress page in a real main window, for the tests over a scripted service
// (ProgressPageTest) and over the defrag service (ProgressRoadTest, MachineRoadTest).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/DefragApp.h"
#include "app/MainWindow.h"
#include "flows/DiskAnalyzing.h"
#include "flows/HDDScanContainer.h"
#include "framework/MessageLoop.h"
#include "res/resource.h"
#include "service/JobRecords.h"
#include "tests/framework/TestSupport.h"
#include "tests/support/MessageBoxAnswer.h"
#include "tests/support/StandInWindowTest.h"

namespace progress_test {

namespace svc = vantrel::service;
using vantrel::testsupport::FakeServiceWindowTest;
using vantrel::testsupport::MessageBoxAnswer;
using vantrel::testsupport::StandInWindowTest;

// The results pages read every fragmented file's record (up to 2,500 of 64 KiB)
// before they are shown, which takes a while under Wine.
inline constexpr DWORD kJobTimeoutMs = 180000;
inline constexpr wchar_t kLabel[] = L"(C:) Test";
// The results pages save the drive history here rather than in the user's settings.
inline constexpr wchar_t kHistoryKey[] = L"Software\\Brenlow\\VantrelProgressTests";

inline bool Pump(const std::function<bool()>& done, DWORD timeoutMs = kJobTimeoutMs) {
    return fw::test::PumpUntil(done, timeoutMs);
}

// How many cells of the map show another state than in `before`.
inline int ChangedCells(const std::vector<svc::MapCell>& before, const CVolmeMap& map) {
    int changed = 0;
    for (std::size_t i = 0; i < before.size() && i < map.Cells().size(); ++i) {
        changed += svc::CellStateOf(before[i]) != svc::CellStateOf(map.Cells()[i]) ? 1 : 0;
    }
    return changed;
}

// The page in a main window over the fixture's service (Base).
template <typename Base>
class ProgressFixture : public Base {
  protected:
    using Base::app_;
    using Base::OpenWindow;
    using Base::Owner;
    using Base::Pages;
    using Base::window_;

    static void SetUpTestSuite() { Base::StartSuite(kHistoryKey); }
    static void TearDownTestSuite() { Base::EndSuite(kHistoryKey); }

    void SetUp() override {
        ASSERT_TRUE(app_ != nullptr);
        app_->Settings.DriveHistory.clear();
        app_->Settings.DriveHistory.Add(MakeDriveRecord(L'C'));
        app_->Drives.CurrentDriveLetter = L'C';
        OpenWindow();
    }

    void TearDown() override { Base::CloseWindow(); }

    CDlgDiskAnalyzing& Page() { return Pages().ProgressPage(); }
    bool LinksLocked() const { return IsRectEmpty(&window_->AboutArea()) != FALSE; }
    bool Shows(int id) { return (GetWindowLongPtrW(Page().Item(id), GWL_STYLE) & WS_VISIBLE) != 0; }

    // As the drive selection page does: start the job, then show the progress page.
    bool StartJob(JobMode mode) {
        const bool started = Page().StartJob(mode, L'C', kLabel);
        if (started) {
            Pages().ShowPage(Page());
        }
        return started;
    }

    // Pumps until the page polls a running job with its stop button on show.
    bool WaitUntilRunning(int stopButton) {
        return Pump([&] {
            return Page().Polling() && Shows(stopButton) &&
                   IsWindowEnabled(Page().Item(stopButton)) && LinksLocked();
        });
    }

    // Pumps until `page` is the visible page; a question about results without
    // fragmented files, should it come, is answered Yes.
    bool WaitForPage(fw::Window& page) {
        MessageBoxAnswer noFragmentedFiles(Owner(), IDYES, kJobTimeoutMs);
        return Pump([&] { return Pages().VisiblePage() == &page; });
    }
};

// Over a scripted service: a job runs until the test lets it end.
class ProgressPageTest : public ProgressFixture<FakeServiceWindowTest> {
  protected:
    void SetUp() override {
        service_.pollsPerJob = 0;
        service_.FillTypicalJob();
        ProgressFixture::SetUp();
    }

    // The map the service answers: every cell in `state`.
    void ServeMap(svc::CellState state) {
        svc::MapCell cell{};
        switch (state) {
            case svc::CellState::Used:
                cell.Used = 5;
                break;
            case svc::CellState::Optimized:
                cell.Optimized = 5;
                break;
            case svc::CellState::Fragmented:
                cell.Fragmented = 5;
                break;
            case svc::CellState::Mft:
                cell.Mft = 5;
                break;
            default:
                cell.Free = 5;
                break;
        }
        service_.map.assign(1472, cell);
    }
};

// Over the service on simulated drives, with the real waits of a job start.
class ProgressRoadTest : public ProgressFixture<StandInWindowTest> {};

// Over the service on this machine's drives (Wine's, which it cannot work on).
class MachineRoadTest : public ProgressFixture<vantrel::testsupport::MachineServiceWindowTest> {};

}  // namespace progress_test
