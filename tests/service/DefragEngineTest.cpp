// The stand-in engine's job lifecycle on its worker thread at a fast pace: its
// commands, pause and stop, the pass count, the handed-back map and the records.
#include "defragsvc/DefragEngine.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <memory>

namespace vantrel::defragsvc {
namespace {

using service::JobCommand;
namespace JobCommandCode = service::JobCommandCode;
namespace JobState = service::JobState;
using service::JobStatistics;

constexpr std::uint64_t kGiB = 1ull << 30;
constexpr std::uint32_t kCells = 1472;

// The engine on its worker thread, against a fixed drive size and a fast pace.
class DefragEngineLifecycle : public testing::Test {
  protected:
    DefragEngineLifecycle()
        : engine_({[](wchar_t) { return 8 * kGiB; }, [](wchar_t) { return std::wstring(L"Test"); },
                   [] { return 300u; }, [this] { return hold_.load(); }}) {}

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

    std::atomic<std::uint32_t> hold_{0};
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

TEST_F(DefragEngineLifecycle, HoldKeepsTheJobRunningUntilItIsLifted) {
    hold_ = 40;
    ASSERT_EQ(Send(JobCommandCode::Analyze), 1);
    // The job reaches its hold within the pace (300 ms) and stays there.
    std::uint64_t processed = 0;
    for (int i = 0; i < 200; ++i) {
        Sleep(10);
        const std::uint64_t now = Statistics()->ProcessedClusters;
        if (now != 0 && now == processed) {
            break;
        }
        processed = now;
    }
    Sleep(600);  // twice the whole job's pace
    EXPECT_EQ(State(), JobState::Running);
    const auto held = Statistics();
    EXPECT_GT(held->ProcessedClusters, 0u);
    EXPECT_LT(held->ProcessedClusters, held->UsedClusters / 2) << "held near 40 % of the work";

    hold_ = 0;
    EXPECT_EQ(WaitWhileRunning(), JobState::Finished);
    EXPECT_EQ(Statistics()->ProcessedClusters, Statistics()->UsedClusters);
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

TEST_F(DefragEngineLifecycle, PassTakesTheCellsOfTheHandedBackMapThatMatch) {
    ASSERT_EQ(Send(JobCommandCode::Analyze), 1);
    ASSERT_EQ(WaitWhileRunning(), JobState::Finished);
    std::vector<service::MapCell> scanned(kCells);
    ASSERT_EQ(engine_.CopyMap(scanned.data(), scanned.size()), 1);

    struct Case {
        const char* name;
        std::vector<service::MapCell> map;
        std::int32_t taken;  // cells the pass takes from the map
    };
    const Case cases[] = {
        {"the map of the scan", scanned, static_cast<std::int32_t>(kCells)},
        {"a map of zeros", std::vector<service::MapCell>(kCells), 0},
    };
    for (const Case& test : cases) {
        ASSERT_EQ(Send(JobCommandCode::Reset), 1);
        ASSERT_EQ(Send(JobCommandCode::Optimize), 1);
        // Held while the map is handed back, so the survey cannot end first.
        ASSERT_EQ(engine_.Pause(), 1) << test.name;
        ASSERT_EQ(engine_.KeepHandedBackMap(test.map.data(), test.map.size()), 1) << test.name;
        ASSERT_EQ(engine_.Resume(), 1) << test.name;
        ASSERT_EQ(WaitWhileRunning(), JobState::Finished) << test.name;
        EXPECT_EQ(Statistics()->UnusedB0, test.taken) << test.name;
    }
}

TEST_F(DefragEngineLifecycle, FileCountAndRecordsAgree) {
    ASSERT_EQ(Send(JobCommandCode::Optimize), 1);
    EXPECT_EQ(engine_.FileCount(), 0) << "no records while the job runs";
    ASSERT_EQ(WaitWhileRunning(), JobState::Finished);
    const auto statistics = Statistics();
    const long count = engine_.FileCount();
    ASSERT_EQ(static_cast<std::uint64_t>(count), statistics->FragmentedFiles);
    auto record = std::make_unique<service::FileRecord>();
    std::uint64_t failed = 0;
    for (long index = 0; index < count; ++index) {
        ASSERT_EQ(engine_.CopyFileRecord(index, *record), 1) << index;
        ASSERT_TRUE(service::FieldText(record->Path).starts_with(L"C:\\")) << index;
        ASSERT_GE(record->FragmentsBefore, 2);
        ASSERT_GE(record->LocalClusters, record->VirtualClusters);
        ASSERT_LE(record->FileSize, record->LocalClusters * 4096);
        failed += record->ResultCode != service::FileResult::Ok ? 1 : 0;
    }
    EXPECT_EQ(failed, statistics->FragmentedFiles - statistics->DeFragmentedFiles);
    std::memset(record.get(), 0x5A, sizeof *record);
    for (const long bad : {-1L, count, count + 1, 0x7FFFFFFFL, static_cast<long>(0x80000000u)}) {
        EXPECT_EQ(engine_.CopyFileRecord(bad, *record), 0) << bad;
    }
    EXPECT_EQ(reinterpret_cast<unsigned char*>(record.get())[100], 0x5A)
        << "a refused index leaves the record alone";
}

}  // namespace
}  // namespace vantrel::defragsvc
