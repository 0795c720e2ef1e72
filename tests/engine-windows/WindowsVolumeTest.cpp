// The Windows backend under the engine's own jobs, over a simulated volume whose
// every answer is built as Windows builds it (SimulatedCalls): the jobs end as they
// do on the simulated volume itself, a refused move is told apart by reading again,
// a lying answer ends the file's or the job's work and moves nothing astray, and a
// volume without the calls (Wine's) ends the job with nothing counted.
#include "engine/FileLayout.h"
#include "engine/Job.h"
#include "engine/windows/WindowsVolume.h"
#include "tests/engine-windows/SimulatedCalls.h"
#include "tests/engine/SimSketch.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace vantrel::engine::windows::test {
namespace {

using engine::test::Draw;
using engine::test::FileTraits;
using engine::test::IdOf;
using engine::test::Picture;
using engine::test::RecordOf;
using engine::test::SketchOptions;

struct Ended {
    JobFigures figures;
    // Result code by path, for the files the job reported.
    std::map<std::u16string, std::int32_t> results;
};

Ended RunJob(Volume& volume, VolumeMemory& memory, JobKind kind, int pass = 0) {
    Job job(volume, memory, kind, pass, 4);
    while (!job.Done()) {
        job.Step();
    }
    Ended ended{job.Figures(), {}};
    for (const FileOutcome& outcome : job.Outcomes()) {
        ended.results[job.Table().PathOf(outcome.file)] = outcome.result;
    }
    return ended;
}

// A backend over `volume` and the calls it answers through.
struct Backend {
    explicit Backend(sim::SimVolume& volume) {
        auto owned = std::make_unique<SimulatedCalls>(volume);
        calls = owned.get();
        windows = std::make_unique<WindowsVolume>(std::move(owned));
    }
    SimulatedCalls* calls;
    std::unique_ptr<WindowsVolume> windows;
};

// Files in use, files that may not move, a folder and a file in it, and a file no free
// run holds until the second pass makes room. The file in the folder has the last
// record, so that the MFT's order and the walk's agree (the plan follows the order
// in which files of one size were found).
constexpr const char* kDrawn = "AA.A.BB.B.CC.C.LL.L.UU.U.DD.D.EE.E.FFFF.FFFF....Z....Y.......";
const std::map<char, FileTraits> kTraits = {
    {'L', {.mobility = sim::Mobility::Locked}},
    {'U', {.mobility = sim::Mobility::Unmovable}},
    {'D', {.name = u"Folder", .attributes = attributes::kDirectory}},
    {'E', {.name = u"E.dat", .record = 60, .parentRecord = RecordOf('D')}},
};

TEST(WindowsVolume, JobsOverWindowsAnswersEndAsTheyDoOnTheVolumeItself) {
    struct Case {
        const char* name;
        std::u16string fileSystem;
        bool enumerates;
    };
    const Case cases[] = {{"NTFS, files in MFT order", u"NTFS", true},
                          {"NTFS that will not enumerate its MFT", u"NTFS", false},
                          {"FAT32, files by walking the folders", u"FAT32", true}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        sim::SimOptions options = SketchOptions(0);
        options.fileSystem = test.fileSystem;
        const auto direct = Draw(kDrawn, kTraits, options);
        const auto answered = Draw(kDrawn, kTraits, options);
        Backend backend(*answered);
        backend.calls->enumerates = test.enumerates;
        VolumeMemory directMemory;
        VolumeMemory answeredMemory;
        const std::pair<JobKind, int> jobs[] = {
            {JobKind::Analysis, 0}, {JobKind::Optimization, 1}, {JobKind::Optimization, 2}};
        for (const auto& [kind, pass] : jobs) {
            SCOPED_TRACE(pass);
            const Ended expected = RunJob(*direct, directMemory, kind, pass);
            const Ended got = RunJob(*backend.windows, answeredMemory, kind, pass);
            EXPECT_EQ(got.figures.failure, VolumeStatus::Ok);
            EXPECT_EQ(got.results, expected.results);
            EXPECT_EQ(got.figures.counts.files, expected.figures.counts.files);
            EXPECT_EQ(got.figures.counts.fragmentedFiles, expected.figures.counts.fragmentedFiles);
            EXPECT_EQ(got.figures.counts.nonOptimizedBytes,
                      expected.figures.counts.nonOptimizedBytes);
            EXPECT_EQ(got.figures.counts.largestFreeRun, expected.figures.counts.largestFreeRun);
            EXPECT_EQ(Picture(*answered), Picture(*direct));
        }
        EXPECT_GT(backend.calls->moves, 0);
        EXPECT_TRUE(backend.calls->moveInputWellFormed);
        EXPECT_EQ(backend.calls->opened, backend.calls->closed) << "every file handle is closed";
        EXPECT_EQ(answered->Audit(), "");
    }
}

TEST(WindowsVolume, ARefusedMoveIsToldApartByReadingTheRunsAndTheBitmapAgain) {
    const auto volume = Draw("A.A.BB...UU.U...", {{'U', {.mobility = sim::Mobility::Unmovable}},
                                                  {'L', {.mobility = sim::Mobility::Locked}}});
    Backend backend(*volume);
    VolumeData data;
    ASSERT_EQ(backend.windows->QueryVolumeData(data), VolumeStatus::Ok);
    // Both come back from the file system as "access denied".
    EXPECT_EQ(backend.windows->MoveClusters(IdOf('A'), 0, 4, 2), VolumeStatus::TargetInUse);
    EXPECT_EQ(backend.windows->MoveClusters(IdOf('U'), 0, 6, 3), VolumeStatus::CannotMove);
    EXPECT_EQ(Picture(*volume), "A.A.BB...UU.U...");

    // A move the system made although it answered "access denied".
    backend.calls->craft = [&](DWORD code, HANDLE, const void* in) -> std::optional<CraftedAnswer> {
        if (code != FSCTL_MOVE_FILE) {
            return std::nullopt;
        }
        MOVE_FILE_DATA move{};
        std::memcpy(&move, in, sizeof move);
        volume->MoveClusters(IdOf('A'), static_cast<Vcn>(move.StartingVcn.QuadPart),
                             static_cast<Lcn>(move.StartingLcn.QuadPart), move.ClusterCount);
        return CraftedAnswer{{}, ERROR_ACCESS_DENIED};
    };
    EXPECT_EQ(backend.windows->MoveClusters(IdOf('A'), 0, 6, 2), VolumeStatus::Ok);
    EXPECT_EQ(Picture(*volume), "....BBAA.UU.U...");
    backend.calls->craft = nullptr;

    // What is never asked of the file system, whatever the caller wants.
    const int movesBefore = backend.calls->moves;
    EXPECT_EQ(backend.windows->MoveClusters(sim::SimVolume::IdOf(9, 9), 0, 14, 1),
              VolumeStatus::CannotMove)
        << "an NTFS metadata record";
    EXPECT_EQ(backend.windows->MoveClusters(IdOf('B'), 0, 15, 2), VolumeStatus::InvalidParameter)
        << "a target past the volume's end";
    EXPECT_EQ(backend.windows->MoveClusters(IdOf('B'), 0, 0, 1ull << 32),
              VolumeStatus::InvalidParameter)
        << "more than one call can move";
    EXPECT_EQ(backend.calls->moves, movesBefore);
    EXPECT_EQ(backend.calls->opened, backend.calls->closed);

    sim::SimOptions solid = SketchOptions(0);
    solid.media = MediaKind::SolidState;
    const auto ssd = Draw("A.A.............", {}, solid);
    Backend onSsd(*ssd);
    ASSERT_EQ(onSsd.windows->QueryVolumeData(data), VolumeStatus::Ok);
    EXPECT_EQ(onSsd.windows->QueryMedia(), MediaKind::SolidState);
    EXPECT_EQ(onSsd.windows->MoveClusters(IdOf('A'), 0, 4, 2), VolumeStatus::CannotMove);
    EXPECT_EQ(onSsd.calls->moves, 0);
}

TEST(WindowsVolume, ALyingAnswerEndsTheFilesOrTheJobsWorkAndMovesNothingAstray) {
    constexpr const char* kFragmented = "AA.A.BB.B.CC.C..................";
    using Answer = std::vector<std::byte>;
    Answer overlapping;  // two runs of B on the same clusters
    Put(overlapping, RetrievalPointersHeader{2, 0, 0});
    Put(overlapping, RetrievalExtent{2, 5});
    Put(overlapping, RetrievalExtent{3, 6});
    Answer bitmapAhead;
    Put(bitmapAhead, VolumeBitmapHeader{64, 8});
    Answer nameOutside;
    Put(nameOutside, std::uint64_t{99});
    UsnRecordV2 record{};
    record.recordLength = 64;
    record.majorVersion = 2;
    record.fileNameLength = 200;
    record.fileNameOffset = 60;
    Put(nameOutside, record);

    struct Case {
        const char* name;
        DWORD code;
        bool aboutB;      // the lie is told of file B only
        bool afterAMove;  // and only once a move was made
        CraftedAnswer lie;
        VolumeStatus jobFailure;
        std::optional<std::int32_t> resultOfB;  // nullopt: B is not reported
    };
    const Case cases[] = {
        {"B's runs overlap",
         FSCTL_GET_RETRIEVAL_POINTERS,
         true,
         false,
         {overlapping},
         VolumeStatus::Ok,
         std::nullopt},
        {"B's runs read back after its move overlap",
         FSCTL_GET_RETRIEVAL_POINTERS,
         true,
         true,
         {overlapping},
         VolumeStatus::Ok,
         result::kCannotMoveData},
        {"the bitmap begins past what was asked",
         FSCTL_GET_VOLUME_BITMAP,
         false,
         false,
         {bitmapAhead},
         VolumeStatus::BadAnswer,
         std::nullopt},
        {"a name past its record",
         FSCTL_ENUM_USN_DATA,
         false,
         false,
         {nameOutside},
         VolumeStatus::BadAnswer,
         std::nullopt},
        {"more bytes claimed than the buffer holds",
         FSCTL_GET_VOLUME_BITMAP,
         false,
         false,
         {bitmapAhead, ERROR_SUCCESS, 0x7FFFFFFF},
         VolumeStatus::BadAnswer,
         std::nullopt},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const auto volume = Draw(kFragmented);
        Backend backend(*volume);
        const HANDLE fileB = SimulatedCalls::HandleOf(RecordOf('B'));
        backend.calls->craft = [&](DWORD code, HANDLE file,
                                   const void*) -> std::optional<CraftedAnswer> {
            if (code != test.code || (test.aboutB && file != fileB) ||
                (test.afterAMove && backend.calls->moves == 0)) {
                return std::nullopt;
            }
            return test.lie;
        };
        VolumeMemory memory;
        const Ended pass = RunJob(*backend.windows, memory, JobKind::Optimization, 1);
        EXPECT_EQ(pass.figures.failure, test.jobFailure);
        if (test.jobFailure != VolumeStatus::Ok) {
            EXPECT_EQ(pass.figures.counts.totalClusters, 0u);
            EXPECT_TRUE(pass.results.empty());
            EXPECT_EQ(Picture(*volume), kFragmented) << "nothing moved";
        } else {
            EXPECT_EQ(pass.results.at(u"\\A.dat"), result::kOk);
            EXPECT_EQ(pass.results.at(u"\\C.dat"), result::kOk);
            const auto b = pass.results.find(u"\\B.dat");
            EXPECT_EQ(b == pass.results.end() ? std::nullopt : std::optional(b->second),
                      test.resultOfB);
            if (!test.resultOfB) {
                EXPECT_EQ(Picture(*volume).substr(5, 4), "BB.B") << "B was left where it was";
            }
        }
        EXPECT_EQ(volume->Audit(), "");
        EXPECT_EQ(backend.calls->opened, backend.calls->closed);
    }
}

TEST(WindowsVolume, AVolumeWithoutTheCallsEndsTheJobWithNothingCounted) {
    // Wine answers "not supported" for the volume's data and for its bitmap.
    for (const DWORD failing : {FSCTL_GET_NTFS_VOLUME_DATA, FSCTL_GET_VOLUME_BITMAP}) {
        SCOPED_TRACE(failing);
        const auto volume = Draw("AA.A.BB.B.......");
        Backend backend(*volume);
        backend.calls->craft = [&](DWORD code, HANDLE,
                                   const void*) -> std::optional<CraftedAnswer> {
            return code == failing
                       ? std::optional<CraftedAnswer>(CraftedAnswer{{}, ERROR_INVALID_FUNCTION})
                       : std::nullopt;
        };
        VolumeMemory memory;
        for (const JobKind kind : {JobKind::Analysis, JobKind::Optimization}) {
            const Ended ended = RunJob(*backend.windows, memory, kind, 1);
            EXPECT_EQ(ended.figures.failure, VolumeStatus::NotSupported);
            EXPECT_EQ(ended.figures.counts.totalClusters, 0u);
            EXPECT_EQ(ended.figures.counts.files, 0u);
            EXPECT_TRUE(ended.results.empty());
        }
        EXPECT_EQ(backend.calls->moves, 0);
    }
}

}  // namespace
}  // namespace vantrel::engine::windows::test
