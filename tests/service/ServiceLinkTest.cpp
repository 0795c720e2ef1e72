// The whole link under Wine: the client's routines over the real named pipe to
// the defrag service over its simulated drives, started through Wine's service
// control manager: a scan and both optimization passes read back as the results
// pages read them. The service is installed by this program and removed again at
// the end, so the prefix is left without it.
#include "service/CallGuard.h"
#include "service/CellCountSource.h"
#include "service/DefragClient.h"
#include "service/JobCommandSender.h"
#include "service/ServiceBinding.h"
#include "service/ServiceRecord.h"
#include "tests/service/StandInService.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <numeric>
#include <set>
#include <string>
#include <vector>

namespace vantrel::service {
namespace {

constexpr int kCells = 1472;
constexpr std::uint32_t kTestPaceMilliseconds = 1500;
// A drive that Wine does not map: the service models a volume of its default
// size for it, with about 300 fragmented files, so that reading every record of
// three jobs stays quick.
constexpr wchar_t kDrive = L'Y';

class MapCells final : public CellCountSource {
  public:
    int GetCellCount() override { return kCells; }
};

testsupport::StandInService& StandIn() {
    static testsupport::StandInService service(VANTREL_DEFRAGSVC_RELATIVE);
    return service;
}

std::wstring Root() {
    return {kDrive, L':', L'\\'};
}

std::uint64_t Sum(const MapCell& cell) {
    return cell.Free + cell.Used + cell.Optimized + cell.Fragmented + cell.Mft;
}

std::uint64_t Taken(const std::vector<MapCell>& map) {
    std::uint64_t taken = 0;
    for (const MapCell& cell : map) {
        taken += cell.Used + cell.Optimized + cell.Fragmented + cell.Mft;
    }
    return taken;
}

std::uint64_t Total(const std::vector<MapCell>& map, std::uint64_t MapCell::*counter) {
    std::uint64_t total = 0;
    for (const MapCell& cell : map) {
        total += cell.*counter;
    }
    return total;
}

struct FinishedJob {
    std::unique_ptr<JobStatistics> statistics = std::make_unique<JobStatistics>();
    std::vector<FileEntry> files;
    std::vector<MapCell> map = std::vector<MapCell>(kCells);
};

// What the polls of one job saw.
struct Watch {
    std::uint64_t lastProcessed = 0;
    int shownCells = 0;
    std::set<std::wstring> currentFiles;
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
        return SendJobCommand(record_, cells_, code, kDrive,
                              code == JobCommandCode::Optimize ? 1 : 0);
    }

    static long State() {
        long state = 0;
        long detail = 0;
        GetJobState(state, detail);
        return state;
    }

    // One poll tick as the progress page makes it; checks what must hold at any time.
    static long PollOnce(Watch& watch, bool scanning) {
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
                EXPECT_GE(statistics->ProcessedClusters, watch.lastProcessed)
                    << "progress went back";
                EXPECT_LE(statistics->ProcessedClusters, statistics->UsedClusters);
                watch.lastProcessed = statistics->ProcessedClusters;
                const std::wstring current = FieldText(statistics->CurrentFile);
                if (!current.empty()) {
                    EXPECT_EQ(current.substr(0, 3), Root());
                    watch.currentFiles.insert(current);
                }
            }
            if (scanning) {
                // The scanned cells come first; the map was read after the
                // statistics, so it shows at least what they call processed.
                int shown = 0;
                while (shown < kCells && Sum(map[shown]) != 0) {
                    ++shown;
                }
                for (int i = shown; i < kCells; ++i) {
                    EXPECT_EQ(Sum(map[i]), 0u) << "cell " << i << " is ahead of the scan";
                }
                EXPECT_GE(shown, watch.shownCells) << "the map went back";
                watch.shownCells = shown;
                EXPECT_GE(Taken(map), statistics->ProcessedClusters);
            }
        }
        return state;
    }

    // Polls every 100 ms until the job leaves Running; a bounded number of ticks.
    static long PollUntilDone(Watch& watch, bool scanning) {
        long state = JobState::Running;
        for (int tick = 0; tick < 600 && state == JobState::Running; ++tick) {
            state = PollOnce(watch, scanning);
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
        // One past the end answers 0 and leaves the entry empty.
        FileEntry past;
        EXPECT_EQ(GetFileRecord(count, past), 0);
        EXPECT_TRUE(past.Path.empty());
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

    // Volume fragmentation as the results pages compute it, in percent.
    static double VolumePercent(const FinishedJob& job, std::int32_t FileEntry::*fragments) {
        return 100.0 * static_cast<double>(ClustersOfFilesWith(job.files, fragments)) /
               static_cast<double>(job.statistics->TotalClusters);
    }

    // Starts an optimization pass and hands the map back as the progress page
    // does, while the pass is held so that its survey cannot end first.
    void StartPassWithMap(std::vector<MapCell>& map) {
        ASSERT_EQ(Send(JobCommandCode::Reset), 1);
        ASSERT_EQ(Send(JobCommandCode::Optimize), 1);
        ASSERT_EQ(PauseJob(), 1);
        EXPECT_EQ(PutVolumeMap(map.data(), kCells), 1);
        ASSERT_EQ(ResumeJob(), 1);
    }

    static void ExpectOptimizationPassConsistent(const FinishedJob& pass) {
        const JobStatistics& statistics = *pass.statistics;
        ASSERT_EQ(pass.files.size(), statistics.FragmentedFiles);
        EXPECT_EQ(statistics.ProcessedClusters, statistics.UsedClusters);
        std::uint64_t failed = 0;
        for (const FileEntry& file : pass.files) {
            if (file.ResultCode == FileResult::Ok) {
                EXPECT_EQ(file.FragmentsAfter, 1)
                    << std::string(file.Path.begin(), file.Path.end());
            } else {
                ++failed;
                EXPECT_EQ(file.FragmentsAfter, file.FragmentsBefore);
            }
        }
        EXPECT_EQ(failed, statistics.FragmentedFiles - statistics.DeFragmentedFiles)
            << "the report lists every file the pass could not defragment";
        EXPECT_EQ(ClustersOfFilesWith(pass.files, &FileEntry::FragmentsAfter),
                  Total(pass.map, &MapCell::Fragmented))
            << "the file list and the map disagree on fragmented data";
        EXPECT_EQ(statistics.UnusedB0, kCells) << "the pass took every cell of the handed-back map";
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

TEST_F(ServiceLink, ScanThenTwoOptimizationPassesReadBackConsistentFigures) {
    Install();
    ASSERT_EQ(StandIn().State(), static_cast<DWORD>(SERVICE_STOPPED));
    // The availability check starts the stopped service through the real manager.
    ASSERT_EQ(Send(JobCommandCode::Reset), 1);
    EXPECT_EQ(StandIn().State(), static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(State(), JobState::Idle);

    ASSERT_EQ(Send(JobCommandCode::Analyze), 1);
    Watch scanWatch;
    ASSERT_EQ(PollUntilDone(scanWatch, true), JobState::Finished);
    EXPECT_GT(scanWatch.currentFiles.size(), 3u) << "the current file changes as the scan goes";
    FinishedJob scan = ReadFinishedJob();
    {
        const JobStatistics& statistics = *scan.statistics;
        EXPECT_EQ(statistics.DriveLetter, kDrive);
        EXPECT_GT(statistics.TotalFiles, 0u);
        EXPECT_GT(statistics.TotalDirs, 0u);
        EXPECT_EQ(statistics.ProcessedClusters, statistics.UsedClusters);
        EXPECT_LE(statistics.LargestFreeExtent, statistics.FreeClusters);
        EXPECT_FALSE(FieldText(statistics.VolumeText).empty());
        EXPECT_EQ(Taken(scan.map) + Total(scan.map, &MapCell::Free), statistics.TotalClusters);
        std::array<int, 5> states{};
        for (const MapCell& cell : scan.map) {
            ++states[static_cast<int>(CellStateOf(cell))];
        }
        for (const CellState state :
             {CellState::Free, CellState::Used, CellState::Fragmented, CellState::Mft}) {
            EXPECT_GT(states[static_cast<int>(state)], 0) << static_cast<int>(state);
        }

        ASSERT_EQ(scan.files.size(), statistics.FragmentedFiles);
        ASSERT_FALSE(scan.files.empty());
        std::uint64_t bytes = 0;
        for (const FileEntry& file : scan.files) {
            ASSERT_EQ(file.Path.substr(0, 3), Root()) << "path read at the wrong offset";
            ASSERT_GE(file.FragmentsBefore, 2);
            ASSERT_EQ(file.FragmentsAfter, file.FragmentsBefore);
            ASSERT_GT(file.LocalClusters, 0u);
            ASSERT_LE(file.FileSize, file.LocalClusters * statistics.SectorsPerCluster *
                                         statistics.BytesPerSector);
            ASSERT_EQ(file.ResultCode, FileResult::Ok);
            bytes += file.FileSize;
        }
        EXPECT_EQ(statistics.NonOptimizedBytes, bytes);
        EXPECT_EQ(ClustersOfFilesWith(scan.files, &FileEntry::FragmentsBefore),
                  Total(scan.map, &MapCell::Fragmented))
            << "the file list and the map disagree on fragmented data";
    }
    const double scanned = VolumePercent(scan, &FileEntry::FragmentsBefore);
    EXPECT_GT(scanned, 1.0);
    EXPECT_LT(scanned, 40.0);

    StartPassWithMap(scan.map);
    Watch firstWatch;
    ASSERT_EQ(PollUntilDone(firstWatch, false), JobState::Finished);
    FinishedJob first = ReadFinishedJob();
    ExpectOptimizationPassConsistent(first);
    EXPECT_EQ(first.statistics->Unused10138, 1);
    EXPECT_DOUBLE_EQ(VolumePercent(first, &FileEntry::FragmentsBefore), scanned);
    const double afterFirst = VolumePercent(first, &FileEntry::FragmentsAfter);
    EXPECT_LT(afterFirst, scanned);

    StartPassWithMap(first.map);
    Watch secondWatch;
    ASSERT_EQ(PollUntilDone(secondWatch, false), JobState::Finished);
    const FinishedJob second = ReadFinishedJob();
    ExpectOptimizationPassConsistent(second);
    EXPECT_EQ(second.statistics->Unused10138, 2);
    EXPECT_EQ(second.statistics->FragmentedFiles,
              first.statistics->FragmentedFiles - first.statistics->DeFragmentedFiles)
        << "the second pass takes up what the first left";
    const double afterSecond = VolumePercent(second, &FileEntry::FragmentsAfter);
    EXPECT_LT(afterSecond, afterFirst);
    EXPECT_GE(afterSecond, 0.0);
    int locked = 0;
    for (const FileEntry& file : second.files) {
        locked += file.ResultCode == FileResult::Locked ? 1 : 0;
    }
    EXPECT_GT(locked, 0) << "files in use stay fragmented";
    EXPECT_GT(Total(second.map, &MapCell::Optimized), 0u);
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
    Watch watch;
    ASSERT_EQ(PollUntilDone(watch, true), JobState::Finished);
    GetJobStatistics(*statistics);
    EXPECT_EQ(statistics->ProcessedClusters, statistics->UsedClusters);
}

}  // namespace
}  // namespace vantrel::service
