// Jobs over model volumes, stepped by hand (no clock): the scan's map fills
// cell by cell with its statistics, the results pages' figures come out of the
// records as on a real drive, two optimization passes lower them and leave the
// locked files, and a handed-back map spares a pass its survey only when it
// matches the volume.
#include "defragsvc/DefragJob.h"
#include "defragsvc/VolumeModel.h"
#include "defragsvc/VolumeNames.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace vantrel::defragsvc {
namespace {

namespace FileResult = service::FileResult;
using service::CellState;
using service::JobStatistics;
using service::MapCell;

constexpr std::uint64_t kGiB = 1ull << 30;
constexpr std::uint32_t kCells = 1472;

std::unique_ptr<JobStatistics> StatisticsOf(const DefragJob& job) {
    auto statistics = std::make_unique<JobStatistics>();
    job.FillStatistics(*statistics);
    return statistics;
}

std::uint64_t Sum(const MapCell& cell) {
    return cell.Free + cell.Used + cell.Optimized + cell.Fragmented + cell.Mft;
}

std::uint64_t Total(const std::vector<MapCell>& cells, std::uint64_t MapCell::*counter) {
    std::uint64_t total = 0;
    for (const MapCell& cell : cells) {
        total += cell.*counter;
    }
    return total;
}

std::array<int, 5> StateCounts(const std::vector<MapCell>& cells) {
    std::array<int, 5> counts{};
    for (const MapCell& cell : cells) {
        ++counts[static_cast<int>(service::CellStateOf(cell))];
    }
    return counts;
}

// Clusters of the files with two or more fragments before or after the job: the
// sum the results pages weigh fragmentation by.
std::uint64_t FragmentedClusters(const std::vector<FileOutcome>& outcomes, bool after) {
    std::uint64_t clusters = 0;
    for (const FileOutcome& outcome : outcomes) {
        if ((after ? outcome.fragmentsAfter : outcome.fragmentsBefore) >= 2) {
            clusters += outcome.clusters;
        }
    }
    return clusters;
}

// Volume and data fragmentation in percent, as the results pages compute them.
struct Figures {
    double volume;
    double data;
};

Figures FiguresOf(const std::vector<FileOutcome>& outcomes, const JobStatistics& statistics,
                  bool after) {
    const auto clusters = static_cast<double>(FragmentedClusters(outcomes, after));
    return {100.0 * clusters / static_cast<double>(statistics.TotalClusters),
            100.0 * clusters / static_cast<double>(statistics.UsedClusters)};
}

struct DriveCase {
    wchar_t letter;
    std::uint64_t bytes;
};

// Each drive is built once; every test works on its own copy.
VolumeModel ModelOf(const DriveCase& drive) {
    static std::map<std::pair<wchar_t, std::uint64_t>, VolumeModel> built;
    const auto key = std::make_pair(drive.letter, drive.bytes);
    auto it = built.find(key);
    if (it == built.end()) {
        it = built.emplace(key, BuildVolumeModel(drive.letter, drive.bytes, L"Data")).first;
    }
    return it->second;
}

std::string Name(const testing::TestParamInfo<DriveCase>& info) {
    return std::string(1, static_cast<char>(info.param.letter)) +
           std::to_string(info.param.bytes / kGiB) + "GiB";
}

class ScanOfDrive : public testing::TestWithParam<DriveCase> {};

TEST_P(ScanOfDrive, FillsTheMapCellByCellInStepWithItsStatistics) {
    VolumeModel model = ModelOf(GetParam());
    DefragJob job(model, JobKind::Analysis, 0, kCells);
    ASSERT_EQ(job.MapCells().size(), kCells);
    for (const MapCell& cell : job.MapCells()) {
        ASSERT_EQ(Sum(cell), 0u) << "nothing is scanned before the job starts";
    }
    std::uint32_t lastShown = 0;
    std::uint64_t lastProcessed = 0;
    std::uint64_t lastFiles = 0;
    for (int step = 1; step <= 25; ++step) {
        job.AdvanceTo(job.TotalWork() * step / 25);
        const auto statistics = StatisticsOf(job);
        const std::vector<MapCell> cells = job.MapCells();
        // Scanned cells come first and add up to their slices; the rest read zero.
        std::uint32_t shown = 0;
        while (shown < cells.size() && Sum(cells[shown]) != 0) {
            ++shown;
        }
        for (std::uint32_t i = shown; i < cells.size(); ++i) {
            ASSERT_EQ(Sum(cells[i]), 0u) << "cell " << i << " at step " << step;
        }
        EXPECT_GE(shown, lastShown);
        EXPECT_GE(statistics->ProcessedClusters, lastProcessed);
        EXPECT_GE(statistics->TotalFiles, lastFiles);
        lastShown = shown;
        lastProcessed = statistics->ProcessedClusters;
        lastFiles = statistics->TotalFiles;

        // What the map shows in use is exactly what the statistics say is processed,
        // and the files found so far hold at least the red clusters on the map.
        const std::uint64_t taken =
            Total(cells, &MapCell::Used) + Total(cells, &MapCell::Optimized) +
            Total(cells, &MapCell::Fragmented) + Total(cells, &MapCell::Mft);
        EXPECT_EQ(taken, statistics->ProcessedClusters) << "step " << step;
        const auto found = job.Outcomes();
        EXPECT_EQ(found.size(), statistics->FragmentedFiles);
        EXPECT_GE(FragmentedClusters(found, false), Total(cells, &MapCell::Fragmented));
        EXPECT_LE(statistics->ProcessedClusters, statistics->UsedClusters);
    }
    ASSERT_TRUE(job.Done());
    EXPECT_EQ(lastShown, kCells);
    EXPECT_EQ(lastProcessed, model.usedClusters);
}

TEST_P(ScanOfDrive, EndsWithFiguresLikeARealDriveAndEveryMapState) {
    VolumeModel model = ModelOf(GetParam());
    DefragJob job(model, JobKind::Analysis, 0, kCells);
    job.AdvanceTo(job.TotalWork());
    const auto statistics = StatisticsOf(job);
    const auto outcomes = job.Outcomes();
    const std::vector<MapCell> cells = job.MapCells();

    EXPECT_EQ(statistics->TotalFiles, model.fileCount);
    EXPECT_EQ(statistics->TotalDirs, model.directoryCount);
    EXPECT_EQ(statistics->UsedClusters + statistics->FreeClusters, statistics->TotalClusters);
    EXPECT_EQ(Total(cells, &MapCell::Free), statistics->FreeClusters);
    ASSERT_EQ(outcomes.size(), statistics->FragmentedFiles);
    EXPECT_LE(outcomes.size(), kMaxFragmentedFiles);
    std::uint64_t bytes = 0;
    std::set<std::uint32_t> entries;
    for (const FileOutcome& outcome : outcomes) {
        EXPECT_GE(outcome.fragmentsBefore, 2);
        EXPECT_EQ(outcome.fragmentsAfter, outcome.fragmentsBefore);
        EXPECT_EQ(outcome.resultCode, FileResult::Ok);
        EXPECT_EQ(outcome.clusters, model.entries[outcome.entry].clusters);
        bytes += outcome.sizeBytes;
        entries.insert(outcome.entry);
    }
    EXPECT_EQ(entries.size(), outcomes.size()) << "each file is listed once";
    EXPECT_EQ(statistics->NonOptimizedBytes, bytes);
    EXPECT_EQ(FragmentedClusters(outcomes, false), Total(cells, &MapCell::Fragmented))
        << "the records and the map agree on the fragmented data";

    const Figures figures = FiguresOf(outcomes, *statistics, false);
    EXPECT_GE(figures.volume, 2.0);
    EXPECT_LE(figures.volume, 35.0);
    EXPECT_GT(figures.data, figures.volume);
    EXPECT_LE(figures.data, 60.0);

    const auto states = StateCounts(cells);
    EXPECT_GT(states[static_cast<int>(CellState::Free)], 0);
    EXPECT_GT(states[static_cast<int>(CellState::Used)], 0);
    EXPECT_GT(states[static_cast<int>(CellState::Fragmented)], 0);
    EXPECT_GT(states[static_cast<int>(CellState::Mft)], 0);
    EXPECT_EQ(states[static_cast<int>(CellState::Optimized)], 0) << "nothing was optimized yet";
}

TEST_P(ScanOfDrive, TwoPassesLowerFragmentationAndLeaveTheLockedFiles) {
    VolumeModel model = ModelOf(GetParam());
    DefragJob scan(model, JobKind::Analysis, 0, kCells);
    scan.AdvanceTo(scan.TotalWork());
    const auto scanStatistics = StatisticsOf(scan);
    const Figures scanned = FiguresOf(scan.Outcomes(), *scanStatistics, false);

    std::vector<Figures> after;
    std::vector<FileOutcome> left;
    for (const int pass : {1, 2}) {
        SCOPED_TRACE(pass);
        DefragJob job(model, JobKind::Optimization, pass, kCells);
        job.AdvanceTo(job.TotalWork());
        ASSERT_TRUE(job.Done());
        const auto statistics = StatisticsOf(job);
        const auto outcomes = job.Outcomes();
        const std::vector<MapCell> cells = job.MapCells();
        ASSERT_EQ(outcomes.size(), statistics->FragmentedFiles);
        if (pass == 2) {
            // The second pass takes up what the first left, and nothing else.
            ASSERT_EQ(outcomes.size(), left.size());
            for (std::size_t i = 0; i < outcomes.size(); ++i) {
                EXPECT_EQ(outcomes[i].entry, left[i].entry);
                EXPECT_EQ(outcomes[i].fragmentsBefore, left[i].fragmentsAfter);
            }
        }
        left.clear();
        std::uint64_t stillFragmentedBytes = 0;
        for (const FileOutcome& outcome : outcomes) {
            const Mobility mobility = model.entries[outcome.entry].mobility;
            if (outcome.resultCode == FileResult::Ok) {
                EXPECT_EQ(outcome.fragmentsAfter, 1);
                continue;
            }
            EXPECT_EQ(outcome.fragmentsAfter, outcome.fragmentsBefore);
            const std::int32_t expected = mobility == Mobility::Locked ? FileResult::Locked
                                          : mobility == Mobility::Unmovable
                                              ? FileResult::CannotMoveData
                                              : FileResult::NoFreeSpace;
            EXPECT_EQ(outcome.resultCode, expected);
            left.push_back(outcome);
            stillFragmentedBytes += outcome.sizeBytes;
        }
        // The optimization report lists the files with a reason, up to
        // fragmented − defragmented of the statistics: every one of them fits.
        EXPECT_EQ(statistics->FragmentedFiles - statistics->DeFragmentedFiles, left.size());
        EXPECT_EQ(statistics->NonOptimizedBytes, stillFragmentedBytes);
        EXPECT_EQ(statistics->ProcessedClusters, statistics->UsedClusters);
        EXPECT_EQ(statistics->UsedClusters + statistics->FreeClusters, statistics->TotalClusters);
        EXPECT_EQ(FragmentedClusters(outcomes, true), Total(cells, &MapCell::Fragmented));
        EXPECT_EQ(Total(cells, &MapCell::Free), statistics->FreeClusters);
        EXPECT_GT(StateCounts(cells)[static_cast<int>(CellState::Optimized)], 0);
        if (pass == 1) {
            EXPECT_EQ(FragmentedClusters(outcomes, false),
                      FragmentedClusters(scan.Outcomes(), false))
                << "the first pass starts from what the scan found";
        }
        after.push_back(FiguresOf(outcomes, *statistics, true));
    }
    EXPECT_LT(after[0].volume, scanned.volume);
    EXPECT_LT(after[1].volume, after[0].volume);
    EXPECT_GE(after[1].volume, 0.0);
    EXPECT_LT(after[0].data, scanned.data);
    EXPECT_LT(after[1].data, after[0].data);

    int locked = 0;
    for (const FileOutcome& outcome : left) {
        EXPECT_NE(outcome.resultCode, FileResult::NoFreeSpace) << "the second pass has the room";
        locked += outcome.resultCode == FileResult::Locked ? 1 : 0;
    }
    EXPECT_GE(locked, static_cast<int>(kMinLockedFragmentedFiles));

    // A scan after the optimization finds what it left, and shows the moved data.
    DefragJob rescan(model, JobKind::Analysis, 0, kCells);
    rescan.AdvanceTo(rescan.TotalWork());
    EXPECT_EQ(rescan.Outcomes().size(), left.size());
    EXPECT_GT(StateCounts(rescan.MapCells())[static_cast<int>(CellState::Optimized)], 0);
}

INSTANTIATE_TEST_SUITE_P(Drives, ScanOfDrive,
                         testing::Values(DriveCase{L'C', 16 * kGiB}, DriveCase{L'D', 64 * kGiB},
                                         DriveCase{L'C', 256 * kGiB}, DriveCase{L'E', 1024 * kGiB}),
                         Name);

TEST(DefragJob, SameLetterGivesTheSameScanAndOtherLettersDiffer) {
    // The current file of each step, as the progress page shows it.
    auto pathsOf = [](wchar_t letter) {
        VolumeModel model = BuildVolumeModel(letter, 32 * kGiB, L"");
        DefragJob job(model, JobKind::Analysis, 0, kCells);
        std::vector<std::wstring> paths;
        for (int step = 1; step <= 40; ++step) {
            job.AdvanceTo(job.TotalWork() * step / 40);
            paths.push_back(EntryPath(model, job.CurrentEntry()));
        }
        return paths;
    };
    const auto first = pathsOf(L'C');
    EXPECT_EQ(first, pathsOf(L'C'));
    EXPECT_EQ(std::set<std::wstring>(first.begin(), first.end()).size() > 30, true)
        << "the current file changes as the scan goes";
    for (const std::wstring& path : first) {
        EXPECT_TRUE(path.starts_with(L"C:\\")) << path;
        EXPECT_EQ(path.find(L"\\\\"), std::wstring::npos) << path;
    }
    const auto other = pathsOf(L'D');
    EXPECT_NE(first, other);
    EXPECT_TRUE(other.front().starts_with(L"D:\\"));
}

TEST(DefragJob, StoppedOptimizationMarksTheFilesNotReached) {
    VolumeModel model = BuildVolumeModel(L'E', 16 * kGiB, L"");
    DefragJob job(model, JobKind::Optimization, 1, kCells);
    job.AdvanceTo(job.TotalWork() / 2);
    job.Stop();
    EXPECT_TRUE(job.Stopped());
    const std::uint64_t done = job.DoneWork();
    job.AdvanceTo(job.TotalWork());
    EXPECT_EQ(job.DoneWork(), done) << "a stopped job does no more work";
    std::size_t stopped = 0;
    for (const FileOutcome& outcome : job.Outcomes()) {
        if (outcome.resultCode == FileResult::StoppedByUser) {
            ++stopped;
            EXPECT_EQ(outcome.fragmentsAfter, outcome.fragmentsBefore);
            EXPECT_TRUE(model.IsFragmented(outcome.entry));
        }
    }
    EXPECT_GT(stopped, 0u);
    EXPECT_LT(stopped, job.Outcomes().size());
}

// The map a pass would show once surveyed: what the client holds after a scan.
std::vector<MapCell> SurveyedMap(VolumeModel& model) {
    DefragJob scan(model, JobKind::Analysis, 0, kCells);
    scan.AdvanceTo(scan.TotalWork());
    return scan.MapCells();
}

bool SameCell(const MapCell& a, const MapCell& b) {
    return a.Free == b.Free && a.Used == b.Used && a.Optimized == b.Optimized &&
           a.Fragmented == b.Fragmented && a.Mft == b.Mft;
}

TEST(DefragJob, HandedBackMapSparesTheSurveyOfTheCellsItShowsRight) {
    VolumeModel model = BuildVolumeModel(L'D', 16 * kGiB, L"");
    const std::vector<MapCell> good = SurveyedMap(model);
    // The client's map from its last poll before the scan ended: the end is missing.
    std::vector<MapCell> lagging = good;
    std::fill(lagging.begin() + 1400, lagging.end(), MapCell{});
    std::vector<MapCell> recounted = good;
    recounted[3].Used += 1;
    recounted[3].Free -= 1;
    std::vector<MapCell> swapped = good;
    ASSERT_FALSE(SameCell(swapped[10], swapped[500]));
    std::swap(swapped[10], swapped[500]);
    const std::vector<MapCell> shorter(good.begin(), good.end() - 1);
    struct Case {
        const char* name;
        std::vector<MapCell> map;
        std::uint64_t advance;  // work done before the map arrives, in thousandths
        std::uint32_t taken;    // cells the pass takes from the map
    };
    const Case cases[] = {
        {"the map of the scan", good, 0, kCells},
        {"the end still unscanned", lagging, 0, 1400},
        {"one cluster counted as another kind", recounted, 0, kCells - 1},
        {"two cells out of place", swapped, 0, kCells - 2},
        {"all zero, as a map cache never filled", std::vector<MapCell>(kCells), 0, 0},
        {"another cell count", shorter, 0, 0},
        {"arrives after the survey", good, 300, 0},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        VolumeModel copy = model;
        DefragJob job(copy, JobKind::Optimization, 1, kCells);
        job.AdvanceTo(job.TotalWork() * test.advance / 1000);
        const std::uint64_t done = job.DoneWork();
        const bool surveying = job.Surveying();
        EXPECT_EQ(job.AdoptMap(test.map), test.taken != 0);
        EXPECT_EQ(job.CellsFromHandedBackMap(), test.taken);
        EXPECT_EQ(StatisticsOf(job)->UnusedB0, static_cast<std::int32_t>(test.taken));
        EXPECT_EQ(job.DoneWork() > done, test.taken != 0) << "taken cells count as surveyed";
        EXPECT_EQ(job.Surveying(), surveying && test.taken < kCells);
        // Before any move, the pass shows only what the scan saw: a cell is either
        // not known yet (zero) or the volume's own.
        if (test.advance == 0) {
            const std::vector<MapCell> shown = job.MapCells();
            std::uint32_t known = 0;
            for (std::size_t i = 0; i < shown.size(); ++i) {
                if (Sum(shown[i]) != 0) {
                    ASSERT_TRUE(SameCell(shown[i], good[i])) << i;
                    ++known;
                }
            }
            EXPECT_EQ(known, test.taken);
        }
        job.AdvanceTo(job.TotalWork());
        ASSERT_TRUE(job.Done());
        const std::vector<MapCell> ended = job.MapCells();
        EXPECT_EQ(FragmentedClusters(job.Outcomes(), true), Total(ended, &MapCell::Fragmented));
        EXPECT_EQ(Total(ended, &MapCell::Free), StatisticsOf(job)->FreeClusters);
    }
}

TEST(DefragJob, OnlyAnOptimizationTakesAMap) {
    VolumeModel model = BuildVolumeModel(L'D', 16 * kGiB, L"");
    const std::vector<MapCell> good = SurveyedMap(model);
    DefragJob analysis(model, JobKind::Analysis, 0, kCells);
    EXPECT_FALSE(analysis.AdoptMap(good)) << "a scan makes its own map";
    DefragJob stopped(model, JobKind::Optimization, 1, kCells);
    stopped.Stop();
    EXPECT_FALSE(stopped.AdoptMap(good));
    DefragJob twice(model, JobKind::Optimization, 1, kCells);
    EXPECT_TRUE(twice.AdoptMap(good));
    EXPECT_FALSE(twice.AdoptMap(good)) << "nothing left to take";
    EXPECT_EQ(twice.CellsFromHandedBackMap(), kCells);
}

}  // namespace
}  // namespace vantrel::defragsvc
