// The whole link under Wine: the client's routines over the real named pipe to
// the stand-in service, started through Wine's service control manager. The
// service is installed by this program and removed again at the end, so the
// prefix is left without it.
#include "service/CallGuard.h"
#include "service/CellCountSource.h"
#include "service/DefragClient.h"
#include "service/JobCommandSender.h"
#include "service/ServiceBinding.h"
#include "service/ServiceRecord.h"
#include "tests/service/StandInService.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <vector>

namespace vantrel::service {
namespace {

constexpr int kCells = 1472;
constexpr std::uint32_t kTestPaceMilliseconds = 1500;

class MapCells final : public CellCountSource {
  public:
    int GetCellCount() override { return kCells; }
};

testsupport::StandInService& StandIn() {
    static testsupport::StandInService service(VANTREL_DEFRAGSVC_RELATIVE);
    return service;
}

std::uint64_t Sum(const MapCell& cell) {
    return cell.Free + cell.Used + cell.Optimized + cell.Fragmented + cell.Mft;
}

struct FinishedJob {
    std::unique_ptr<JobStatistics> statistics = std::make_unique<JobStatistics>();
    std::vector<FileEntry> files;
    std::vector<MapCell> map = std::vector<MapCell>(kCells);
};

class ServiceLink : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(StandIn().Uninstall()) << "could not clear an earlier installation";
        binding_ = new ServiceBinding();
        ASSERT_TRUE(binding_->Bind());
    }
    static void TearDownTestSuite() {
        EXPECT_TRUE(StandIn().Uninstall());
        delete binding_;
        binding_ = nullptr;
    }

    static void Install() {
        if (!StandIn().IsInstalled()) {
            ASSERT_TRUE(StandIn().Install(kTestPaceMilliseconds));
        }
    }

    int Send(std::int32_t code) {
        return SendJobCommand(record_, cells_, code, L'C',
                              code == JobCommandCode::Optimize ? 1 : 0);
    }

    static long State() {
        long state = 0;
        long detail = 0;
        GetJobState(state, detail);
        return state;
    }

    // One poll tick as the progress page makes it; checks what must hold at any time.
    long PollOnce(std::uint64_t& lastProcessed) {
        const long state = State();
        long busy = 0;
        IsStatisticsBusy(busy);
        if (busy == 0) {
            auto statistics = std::make_unique<JobStatistics>();
            GetJobStatistics(*statistics);
            std::vector<MapCell> map(kCells);
            GetVolumeMap(map.data(), kCells);
            if (statistics->TotalClusters != 0) {
                EXPECT_EQ(statistics->UsedClusters + statistics->FreeClusters,
                          statistics->TotalClusters);
                EXPECT_GE(statistics->ProcessedClusters, lastProcessed) << "progress went back";
                EXPECT_LE(statistics->ProcessedClusters, statistics->UsedClusters);
                lastProcessed = statistics->ProcessedClusters;
            }
        }
        return state;
    }

    // Polls every 100 ms until the job leaves Running; a bounded number of ticks.
    long PollUntilDone() {
        std::uint64_t lastProcessed = 0;
        long state = JobState::Running;
        for (int tick = 0; tick < 600 && state == JobState::Running; ++tick) {
            state = PollOnce(lastProcessed);
            Sleep(100);
        }
        return state;
    }

    static FinishedJob ReadFinishedJob() {
        FinishedJob job;
        GetJobStatistics(*job.statistics);
        GetVolumeMap(job.map.data(), kCells);
        long count = 0;
        GetFileCount(count);
        for (long index = 0; index < count; ++index) {
            FileEntry entry;
            GetFileRecord(index, entry);
            job.files.push_back(std::move(entry));
        }
        return job;
    }

    static std::uint64_t ClustersOfFilesWith(const std::vector<FileEntry>& files,
                                             std::int32_t FileEntry::*fragments) {
        std::uint64_t clusters = 0;
        for (const FileEntry& file : files) {
            if (file.*fragments >= 2) {
                clusters += file.LocalClusters;
            }
        }
        return clusters;
    }

    static ServiceBinding* binding_;
    ServiceRecord record_;
    MapCells cells_;
};

ServiceBinding* ServiceLink::binding_ = nullptr;

TEST_F(ServiceLink, NotInstalledEveryOperationAnswersZeroAndReadsEmpty) {
    ASSERT_FALSE(StandIn().IsInstalled());
    EXPECT_EQ(Send(JobCommandCode::Reset), 0);

    long state = JobState::Idle;
    long detail = 0;
    long count = 0;
    long busy = 0;
    auto statistics = std::make_unique<JobStatistics>();
    FileEntry entry;
    std::vector<MapCell> map(kCells);
    const std::vector<std::pair<const char*, int>> answers = {
        {"GetJobState", GetJobState(state, detail)},
        {"SendJobCommandRecord",
         SendJobCommandRecord(MakeJobCommand(JobCommandCode::Analyze, L'C', kCells, 0))},
        {"PutVolumeMap", PutVolumeMap(map.data(), kCells)},
        {"GetVolumeMap", GetVolumeMap(map.data(), kCells)},
        {"GetJobStatistics", GetJobStatistics(*statistics)},
        {"GetFileCount", GetFileCount(count)},
        {"GetFileRecord", GetFileRecord(0, entry)},
        {"IsStatisticsBusy", IsStatisticsBusy(busy)},
        {"PauseJob", PauseJob()},
        {"ResumeJob", ResumeJob()},
        {"StopJob", StopJob()},
    };
    for (const auto& [name, answer] : answers) {
        EXPECT_EQ(answer, 0) << name;
    }
    EXPECT_EQ(state, JobState::Idle);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(busy, 0);
    EXPECT_EQ(statistics->TotalClusters, 0u);
    EXPECT_TRUE(entry.Path.empty());
    EXPECT_EQ(
        std::accumulate(map.begin(), map.end(), std::uint64_t{0},
                        [](std::uint64_t total, const MapCell& cell) { return total + Sum(cell); }),
        0u);
}

TEST_F(ServiceLink, NoServerGivesServerUnavailableEveryTime) {
    ASSERT_FALSE(StandIn().IsInstalled());
    int unavailable = 0;
    for (int call = 0; call < 1000; ++call) {
        long state = 0;
        long detail = 0;
        GetJobState(state, detail);
        unavailable += LastGuardedExceptionCode() == RPC_S_SERVER_UNAVAILABLE ? 1 : 0;
    }
    EXPECT_EQ(unavailable, 1000);
}

TEST_F(ServiceLink, ScanRunsFromResetToFinishedWithConsistentFigures) {
    Install();
    ASSERT_EQ(StandIn().State(), static_cast<DWORD>(SERVICE_STOPPED));
    // The availability check starts the stopped service through the real manager.
    ASSERT_EQ(Send(JobCommandCode::Reset), 1);
    EXPECT_EQ(StandIn().State(), static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(State(), JobState::Idle);
    ASSERT_EQ(Send(JobCommandCode::Analyze), 1);
    ASSERT_EQ(PollUntilDone(), JobState::Finished);

    const FinishedJob job = ReadFinishedJob();
    const JobStatistics& statistics = *job.statistics;
    EXPECT_EQ(statistics.DriveLetter, L'C');
    EXPECT_GT(statistics.TotalClusters, 0u);
    EXPECT_EQ(statistics.UsedClusters + statistics.FreeClusters, statistics.TotalClusters);
    EXPECT_EQ(statistics.ProcessedClusters, statistics.UsedClusters);
    EXPECT_GT(statistics.TotalFiles, 0u);
    EXPECT_GT(statistics.TotalDirs, 0u);
    EXPECT_GT(statistics.LargestFreeExtent, 0u);
    EXPECT_LE(statistics.LargestFreeExtent, statistics.FreeClusters);
    EXPECT_FALSE(FieldText(statistics.VolumeText).empty());

    std::uint64_t mapTotal = 0;
    std::uint64_t mapFragmented = 0;
    for (const MapCell& cell : job.map) {
        mapTotal += Sum(cell);
        mapFragmented += cell.Fragmented;
    }
    EXPECT_EQ(mapTotal, statistics.TotalClusters);

    ASSERT_EQ(job.files.size(), statistics.FragmentedFiles);
    ASSERT_FALSE(job.files.empty());
    for (const FileEntry& file : job.files) {
        ASSERT_TRUE(file.Path.starts_with(L"C:\\")) << "path read at the wrong offset";
        ASSERT_GE(file.FragmentsBefore, 2);
        ASSERT_EQ(file.FragmentsAfter, file.FragmentsBefore);
        ASSERT_GT(file.LocalClusters, 0u);
        ASSERT_LE(file.FileSize,
                  file.LocalClusters * statistics.SectorsPerCluster * statistics.BytesPerSector);
        ASSERT_EQ(file.ResultCode, FileResult::Ok);
    }
    EXPECT_EQ(ClustersOfFilesWith(job.files, &FileEntry::FragmentsBefore), mapFragmented)
        << "the file list and the map disagree on fragmented data";
}

TEST_F(ServiceLink, TwoPassOptimizationLowersTheFragmentedClusters) {
    Install();
    ASSERT_EQ(Send(JobCommandCode::Reset), 1);
    ASSERT_EQ(Send(JobCommandCode::Optimize), 1);
    std::vector<MapCell> handedBack(kCells);
    GetVolumeMap(handedBack.data(), kCells);
    EXPECT_EQ(PutVolumeMap(handedBack.data(), kCells), 1);
    ASSERT_EQ(PollUntilDone(), JobState::Finished);
    const FinishedJob first = ReadFinishedJob();
    const std::uint64_t before = ClustersOfFilesWith(first.files, &FileEntry::FragmentsBefore);
    const std::uint64_t afterFirst = ClustersOfFilesWith(first.files, &FileEntry::FragmentsAfter);
    EXPECT_LT(afterFirst, before);
    EXPECT_GT(first.statistics->DeFragmentedFiles, 0u);

    ASSERT_EQ(Send(JobCommandCode::Reset), 1);
    ASSERT_EQ(Send(JobCommandCode::Optimize), 1);
    ASSERT_EQ(PollUntilDone(), JobState::Finished);
    const FinishedJob second = ReadFinishedJob();
    EXPECT_LT(ClustersOfFilesWith(second.files, &FileEntry::FragmentsAfter), afterFirst);
    EXPECT_LE(second.statistics->FragmentedFiles,
              first.statistics->FragmentedFiles - first.statistics->DeFragmentedFiles);
    std::uint64_t optimized = 0;
    for (const MapCell& cell : second.map) {
        optimized += cell.Optimized;
    }
    EXPECT_GT(optimized, 0u);
}

TEST_F(ServiceLink, StopMidScanFinishesWithPartialResults) {
    Install();
    ASSERT_EQ(Send(JobCommandCode::Reset), 1);
    ASSERT_EQ(Send(JobCommandCode::Analyze), 1);
    auto statistics = std::make_unique<JobStatistics>();
    for (int tick = 0; tick < 100 && statistics->ProcessedClusters == 0; ++tick) {
        Sleep(20);
        GetJobStatistics(*statistics);
    }
    ASSERT_GT(statistics->ProcessedClusters, 0u);
    EXPECT_EQ(PauseJob(), 1);
    EXPECT_EQ(StopJob(), 1);
    EXPECT_EQ(State(), JobState::Finished);
    const FinishedJob job = ReadFinishedJob();
    EXPECT_LT(job.statistics->ProcessedClusters, job.statistics->UsedClusters);
    EXPECT_EQ(job.files.size(), job.statistics->FragmentedFiles);
}

TEST_F(ServiceLink, PausedScanHoldsStillAndResumesToTheEnd) {
    Install();
    ASSERT_EQ(Send(JobCommandCode::Reset), 1);
    ASSERT_EQ(Send(JobCommandCode::Analyze), 1);
    auto statistics = std::make_unique<JobStatistics>();
    for (int tick = 0; tick < 100 && statistics->ProcessedClusters == 0; ++tick) {
        Sleep(20);
        GetJobStatistics(*statistics);
    }
    ASSERT_EQ(PauseJob(), 1);
    Sleep(100);
    GetJobStatistics(*statistics);
    const std::uint64_t held = statistics->ProcessedClusters;
    Sleep(kTestPaceMilliseconds);  // the whole scan would be over if it ran
    GetJobStatistics(*statistics);
    EXPECT_EQ(statistics->ProcessedClusters, held);
    EXPECT_EQ(State(), JobState::Running);
    ASSERT_EQ(ResumeJob(), 1);
    ASSERT_EQ(PollUntilDone(), JobState::Finished);
    GetJobStatistics(*statistics);
    EXPECT_EQ(statistics->ProcessedClusters, statistics->UsedClusters);
}

}  // namespace
}  // namespace vantrel::service
