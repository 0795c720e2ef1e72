// Closing the main window while the stand-in defrag service really runs a scan: the
// window reads the running job at start, asks before it stops it, resumes it on No
// and stops it on Yes.
#include "app/MainWindow.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/DefragApp.h"
#include "framework/MessageLoop.h"
#include "service/DefragClient.h"
#include "service/JobCommandSender.h"
#include "service/JobRecords.h"
#include "res/resource.h"
#include "tests/service/StandInService.h"
#include "tests/support/MessageBoxAnswer.h"
#include "ui/widgets/SharedBrushes.h"
#include "ui/widgets/SharedFonts.h"

namespace svc = vantrel::service;

namespace {

// Slow enough that the scan is still running while the test closes the window.
constexpr std::uint32_t kSlowScanMilliseconds = 60000;

class FixedCells final : public svc::CellCountSource {
  public:
    int GetCellCount() override { return 1472; }
};

using vantrel::testsupport::MessageBoxAnswer;

// Closes the way a user does: the title-bar close button (which posts the system
// close) or the system close itself; either way the confirmation runs in here.
void CloseWindow(HWND window, bool throughButton) {
    if (throughButton) {
        SendMessageW(window, WM_COMMAND, IDC_MAIN_CLOSE, 0);
        fw::DispatchPendingMessages();
    } else {
        SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

long JobState() {
    long state = -1, detail = -1;
    svc::GetJobState(state, detail);
    return state;
}

TEST(MainWindowWithService, CloseAsksResumesOnNoAndStopsOnYes) {
    vantrel::testsupport::StandInService standIn(VANTREL_DEFRAGSVC_RELATIVE);
    ASSERT_TRUE(standIn.Uninstall());
    ASSERT_TRUE(standIn.Install(kSlowScanMilliseconds));

    CDefragApp app;
    app.Options.skipSplash = true;
    ASSERT_TRUE(app.Binding.Bind());
    BuildSharedFonts();
    BuildSharedBrushes();

    {
        // Start a scan the way the pages do: the availability check starts the service.
        svc::ServiceRecord record;
        FixedCells cells;
        ASSERT_EQ(1, svc::SendJobCommand(record, cells, svc::JobCommandCode::Reset, L'C', 0));
        ASSERT_EQ(1, svc::SendJobCommand(record, cells, svc::JobCommandCode::Analyze, L'C', 0));
    }
    for (int i = 0; i < 100 && JobState() != svc::JobState::Running; ++i) {
        Sleep(50);
    }
    ASSERT_EQ(svc::JobState::Running, JobState());

    {
        CDlgMainDefrag window(app);
        ASSERT_TRUE(window.CreateModeless(nullptr));
        EXPECT_EQ(svc::JobState::Running, window.JobState()) << "read at initialisation";

        // The title-bar close button and the system close both ask first; No
        // leaves the scan running (no reset reached the service).
        for (const bool throughButton : {true, false}) {
            MessageBoxAnswer no(window.Handle(), IDNO);
            CloseWindow(window.Handle(), throughButton);
            EXPECT_TRUE(no.Answered()) << "asked (button: " << throughButton << ")";
            fw::DispatchPendingMessages();
            EXPECT_FALSE(window.HasEnded());
            long state = -1, detail = -1;
            svc::GetJobState(state, detail);
            EXPECT_EQ(svc::JobState::Running, state) << "No resumes the scan";
            EXPECT_EQ(0, detail) << "the scan is no longer paused";
        }

        {
            MessageBoxAnswer yes(window.Handle(), IDYES);
            CloseWindow(window.Handle(), true);
            EXPECT_TRUE(yes.Answered());
        }
        fw::DispatchPendingMessages();
        EXPECT_TRUE(window.HasEnded());
        // Yes stopped the job, and the close sent Reset after it: no job is left running.
        EXPECT_NE(svc::JobState::Running, JobState());

        window.Destroy();
    }
    // With the window gone its service record has closed the service handle, so the
    // service can be deleted.
    EXPECT_TRUE(standIn.Uninstall());
}

}  // namespace
