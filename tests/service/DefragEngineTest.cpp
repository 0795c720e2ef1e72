// The stand-in engine: jobs over a model (stepped by hand, no clock), and the
// engine's job lifecycle on its worker thread at a fast pace.
#include "defragsvc/DefragEngine.h"
#include "defragsvc/DefragJob.h"
#include "defragsvc/VolumeModel.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

namespace vantrel::defragsvc {
namespace {

namespace FileResult = service::FileResult;
using service::JobCommand;
namespace JobCommandCode = service::JobCommandCode;
namespace JobState = service::JobState;
using service::JobStatistics;

constexpr std::uint64_t kGiB = 1ull << 30;
constexpr std::uint32_t kCells = 1472;

std::unique_ptr<JobStatistics> StatisticsOf(const DefragJob& job) {
    auto statistics = std::make_unique<JobStatistics>();
    job.FillStatistics(*statistics);
    return statistics;
}

// Clusters of the files that are fragmented after the job (what the results
// pages weigh fragmentation by).
std::uint64_t FragmentedClustersAfter(const VolumeModel& model,
                                      const std::vector<FileOutcome>& outcomes) {
    std::uint64_t clusters = 0;
    for (const FileOutcome& outcome : outcomes) {
        if (outcome.fragmentsAfter >= 2) {
            clusters += model.entries[outcome.entry].clusters;
        }
    }
    return clusters;
}

std::uint64_t MapTotal(const std::vector<service::MapCell>& cells,
                       std::uint64_t service::MapCell::*counter) {
    std::uint64_t total = 0;
    for (const auto& cell : cells) {
        total += cell.*counter;
    }
    return total;
}

TEST(DefragJob, AnalysisFindsEveryFragmentedFileAndCountsConsistently) {
    VolumeModel model = BuildVolumeModel(L'C', 16 * kGiB, L"System");
    DefragJob job(model, JobKind::Analysis, 0, kCells);
    std::uint64_t lastProcessed = 0;
    for (int step = 1; step <= 10; ++step) {
        job.AdvanceTo(job.TotalWork() * step / 10);
        const auto statistics = StatisticsOf(job);
        EXPECT_GE(statistics->ProcessedClusters, lastProcessed);
        lastProcessed = statistics->ProcessedClusters;
        const auto cells = job.Map().Cells();
        std::uint64_t sum = 0;
        for (const auto& cell : cells) {
            sum += cell.Free + cell.Used + cell.Optimized + cell.Fragmented + cell.Mft;
        }
        EXPECT_EQ(sum, model.geometry.totalClusters);
    }
    ASSERT_TRUE(job.Done());
    const auto statistics = StatisticsOf(job);
    EXPECT_EQ(statistics->ProcessedClusters, statistics->UsedClusters);
    EXPECT_EQ(statistics->UsedClusters + statistics->FreeClusters, statistics->TotalClusters);
    EXPECT_EQ(statistics->TotalFiles, model.fileCount);
    EXPECT_EQ(statistics->TotalDirs, model.directoryCount);
    EXPECT_EQ(statistics->SectorsPerCluster * statistics->BytesPerSector, 4096);
    EXPECT_EQ(statistics->DriveLetter, L'C');
    EXPECT_EQ(service::FieldText(statistics->VolumeText), L"System");
    EXPECT_EQ(statistics->LargestFreeExtent, model.free.LargestExtent());

    const auto outcomes = job.Outcomes();
    EXPECT_EQ(outcomes.size(), statistics->FragmentedFiles);
    std::uint64_t fragmentedClusters = 0;
    std::uint64_t fragmentedBytes = 0;
    for (const FileOutcome& outcome : outcomes) {
        EXPECT_TRUE(model.IsFragmented(outcome.entry));
        EXPECT_EQ(outcome.fragmentsBefore, outcome.fragmentsAfter);
        EXPECT_GE(outcome.fragmentsBefore, 2);
        fragmentedClusters += model.entries[outcome.entry].clusters;
        fragmentedBytes += model.entries[outcome.entry].sizeBytes;
    }
    EXPECT_EQ(statistics->NonOptimizedBytes, fragmentedBytes);
    const auto cells = job.Map().Cells();
    EXPECT_EQ(MapTotal(cells, &service::MapCell::Fragmented), fragmentedClusters);
    EXPECT_EQ(MapTotal(cells, &service::MapCell::Mft), model.entries[1].clusters);
    EXPECT_EQ(MapTotal(cells, &service::MapCell::Free), model.free.TotalClusters());
}

TEST(DefragJob, TwoOptimizationPassesLowerFragmentationAndKeepTheVolumeSound) {
    VolumeModel model = BuildVolumeModel(L'D', 32 * kGiB, L"Data");
    DefragJob analysis(model, JobKind::Analysis, 0, kCells);
    analysis.AdvanceTo(analysis.TotalWork());
    const std::uint64_t before = FragmentedClustersAfter(model, analysis.Outcomes());

    DefragJob first(model, JobKind::Optimization, 1, kCells);
    first.AdvanceTo(first.TotalWork());
    ASSERT_TRUE(first.Done());
    const auto firstOutcomes = first.Outcomes();
    const std::uint64_t afterFirst = FragmentedClustersAfter(model, firstOutcomes);
    EXPECT_LT(afterFirst, before);

    DefragJob second(model, JobKind::Optimization, 2, kCells);
    second.AdvanceTo(second.TotalWork());
    const auto secondOutcomes = second.Outcomes();
    const std::uint64_t afterSecond = FragmentedClustersAfter(model, secondOutcomes);
    EXPECT_LT(afterSecond, afterFirst);

    const auto statistics = StatisticsOf(second);
    EXPECT_EQ(statistics->FragmentedFiles, secondOutcomes.size());
    std::uint64_t moved = 0;
    for (const FileOutcome& outcome : secondOutcomes) {
        const Entry& entry = model.entries[outcome.entry];
        if (outcome.fragmentsAfter == 1) {
            ++moved;
            EXPECT_EQ(outcome.resultCode, FileResult::Ok);
            EXPECT_TRUE(entry.optimized);
        } else if (entry.mobility == Mobility::Locked) {
            EXPECT_EQ(outcome.resultCode, FileResult::Locked);
        } else if (entry.mobility == Mobility::Unmovable) {
            EXPECT_EQ(outcome.resultCode, FileResult::CannotMoveData);
        } else {
            EXPECT_EQ(outcome.resultCode, FileResult::NoFreeSpace);
        }
    }
    EXPECT_EQ(statistics->DeFragmentedFiles, moved);
    EXPECT_EQ(statistics->ProcessedClusters, statistics->UsedClusters);
    EXPECT_EQ(statistics->UsedClusters + statistics->FreeClusters, statistics->TotalClusters);
    EXPECT_GT(MapTotal(second.Map().Cells(), &service::MapCell::Optimized), 0u);
}

TEST(DefragJob, StoppedOptimizationMarksTheFilesNotReached) {
    VolumeModel model = BuildVolumeModel(L'E', 16 * kGiB, L"");
    DefragJob job(model, JobKind::Optimization, 1, kCells);
    job.AdvanceTo(job.TotalWork() / 3);
    job.Stop();
    EXPECT_TRUE(job.Stopped());
    job.AdvanceTo(job.TotalWork());  // a stopped job does no more work
    const auto outcomes = job.Outcomes();
    std::size_t stopped = 0;
    for (const FileOutcome& outcome : outcomes) {
        if (outcome.resultCode == FileResult::StoppedByUser) {
            ++stopped;
            EXPECT_EQ(outcome.fragmentsAfter, outcome.fragmentsBefore);
            EXPECT_TRUE(model.IsFragmented(outcome.entry));
        }
    }
    EXPECT_GT(stopped, 0u);
    EXPECT_LT(stopped, outcomes.size());
}

// The engine on its worker thread, against a fixed drive size and a fast pace.
class DefragEngineLifecycle : public testing::Test {
  protected:
    DefragEngineLifecycle()
        : engine_({[](wchar_t) { return 8 * kGiB; }, [](wchar_t) { return std::wstring(L"Test"); },
                   [] { return 300u; }}) {}

    long Send(std::int32_t code, wchar_t letter = L'C', std::int32_t cells = kCells) {
        return engine_.Command(
            service::MakeJobCommand(code, letter, cells, code == JobCommandCode::Optimize));
    }

    long State() {
        long state = -1;
        long detail = -1;
        engine_.State(state, detail);
        return state;
    }

    // Waits for the job to leave Running; a hung job fails the test instead of the run.
    long WaitWhileRunning() {
        for (int i = 0; i < 1000 && State() == JobState::Running; ++i) {
            Sleep(10);
        }
        return State();
    }

    std::unique_ptr<JobStatistics> Statistics() {
        auto statistics = std::make_unique<JobStatistics>();
        engine_.CopyStatistics(*statistics);
        return statistics;
    }

    DefragEngine engine_;
};

TEST_F(DefragEngineLifecycle, RefusesBadCommandsWithoutChangingAnything) {
    struct Case {
        const char* name;
        std::int32_t code;
        wchar_t letter;
        std::int32_t cells;
    };
    const Case cases[] = {
        {"unknown code", 7, L'C', kCells},
        {"code zero", 0, L'C', kCells},
        {"no cells", JobCommandCode::Analyze, L'C', 0},
        {"negative cells", JobCommandCode::Analyze, L'C', -5},
        {"absurd cell count", JobCommandCode::Analyze, L'C', 0x7FFFFFFF},
        {"not a drive letter", JobCommandCode::Analyze, L'1', kCells},
        {"no letter", JobCommandCode::Optimize, L'\0', kCells},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(Send(test.code, test.letter, test.cells), 0) << test.name;
        EXPECT_EQ(State(), JobState::Idle) << test.name;
    }
    EXPECT_EQ(engine_.Pause(), 0);
    EXPECT_EQ(engine_.Resume(), 0);
    EXPECT_EQ(engine_.Stop(), 0);
    EXPECT_EQ(engine_.FileCount(), 0);
    service::MapCell cells[4];
    EXPECT_EQ(engine_.CopyMap(cells, 4), 0);
}

TEST_F(DefragEngineLifecycle, AnalysisRunsToFinishedAndResetClearsIt) {
    ASSERT_EQ(Send(JobCommandCode::Reset), 1);
    ASSERT_EQ(Send(JobCommandCode::Analyze, L'c'), 1);
    EXPECT_EQ(State(), JobState::Running);
    EXPECT_EQ(Send(JobCommandCode::Analyze), 0) << "one job at a time";
    ASSERT_EQ(WaitWhileRunning(), JobState::Finished);

    const auto statistics = Statistics();
    EXPECT_EQ(statistics->DriveLetter, L'C');
    EXPECT_EQ(statistics->ProcessedClusters, statistics->UsedClusters);
    EXPECT_EQ(static_cast<std::uint64_t>(engine_.FileCount()), statistics->FragmentedFiles);
    std::vector<service::MapCell> map(kCells);
    EXPECT_EQ(engine_.CopyMap(map.data(), map.size()), 1);
    EXPECT_EQ(engine_.CopyMap(map.data(), map.size() - 1), 0) << "only the announced cell count";

    auto record = std::make_unique<service::FileRecord>();
    EXPECT_EQ(engine_.CopyFileRecord(0, *record), 1);
    EXPECT_TRUE(service::FieldText(record->Path).starts_with(L"C:\\"));
    EXPECT_GE(record->FragmentsBefore, 2);
    for (const long bad : {-1L, engine_.FileCount(), 0x7FFFFFFFL}) {
        EXPECT_EQ(engine_.CopyFileRecord(bad, *record), 0) << bad;
    }

    ASSERT_EQ(Send(JobCommandCode::Reset), 1);
    EXPECT_EQ(State(), JobState::Idle);
    EXPECT_EQ(engine_.FileCount(), 0);
    EXPECT_EQ(Statistics()->TotalClusters, 0u);
}

TEST_F(DefragEngineLifecycle, PauseHoldsTheJobAndStopFinishesIt) {
    ASSERT_EQ(Send(JobCommandCode::Analyze), 1);
    // Wait for the model and the first steps.
    for (int i = 0; i < 500 && Statistics()->ProcessedClusters == 0; ++i) {
        Sleep(10);
    }
    ASSERT_EQ(engine_.Pause(), 1);
    EXPECT_EQ(engine_.Pause(), 0) << "already paused";
    Sleep(60);  // let a step that was under way publish
    const std::uint64_t held = Statistics()->ProcessedClusters;
    Sleep(400);  // longer than the whole job would take when running
    EXPECT_EQ(State(), JobState::Running);
    EXPECT_EQ(Statistics()->ProcessedClusters, held);
    long state = 0;
    long detail = 0;
    engine_.State(state, detail);
    EXPECT_EQ(detail, 1) << "detail marks a paused job";

    ASSERT_EQ(engine_.Stop(), 1);
    EXPECT_EQ(State(), JobState::Finished) << "a stopped job has finished when Stop returns";
    const auto statistics = Statistics();
    EXPECT_LT(statistics->ProcessedClusters, statistics->UsedClusters);
    EXPECT_EQ(static_cast<std::uint64_t>(engine_.FileCount()), statistics->FragmentedFiles);
}

TEST_F(DefragEngineLifecycle, SecondOptimizeAfterResetRunsTheSecondPass) {
    ASSERT_EQ(Send(JobCommandCode::Optimize), 1);
    ASSERT_EQ(WaitWhileRunning(), JobState::Finished);
    EXPECT_EQ(Statistics()->Unused10138, 1);
    const std::uint64_t firstPassFragmented = Statistics()->FragmentedFiles;
    ASSERT_EQ(Send(JobCommandCode::Reset), 1);
    ASSERT_EQ(Send(JobCommandCode::Optimize), 1);
    ASSERT_EQ(WaitWhileRunning(), JobState::Finished);
    EXPECT_EQ(Statistics()->Unused10138, 2);
    EXPECT_LT(Statistics()->FragmentedFiles, firstPassFragmented)
        << "the second pass starts from what the first left";
}

TEST_F(DefragEngineLifecycle, KeepsTheHandedBackMap) {
    std::vector<service::MapCell> map(3, service::MapCell{1, 2, 3, 4, 5});
    EXPECT_EQ(engine_.KeepHandedBackMap(map.data(), map.size()), 1);
    EXPECT_EQ(engine_.HandedBackMap().size(), 3u);
    EXPECT_EQ(engine_.HandedBackMap()[2].Mft, 5u);
    EXPECT_EQ(engine_.KeepHandedBackMap(map.data(), 0), 0);
    EXPECT_EQ(engine_.KeepHandedBackMap(nullptr, 3), 0);
}

}  // namespace
}  // namespace vantrel::defragsvc
