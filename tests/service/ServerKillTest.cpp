// A server killed in the middle of a job: the client keeps answering 0, keeps
// the caller's last values, and nothing hangs. A program of its own, so that its
// broken pipe connection cannot outlive it: under Wine a client whose connection
// broke keeps failing (1727) for a while even once a new server is up.
#include "service/CallGuard.h"
#include "service/DefragClient.h"
#include "service/ServiceBinding.h"
#include "tests/service/StandInService.h"

#include <gtest/gtest.h>

#include <memory>

namespace vantrel::service {
namespace {

constexpr int kCells = 1472;
constexpr std::uint32_t kTestPaceMilliseconds = 1500;

testsupport::StandInService& StandIn() {
    static testsupport::StandInService service(VANTREL_DEFRAGSVC_RELATIVE);
    return service;
}

// Wine's service manager does not notice a service process that was killed, so
// the server killed here is the same program run in the foreground.
TEST(ServerKilled, MidJobLeavesTheClientAnsweringZero) {
    ServiceBinding binding;
    ASSERT_TRUE(binding.Bind());
    if (StandIn().IsInstalled()) {
        ASSERT_TRUE(StandIn().StopAndWait());
    }
    long state = JobState::Idle;
    long detail = 0;
    // The process of the stopped service may still hold this program's pipe
    // connection for a moment; wait until calls fail for want of a server.
    for (int attempt = 0; attempt < 200; ++attempt) {
        GetJobState(state, detail);
        if (LastGuardedExceptionCode() != 0) {
            break;
        }
        Sleep(50);
    }
    struct Server {
        HANDLE process;
        ~Server() {
            if (process != nullptr) {
                TerminateProcess(process, 9);
                WaitForSingleObject(process, 10000);
                CloseHandle(process);
            }
        }
    } server{StandIn().LaunchInConsole(kTestPaceMilliseconds)};
    ASSERT_NE(server.process, nullptr);
    for (int attempt = 0; attempt < 200 && GetJobState(state, detail) == 0; ++attempt) {
        Sleep(50);
    }
    ASSERT_EQ(SendJobCommandRecord(MakeJobCommand(JobCommandCode::Reset, L'C', kCells, 0)), 1)
        << "no answer from the server in the foreground; last code " << LastGuardedExceptionCode()
        << ", process alive " << (WaitForSingleObject(server.process, 0) == WAIT_TIMEOUT);
    ASSERT_EQ(SendJobCommandRecord(MakeJobCommand(JobCommandCode::Analyze, L'C', kCells, 0)), 1);
    ASSERT_EQ(GetJobState(state, detail), 1);
    ASSERT_EQ(state, JobState::Running);
    ASSERT_TRUE(TerminateProcess(server.process, 9));
    ASSERT_EQ(WaitForSingleObject(server.process, 10000), WAIT_OBJECT_0);

    for (int call = 0; call < 20; ++call) {
        EXPECT_EQ(GetJobState(state, detail), 0);
        auto statistics = std::make_unique<JobStatistics>();
        EXPECT_EQ(GetJobStatistics(*statistics), 0);
        EXPECT_EQ(statistics->TotalClusters, 0u);
        long count = 0;
        EXPECT_EQ(GetFileCount(count), 0);
        EXPECT_EQ(count, 0);
        FileEntry entry;
        EXPECT_EQ(GetFileRecord(0, entry), 0);
        EXPECT_TRUE(entry.Path.empty());
        EXPECT_EQ(StopJob(), 0);
    }
    EXPECT_EQ(state, JobState::Running) << "a failed call leaves the last answer";
}

}  // namespace
}  // namespace vantrel::service
