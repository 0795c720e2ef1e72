// The job runner on its worker thread: what a caller reads while a job runs, when
// it is cancelled, when its volume fails, and when no job can be made. Waits on
// published snapshots, never on the clock.
#include "engine/JobRunner.h"
#include "tests/engine/SimSketch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace vantrel::engine::test {
namespace {

using namespace std::chrono_literals;

// Polls the runner's snapshots until `done` holds; a hung job fails the test.
template <typename Done>
std::shared_ptr<const JobSnapshot> WaitFor(const JobRunner& runner, Done done) {
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    auto snapshot = runner.Current();
    while (!done(*snapshot) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(2ms);
        snapshot = runner.Current();
    }
    return snapshot;
}

class JobRunnerTest : public testing::Test {
  protected:
    JobRunnerTest() : volume_(Draw("AA.A.BB.B.CC.C..................")) {}

    JobRunner::Factory PassOver(SimVolume& volume) {
        return [this, &volume] {
            return std::make_unique<Job>(volume, memory_, JobKind::Optimization, 1, 4);
        };
    }

    std::unique_ptr<SimVolume> volume_;
    VolumeMemory memory_;
    JobRunner runner_;
};

TEST_F(JobRunnerTest, FinishedIsToldBeforeItIsSeenAndCarriesTheRecords) {
    std::atomic<bool> told{false};
    std::atomic<bool> seenBeforeTold{false};
    ASSERT_TRUE(
        runner_.Start(PassOver(*volume_), {}, {u'D', u"Data"}, [&](const JobSnapshot& snapshot) {
            seenBeforeTold = runner_.Current()->state == RunState::Finished;
            told = snapshot.state == RunState::Finished;
        }));
    EXPECT_FALSE(runner_.Start(PassOver(*volume_), {})) << "one job at a time";
    const auto finished =
        WaitFor(runner_, [](const JobSnapshot& s) { return s.state == RunState::Finished; });
    ASSERT_EQ(finished->state, RunState::Finished);
    EXPECT_TRUE(told);
    EXPECT_FALSE(seenBeforeTold);
    EXPECT_EQ(finished->volume.letter, u'D');
    ASSERT_TRUE(finished->results);
    EXPECT_EQ(finished->results->outcomes.size(), finished->figures.counts.fragmentedFiles);
    EXPECT_EQ(finished->figures.defragmentedFiles, 3u);
    EXPECT_EQ(finished->results->table.PathOf(finished->results->outcomes[0].file), u"\\A.dat");
}

TEST_F(JobRunnerTest, APausedJobHoldsAndACancelledOneLeavesNothing) {
    std::atomic<bool> told{false};
    // Slow enough that the job is still running when it is paused.
    ASSERT_TRUE(runner_.Start(PassOver(*volume_), {60000, {}}, {},
                              [&](const JobSnapshot&) { told = true; }));
    ASSERT_TRUE(runner_.Pause());
    EXPECT_FALSE(runner_.Pause());
    const auto paused = WaitFor(runner_, [](const JobSnapshot& s) { return s.paused; });
    EXPECT_TRUE(paused->paused);
    EXPECT_EQ(paused->state, RunState::Running);
    ASSERT_TRUE(runner_.Resume());
    EXPECT_TRUE(runner_.Cancel());
    EXPECT_EQ(runner_.Current()->state, RunState::Idle);
    EXPECT_FALSE(told) << "a cancelled job has no end to tell";
    EXPECT_FALSE(runner_.Stop()) << "nothing left to stop";
    EXPECT_EQ(volume_->Audit(), "");
}

TEST_F(JobRunnerTest, AStoppedJobFinishesAsStoppedWithWhatItDid) {
    ASSERT_TRUE(runner_.Start(PassOver(*volume_), {60000, {}}));
    WaitFor(runner_, [](const JobSnapshot& s) { return s.figures.counts.totalClusters != 0; });
    ASSERT_TRUE(runner_.Stop());
    const auto stopped = runner_.Current();
    EXPECT_EQ(stopped->state, RunState::Finished) << "finished when Stop returns";
    EXPECT_TRUE(stopped->stopped);
    ASSERT_TRUE(stopped->results);
    EXPECT_LT(stopped->figures.counts.processedClusters, stopped->figures.counts.usedClusters);
}

TEST_F(JobRunnerTest, AFailingVolumeEndsTheJobReadablyAndNoJobReadsIdle) {
    volume_->FailAfter(5, VolumeStatus::VolumeChanged);
    ASSERT_TRUE(runner_.Start(PassOver(*volume_), {}));
    const auto failed =
        WaitFor(runner_, [](const JobSnapshot& s) { return s.state == RunState::Finished; });
    EXPECT_EQ(failed->figures.failure, VolumeStatus::VolumeChanged);
    ASSERT_TRUE(failed->results);
    EXPECT_EQ(failed->results->outcomes.size(), failed->figures.counts.fragmentedFiles);

    ASSERT_TRUE(runner_.Start([]() -> std::unique_ptr<Job> { throw std::bad_alloc(); }, {}));
    const auto idle = WaitFor(runner_, [&](const JobSnapshot& s) {
        return s.state == RunState::Idle && !runner_.Active();
    });
    EXPECT_EQ(idle->state, RunState::Idle) << "no exception leaves the worker";
}

}  // namespace
}  // namespace vantrel::engine::test
