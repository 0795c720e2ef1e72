// The engine's decisions on small volumes drawn by hand, where the layout before
// and after a job can be written down: what the analysis counts and maps, where
// each pass puts each file, which files stay where they are and with what result,
// and how the failures of the volume's contract are met.
#include "engine/FileMove.h"
#include "engine/Job.h"
#include "tests/engine/SimSketch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::engine::test {
namespace {

struct Ended {
    JobFigures figures;
    std::vector<FileOutcome> outcomes;
    std::vector<CellCounters> cells;
    FileTable table;

    const FileOutcome* Of(char letter) const {
        for (const FileOutcome& outcome : outcomes) {
            if (table.IdOf(outcome.file) == IdOf(letter)) {
                return &outcome;
            }
        }
        return nullptr;
    }
    std::int32_t ResultOf(char letter) const { return Of(letter) ? Of(letter)->result : -1; }
};

Ended Finish(Job& job) {
    while (!job.Done()) {
        job.Step();
    }
    Ended ended{job.Figures(), job.Outcomes(), job.Cells(), job.TakeTable()};
    return ended;
}

Ended RunJob(SimVolume& volume, VolumeMemory& memory, JobKind kind, int pass = 0,
             std::uint32_t cells = 4) {
    Job job(volume, memory, kind, pass, cells);
    return Finish(job);
}

// Every file's data as it was, wherever it lies now.
void ExpectDataKept(const SimVolume& before, const SimVolume& after) {
    EXPECT_EQ(after.Audit(), "");
    for (std::uint64_t record = 0; record < before.RecordCount(); ++record) {
        if (before.File(record).exists) {
            EXPECT_EQ(after.DataShape(record).size(), before.DataShape(record).size()) << record;
        }
    }
}

TEST(EngineDecisions, AnalysisCountsFilesFragmentsAndFillsTheMap) {
    const auto volume =
        Draw("MMAA.BB.A..B...CCCC.C...DDDD....", {{'M', {.name = u"$MFT", .record = 0}}});
    VolumeMemory memory;
    const Ended scan = RunJob(*volume, memory, JobKind::Analysis);
    const VolumeCounts& counts = scan.figures.counts;
    EXPECT_EQ(counts.files, 5u);
    EXPECT_EQ(counts.directories, 1u) << "the root";
    EXPECT_EQ(counts.fragmentedFiles, 3u);
    EXPECT_EQ(counts.fragments, 8u);
    EXPECT_EQ(counts.totalClusters, 32u);
    EXPECT_EQ(counts.usedClusters, 17u);
    EXPECT_EQ(counts.freeClusters, 15u);
    EXPECT_EQ(counts.largestFreeRun, 4u);
    EXPECT_EQ(counts.processedClusters, 17u);
    EXPECT_EQ(counts.nonOptimizedBytes, 11u * 4096);
    // Four cells of eight clusters: free, used, optimized, fragmented, MFT.
    const std::vector<CellCounters> cells = {
        {2, 0, 0, 4, 2}, {5, 0, 0, 3, 0}, {4, 0, 0, 4, 0}, {4, 4, 0, 0, 0}};
    EXPECT_EQ(scan.cells, cells);
    ASSERT_EQ(scan.outcomes.size(), 3u);
    EXPECT_EQ(scan.Of('C')->fragmentsBefore, 2);
    EXPECT_EQ(scan.Of('C')->storedClusters, 5u);
    EXPECT_EQ(scan.table.PathOf(scan.Of('A')->file), u"\\A.dat");
}

TEST(EngineDecisions, FirstPassGivesEachFileTheBestFittingRunLargestFirst) {
    const auto volume = Draw("AA.BB.A..B....CCCC.C............");
    const auto before = Draw("AA.BB.A..B....CCCC.C............");
    VolumeMemory memory;
    const Ended pass = RunJob(*volume, memory, JobKind::Optimization, 1);
    // C (5) takes the smallest run that holds it, then A and B (3 each) in turn.
    EXPECT_EQ(Picture(*volume), "..........AAA.......CCCCCBBB....");
    for (const char letter : {'A', 'B', 'C'}) {
        EXPECT_EQ(pass.ResultOf(letter), result::kOk) << letter;
        EXPECT_EQ(pass.Of(letter)->fragmentsAfter, 1) << letter;
    }
    EXPECT_EQ(pass.figures.defragmentedFiles, 3u);
    EXPECT_EQ(pass.figures.counts.nonOptimizedBytes, 0u);
    EXPECT_EQ(pass.figures.movedClusters, 11u);
    ExpectDataKept(*before, *volume);

    // The next analysis shows the placed files as optimized data.
    const Ended scan = RunJob(*volume, memory, JobKind::Analysis);
    EXPECT_EQ(scan.figures.counts.fragmentedFiles, 0u);
    std::uint64_t optimized = 0;
    for (const CellCounters& cell : scan.cells) {
        optimized += cell.optimized;
    }
    EXPECT_EQ(optimized, 11u);
}

TEST(EngineDecisions, SecondPassMovesASmallFileAsideForAFileNoRunHolds) {
    const char* const drawn = "BBBB.BBBB.....Z.....Y......";
    const auto volume = Draw(drawn);
    const auto before = Draw(drawn);
    VolumeMemory memory;
    const Ended first = RunJob(*volume, memory, JobKind::Optimization, 1);
    EXPECT_EQ(first.ResultOf('B'), result::kNoFreeSpace) << "no free run holds 8 clusters";
    EXPECT_EQ(Picture(*volume), drawn);

    const Ended second = RunJob(*volume, memory, JobKind::Optimization, 2);
    // Z leaves the window with the fewest clusters in use for the best-fitting gap.
    EXPECT_EQ(Picture(*volume), "....Z....BBBBBBBB...Y......");
    EXPECT_EQ(second.ResultOf('B'), result::kOk);
    EXPECT_EQ(second.figures.defragmentedFiles, 1u);
    ExpectDataKept(*before, *volume);
}

TEST(EngineDecisions, APassThatOnlyPlansMovesNothingAndListsTheMovesAPassMakes) {
    struct Case {
        const char* drawn;
        int pass;
    };
    // The second drawing needs a window: Z leaves it before B goes in.
    const Case cases[] = {{"AA.BB.A..B....CCCC.C............", 1},
                          {"BBBB.BBBB.....Z.....Y......", 2}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.drawn);
        const auto planned = Draw(test.drawn);
        VolumeMemory memory;
        Job dry(*planned, memory, JobKind::Optimization, test.pass, 4, Job::Moves::PlanOnly);
        const Ended plan = Finish(dry);
        EXPECT_EQ(Picture(*planned), test.drawn) << "a dry run moves nothing";
        const std::vector<PlannedMove> moves = dry.PlannedMoves();
        ASSERT_FALSE(moves.empty());
        for (const FileOutcome& outcome : plan.outcomes) {
            EXPECT_EQ(outcome.result, result::kStoppedByUser);
            EXPECT_EQ(outcome.fragmentsAfter, outcome.fragmentsBefore);
        }

        const auto moved = Draw(test.drawn);
        VolumeMemory movedMemory;
        RunJob(*moved, movedMemory, JobKind::Optimization, test.pass);
        for (const PlannedMove& move : moves) {
            const std::uint64_t record = plan.table.IdOf(move.file) & 0xFFFFFFFFFFFFull;
            const auto& before = planned->ExtentsOf(record);
            const auto& after = moved->ExtentsOf(record);
            ASSERT_FALSE(before.empty());
            ASSERT_EQ(after.size(), 1u) << "the pass made the move the plan named";
            EXPECT_EQ(before.front().lcn, move.from);
            EXPECT_EQ(after.front().lcn, move.to);
            EXPECT_EQ(after.front().clusters, move.clusters);
        }
    }
}

TEST(EngineDecisions, AVolumeThatCannotBeReadEndsTheJobWithNothingCounted) {
    // Wine's drives: the volume answers its data, then refuses the bitmap.
    for (const JobKind kind : {JobKind::Analysis, JobKind::Optimization}) {
        const auto volume = Draw("AA.A.BB.B.......");
        volume->FailAfter(2, VolumeStatus::NotSupported);
        VolumeMemory memory;
        const Ended ended = RunJob(*volume, memory, kind, 1);
        EXPECT_EQ(ended.figures.failure, VolumeStatus::NotSupported);
        EXPECT_EQ(ended.figures.counts.totalClusters, 0u);
        EXPECT_EQ(ended.figures.counts.usedClusters, 0u);
        EXPECT_EQ(ended.figures.counts.processedClusters, 0u);
        EXPECT_TRUE(ended.outcomes.empty());
        for (const CellCounters& cell : ended.cells) {
            EXPECT_EQ(cell, CellCounters{});
        }
    }
}

TEST(EngineDecisions, FilesThatStayWhereTheyAreGetTheirReasons) {
    struct Case {
        const char* name;
        std::map<char, FileTraits> traits;
        std::u16string fileSystem;
        MediaKind media;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"page file",
         {{'A', {.name = u"pagefile.sys"}}},
         u"NTFS",
         MediaKind::Rotational,
         result::kSafeFile},
        {"hibernation file",
         {{'A', {.name = u"HIBERFIL.SYS"}}},
         u"NTFS",
         MediaKind::Rotational,
         result::kSafeFile},
        {"metadata record",
         {{'A', {.name = u"$Secure", .record = 9}}},
         u"NTFS",
         MediaKind::Rotational,
         result::kSafeFile},
        {"below $Extend",
         {{'E', {.name = u"$Extend", .attributes = attributes::kDirectory, .record = 11}},
          {'A', {.name = u"$Reparse", .parentRecord = 11}}},
         u"NTFS",
         MediaKind::Rotational,
         result::kSafeFile},
        {"refused by the volume",
         {{'A', {.mobility = sim::Mobility::Unmovable}}},
         u"NTFS",
         MediaKind::Rotational,
         result::kSafeFile},
        {"in use",
         {{'A', {.mobility = sim::Mobility::Locked}}},
         u"NTFS",
         MediaKind::Rotational,
         result::kLocked},
        {"directory on FAT",
         {{'A', {.attributes = attributes::kDirectory}}},
         u"FAT32",
         MediaKind::Rotational,
         result::kCannotMoveOnFat},
        {"solid-state drive", {}, u"NTFS", MediaKind::SolidStateWithTrim, result::kSafeFile},
        {"solid-state drive without trim", {}, u"NTFS", MediaKind::SolidState, result::kSafeFile},
        {"medium that did not say", {}, u"NTFS", MediaKind::Unknown, result::kOk},
        {"an ordinary file", {}, u"NTFS", MediaKind::Rotational, result::kOk},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        SimOptions options = SketchOptions(16);
        options.fileSystem = test.fileSystem;
        options.media = test.media;
        const auto volume = Draw("A.A.............", test.traits, options);
        VolumeMemory memory;
        const Ended pass = RunJob(*volume, memory, JobKind::Optimization, 1);
        ASSERT_EQ(pass.outcomes.size(), 1u);
        EXPECT_EQ(pass.outcomes[0].result, test.expected);
        const bool moved = test.expected == result::kOk;
        std::string picture = Picture(*volume);
        std::replace(picture.begin(), picture.end(), '#', 'A');
        EXPECT_EQ(picture, moved ? "...AA..........." : "A.A.............");
        EXPECT_EQ(pass.outcomes[0].fragmentsAfter, moved ? 1 : 2);
    }
}

TEST(EngineDecisions, ATargetTakenSinceTheBitmapGetsOneOtherRunAtMost) {
    struct Case {
        const char* name;
        Lcn takenFrom;
        std::uint64_t takenClusters;
        std::int32_t expected;
        const char* after;
    };
    const Case cases[] = {
        {"the planned run", 3, 2, result::kOk, "...WWAA......."},
        {"the other run too", 3, 10, result::kNoFreeSpace, "A.AWWWWWWWWWW."},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const auto volume = Draw("A.A...........");
        VolumeMemory memory;
        Job job(*volume, memory, JobKind::Optimization, 1, 4);
        while (!job.Planned()) {
            job.Step();
        }
        // Another program writes between the engine's bitmap and its move.
        ASSERT_TRUE(volume->AddFile({.record = RecordOf('W'),
                                     .size = test.takenClusters * 4096,
                                     .runs = {{0, test.takenClusters, test.takenFrom}}}));
        const std::uint64_t callsBefore = volume->Calls();
        const Ended pass = Finish(job);
        EXPECT_EQ(pass.ResultOf('A'), test.expected);
        EXPECT_EQ(Picture(*volume), test.after);
        EXPECT_LE(volume->Calls() - callsBefore, 6u) << "no loop over taken runs";
        EXPECT_EQ(volume->Audit(), "");
    }
}

TEST(EngineDecisions, ClustersFreedByAMoveAreNotReusedBeforeTheCheckpoint) {
    SimOptions options = SketchOptions(16);
    options.checkpointCalls = 1000000;  // no checkpoint unless the test takes one
    const auto volume = Draw("AAA.A.CC.C.C....", {}, options);
    VolumeMemory memory;
    const Ended first = RunJob(*volume, memory, JobKind::Optimization, 1);
    EXPECT_EQ(first.ResultOf('A'), result::kOk);
    EXPECT_EQ(first.ResultOf('C'), result::kNoFreeSpace);
    EXPECT_EQ(Picture(*volume), "......CC.C.CAAAA");

    // The bitmap shows A's old clusters free, but the file system holds them still.
    const std::uint64_t callsBefore = volume->Calls();
    const Ended second = RunJob(*volume, memory, JobKind::Optimization, 2);
    EXPECT_EQ(second.ResultOf('C'), result::kNoFreeSpace);
    EXPECT_EQ(second.Of('C')->fragmentsAfter, 3);
    EXPECT_EQ(Picture(*volume), "......CC.C.CAAAA");
    EXPECT_LE(volume->Calls() - callsBefore, 16u) << "a refused run is not tried in a loop";

    volume->Checkpoint();
    const Ended third = RunJob(*volume, memory, JobKind::Optimization, 1);
    EXPECT_EQ(third.ResultOf('C'), result::kOk);
    EXPECT_EQ(Picture(*volume), "CCCC........AAAA");
    EXPECT_EQ(volume->Audit(), "");
}

TEST(EngineDecisions, CompressedDataMovesInWholeCompressionUnits) {
    // Four units of 16 VCNs, each with 3 clusters stored and the rest a hole.
    const char* const drawn = "AAA..AAA..AAA..AAA..............";
    const std::map<char, FileTraits> compressed = {
        {'A', {.attributes = attributes::kCompressed, .holeAfterEachRun = true}}};
    const auto volume = Draw(drawn, compressed);
    const auto before = Draw(drawn, compressed);
    std::vector<Extent> extents(volume->ExtentsOf(RecordOf('A')).size());
    std::transform(volume->ExtentsOf(RecordOf('A')).begin(), volume->ExtentsOf(RecordOf('A')).end(),
                   extents.begin(), [](const sim::SimExtent& extent) {
                       return Extent{extent.vcn, extent.clusters, extent.lcn};
                   });
    // Chunks of one unit each, the volume refusing anything else.
    FileMove move(IdOf('A'), extents, true, 3);
    move.Aim(20);
    int chunks = 0;
    while (!move.Finished()) {
        ASSERT_EQ(move.MoveNext(*volume), VolumeStatus::Ok) << "chunk " << chunks;
        ++chunks;
    }
    EXPECT_EQ(chunks, 4);
    EXPECT_EQ(Picture(*volume), "....................AAAAAAAAAAAA");
    ExpectDataKept(*before, *volume);

    // A range that breaks a unit is refused.
    EXPECT_EQ(volume->MoveClusters(IdOf('A'), 8, 0, 16), VolumeStatus::CannotMove);
}

TEST(EngineDecisions, StopOrAFailingVolumeEndsThePassAndLeavesItConsistent) {
    const char* const drawn = "AA.A.BB.B.CC.C..................";
    struct Case {
        const char* name;
        bool stop;
        VolumeStatus failure;
    };
    const Case cases[] = {
        {"stopped", true, VolumeStatus::Ok},
        {"dismounted", false, VolumeStatus::VolumeChanged},
        {"failing disk", false, VolumeStatus::IoError},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const auto volume = Draw(drawn);
        const auto before = Draw(drawn);
        VolumeMemory memory;
        Job job(*volume, memory, JobKind::Optimization, 1, 4);
        while (!job.Planned()) {
            job.Step();
        }
        job.Step();  // the first file's target check
        job.Step();  // and its move
        if (test.stop) {
            job.Stop();
        } else {
            volume->FailAfter(0, test.failure);
        }
        const Ended pass = Finish(job);
        EXPECT_TRUE(job.Done());
        EXPECT_EQ(pass.figures.failure, test.failure);
        EXPECT_EQ(pass.figures.defragmentedFiles, 1u) << "A was done before";
        const std::int32_t unreached = test.stop ? result::kStoppedByUser : result::kCannotMoveData;
        EXPECT_EQ(pass.ResultOf('B'), unreached);
        EXPECT_EQ(pass.ResultOf('C'), unreached);
        EXPECT_EQ(pass.Of('C')->fragmentsAfter, 2);
        ExpectDataKept(*before, *volume);
        EXPECT_LT(pass.figures.counts.processedClusters, pass.figures.counts.usedClusters);
    }
}

TEST(EngineDecisions, AHandedBackMapIsComparedButNeverActedOn) {
    const char* const drawn = "AA.A.BB.B.CC.C..................";
    const auto scanned = Draw(drawn);
    VolumeMemory memory;
    const std::vector<CellCounters> map = RunJob(*scanned, memory, JobKind::Analysis).cells;
    std::vector<CellCounters> wrong = map;
    wrong[1].used += 1;
    wrong[1].free -= 1;
    std::vector<CellCounters> unseen = map;
    unseen[3] = {};
    struct Case {
        const char* name;
        std::vector<CellCounters> offered;
        std::uint32_t confirmed;
    };
    const Case cases[] = {
        {"the scan's map", map, 4},
        {"one cell counted otherwise", wrong, 3},
        {"one cell not seen yet", unseen, 3},
        {"another cell count", std::vector<CellCounters>(map.begin(), map.end() - 1), 0},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const auto volume = Draw(drawn);
        VolumeMemory fresh;
        Job job(*volume, fresh, JobKind::Optimization, 1, 4);
        job.OfferClientMap(test.offered);
        const Ended pass = Finish(job);
        EXPECT_EQ(pass.figures.confirmedCells, test.confirmed);
        EXPECT_EQ(Picture(*volume), "..............AAABBBCCC.........");
    }
}

}  // namespace
}  // namespace vantrel::engine::test
