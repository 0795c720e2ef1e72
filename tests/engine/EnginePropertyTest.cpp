// Seeded runs on random simulated volumes: small ones, with every kind of file
// (fragmented, sparse, compressed, locked, unmovable, metadata, directories),
// small pages, checkpoints early and late, sometimes a writer at work, a stop or a
// failing volume at any point. After every job: the volume is consistent, every
// file's data is where its VCNs say, and an analysis's figures and map equal a
// recount made here from the volume itself.
#include "engine/Job.h"
#include "engine/sim/Random.h"
#include "tests/engine/SimSketch.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

namespace vantrel::engine::test {
namespace {

using sim::SimExtent;
using sim::SplitMix64;

constexpr std::uint32_t kCells = 13;
// Thousands natively; the Windows trees run fewer under Wine, where the point is the
// same code built by the other compiler.
#ifndef VANTREL_PROPERTY_RUNS
#define VANTREL_PROPERTY_RUNS 2000
#endif
constexpr std::uint64_t kRuns = VANTREL_PROPERTY_RUNS;

// Takes `clusters` free clusters at a random place, searching onwards.
std::optional<Lcn> TakeRun(std::vector<bool>& used, SplitMix64& random, std::uint64_t clusters) {
    const std::uint64_t total = used.size();
    const Lcn from = random.Next() % total;
    for (std::uint64_t step = 0; step < total; ++step) {
        const Lcn start = (from + step) % total;
        if (start + clusters > total) {
            continue;
        }
        bool free = true;
        for (Lcn lcn = start; lcn < start + clusters && free; ++lcn) {
            free = !used[lcn];
        }
        if (free) {
            for (Lcn lcn = start; lcn < start + clusters; ++lcn) {
                used[lcn] = true;
            }
            return start;
        }
    }
    return std::nullopt;
}

std::unique_ptr<SimVolume> RandomVolume(SplitMix64& random) {
    SimOptions options;
    options.totalClusters = random.Between(128, 2048);
    options.fileSystem = random.Chance(0.9) ? u"NTFS" : u"FAT32";
    options.media = random.Chance(0.05) ? MediaKind::SolidState : MediaKind::Rotational;
    options.bitmapPageClusters = random.Between(8, 600);
    options.enumerationBatch = static_cast<std::uint32_t>(random.Between(1, 16));
    options.extentsPage = static_cast<std::uint32_t>(random.Between(1, 6));
    const std::uint64_t checkpoints[] = {0, 1, 7, 40, 1000000};
    options.checkpointCalls = checkpoints[random.Next() % std::size(checkpoints)];
    auto volume = Draw("", {}, options);
    std::vector<bool> used(options.totalClusters, false);
    const auto files = random.Between(3, 50);
    for (std::uint64_t i = 0; i < files; ++i) {
        SimFileSpec wanted;
        wanted.record = i == 0 && random.Chance(0.5) ? 0 : 16 + i;  // sometimes an MFT
        const bool directory = random.Chance(0.1);
        wanted.attributes = directory ? attributes::kDirectory : attributes::kArchive;
        const bool compressed = !directory && random.Chance(0.15);
        if (compressed) {
            wanted.attributes |= random.Chance(0.5) ? attributes::kCompressed : attributes::kSparse;
        }
        wanted.mobility = random.Chance(0.05)   ? sim::Mobility::Locked
                          : random.Chance(0.05) ? sim::Mobility::Unmovable
                                                : sim::Mobility::Movable;
        if (random.Chance(0.03)) {
            wanted.name = u"pagefile.sys";
        }
        const auto pieces = random.Between(1, 5);
        for (std::uint64_t piece = 0; piece < pieces; ++piece) {
            const std::uint64_t clusters = random.Between(1, compressed ? 15 : 40);
            if (const std::optional<Lcn> lcn = TakeRun(used, random, clusters)) {
                wanted.runs.push_back({0, clusters, *lcn});
                if (compressed) {
                    wanted.runs.push_back({0, 16 - clusters, kNoLcn});
                }
            }
        }
        std::uint64_t vcns = 0;
        for (const Extent& run : wanted.runs) {
            vcns += run.clusters;
        }
        wanted.size = vcns * options.bytesPerCluster - random.Between(0, 100);
        if (!volume->AddFile(wanted)) {
            ADD_FAILURE() << "the generator drew a taken cluster";
        }
    }
    return volume;
}

// The figures an analysis must come to, counted here from the volume itself.
struct Recount {
    VolumeCounts counts;
    std::vector<CellCounters> cells;
};

std::uint32_t FragmentsOf(std::span<const SimExtent> extents) {
    std::uint32_t fragments = 0;
    Lcn expected = kNoLcn;
    for (const SimExtent& extent : extents) {
        if (extent.lcn != kNoLcn) {
            fragments += extent.lcn != expected ? 1 : 0;
            expected = extent.lcn + extent.clusters;
        }
    }
    return fragments;
}

Recount RecountOf(const SimVolume& volume, const VolumeMemory& memory, std::uint32_t cells) {
    Recount recount;
    VolumeCounts& counts = recount.counts;
    const std::uint64_t total = volume.Options().totalClusters;
    counts.totalClusters = total;
    counts.freeClusters = volume.FreeClusters();
    counts.usedClusters = total - counts.freeClusters;
    counts.processedClusters = counts.usedClusters;
    std::vector<char> kinds(total, 'f');
    for (Lcn lcn = 0; lcn < total; ++lcn) {
        kinds[lcn] = volume.InUse(lcn) ? 'u' : 'f';
    }
    std::uint64_t run = 0;
    for (Lcn lcn = 0; lcn < total; ++lcn) {
        run = kinds[lcn] == 'f' ? run + 1 : 0;
        counts.largestFreeRun = std::max(counts.largestFreeRun, run);
    }
    const bool ntfs = volume.Options().fileSystem == u"NTFS";
    for (std::uint64_t record = 0; record < volume.RecordCount(); ++record) {
        const sim::SimFile& file = volume.File(record);
        if (!file.exists) {
            continue;
        }
        const bool directory = (file.attributes & attributes::kDirectory) != 0;
        ++(directory ? counts.directories : counts.files);
        const std::uint32_t fragments = FragmentsOf(volume.ExtentsOf(record));
        counts.fragments += fragments;
        char kind = memory.IsOptimized(file.id) ? 'o' : 'u';
        if (fragments >= 2) {
            ++counts.fragmentedFiles;
            counts.nonOptimizedBytes += file.size;
            kind = 'r';
        }
        if (ntfs && record == 0) {
            kind = 'm';
        }
        for (const SimExtent& extent : volume.ExtentsOf(record)) {
            for (std::uint64_t i = 0; extent.lcn != kNoLcn && i < extent.clusters; ++i) {
                kinds[extent.lcn + i] = kind;
            }
        }
    }
    recount.cells.resize(cells);
    for (Lcn lcn = 0; lcn < total; ++lcn) {
        std::uint32_t cell = 0;
        while (cell + 1 < cells && total * (cell + 1) / cells <= lcn) {
            ++cell;
        }
        CellCounters& counters = recount.cells[cell];
        switch (kinds[lcn]) {
            case 'f':
                ++counters.free;
                break;
            case 'o':
                ++counters.optimized;
                break;
            case 'r':
                ++counters.fragmented;
                break;
            case 'm':
                ++counters.mft;
                break;
            default:
                ++counters.used;
        }
    }
    return recount;
}

void ExpectAnalysisMatchesRecount(SimVolume& volume, VolumeMemory& memory) {
    Job job(volume, memory, JobKind::Analysis, 0, kCells);
    while (!job.Done()) {
        job.Step();
    }
    const Recount recount = RecountOf(volume, memory, kCells);
    const VolumeCounts& counts = job.Figures().counts;
    EXPECT_EQ(counts.files, recount.counts.files);
    EXPECT_EQ(counts.directories, recount.counts.directories);
    EXPECT_EQ(counts.fragmentedFiles, recount.counts.fragmentedFiles);
    EXPECT_EQ(counts.fragments, recount.counts.fragments);
    EXPECT_EQ(counts.nonOptimizedBytes, recount.counts.nonOptimizedBytes);
    EXPECT_EQ(counts.usedClusters, recount.counts.usedClusters);
    EXPECT_EQ(counts.freeClusters, recount.counts.freeClusters);
    EXPECT_EQ(counts.processedClusters, recount.counts.processedClusters);
    EXPECT_EQ(counts.largestFreeRun, recount.counts.largestFreeRun);
    EXPECT_EQ(job.Cells(), recount.cells);
    EXPECT_EQ(job.Outcomes().size(), counts.fragmentedFiles);
}

// Clusters of fragmented files: what the volume fragmentation weighs.
std::uint64_t FragmentedClusters(const SimVolume& volume) {
    std::uint64_t clusters = 0;
    for (std::uint64_t record = 0; record < volume.RecordCount(); ++record) {
        if (volume.File(record).exists && FragmentsOf(volume.ExtentsOf(record)) >= 2) {
            for (const SimExtent& extent : volume.ExtentsOf(record)) {
                clusters += extent.lcn != kNoLcn ? extent.clusters : 0;
            }
        }
    }
    return clusters;
}

// A pass, stopped or failing at a random step now and then, a writer at work in
// some. Answers whether it ran undisturbed.
bool RunPass(SimVolume& volume, VolumeMemory& memory, int pass, SplitMix64& random) {
    Job job(volume, memory, JobKind::Optimization, pass, kCells);
    const bool stop = random.Chance(0.15);
    const bool fail = !stop && random.Chance(0.1);
    const std::uint64_t at = random.Between(0, 60);
    for (std::uint64_t step = 0; !job.Done(); ++step) {
        if (step == at && stop) {
            job.Stop();
            break;
        }
        if (step == at && fail) {
            volume.FailAfter(random.Between(0, 3), VolumeStatus::IoError);
        }
        job.Step();
    }
    volume.FailAfter(~std::uint64_t{0} / 2, VolumeStatus::Ok);
    const JobFigures figures = job.Figures();
    std::uint64_t failed = 0;
    for (const FileOutcome& outcome : job.Outcomes()) {
        if (outcome.result == result::kOk) {
            EXPECT_EQ(outcome.fragmentsAfter, 1);
        } else {
            ++failed;
        }
    }
    EXPECT_EQ(failed, job.Outcomes().size() - figures.defragmentedFiles);
    EXPECT_LE(figures.counts.processedClusters, figures.counts.usedClusters);
    return !job.Stopped() && figures.failure == VolumeStatus::Ok;
}

TEST(EngineProperties, RandomVolumesStayConsistentAndTheFiguresEqualARecount) {
    for (std::uint64_t seed = 1; seed <= kRuns; ++seed) {
        SCOPED_TRACE(seed);
        SplitMix64 random(seed * 0x9E3779B97F4A7C15ull);
        const std::unique_ptr<SimVolume> volume = RandomVolume(random);
        std::map<std::uint64_t, std::vector<Extent>> shapes;
        for (std::uint64_t record = 0; record < volume->RecordCount(); ++record) {
            if (volume->File(record).exists) {
                shapes[record] = volume->DataShape(record);
            }
        }
        VolumeMemory memory;
        ExpectAnalysisMatchesRecount(*volume, memory);
        const bool writer = random.Chance(0.2);
        if (writer) {
            volume->SetWriter(seed, static_cast<std::uint32_t>(random.Between(1, 5)));
        }
        const bool first = RunPass(*volume, memory, 1, random);
        const std::uint64_t afterFirst = FragmentedClusters(*volume);
        const bool second = RunPass(*volume, memory, 2, random);
        if (first && second && !writer) {
            EXPECT_LE(FragmentedClusters(*volume), afterFirst)
                << "the second pass left the volume more fragmented than the first";
        }
        volume->SetWriter(0, 0);
        ASSERT_EQ(volume->Audit(), "");
        for (const auto& [record, shape] : shapes) {
            const std::vector<Extent> now = volume->DataShape(record);
            ASSERT_EQ(now.size(), shape.size()) << "record " << record;
            for (std::size_t i = 0; i < shape.size(); ++i) {
                ASSERT_EQ(now[i].clusters, shape[i].clusters) << "record " << record;
                ASSERT_EQ(now[i].lcn, shape[i].lcn) << "record " << record;
            }
        }
        ExpectAnalysisMatchesRecount(*volume, memory);
        if (HasFailure()) {
            return;
        }
    }
}

}  // namespace
}  // namespace vantrel::engine::test
