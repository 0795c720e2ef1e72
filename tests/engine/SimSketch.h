// Small simulated volumes drawn as pictures, one character per cluster: a capital
// letter is a cluster of that file (file 'A' is record 16 and named "A.dat", 'B'
// record 17, ...), '.' a free cluster. A file's clusters, read left to right, are
// its VCNs in order. The root directory (record 5) holds every file.
#pragma once

#include "engine/sim/SimVolume.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel::engine::test {

using sim::SimFileSpec;
using sim::SimOptions;
using sim::SimVolume;

inline std::uint64_t RecordOf(char letter) {
    return 16 + static_cast<std::uint64_t>(letter - 'A');
}

inline std::uint64_t IdOf(char letter) {
    return SimVolume::IdOf(RecordOf(letter), 1);
}

// What a picture does not say about a file.
struct FileTraits {
    std::u16string name{};  // instead of "A.dat"
    std::uint32_t attributes = attributes::kArchive;
    sim::Mobility mobility = sim::Mobility::Movable;
    std::optional<std::uint64_t> record{};  // instead of 16 + letter
    std::uint64_t parentRecord = sim::kRootRecord;
    // Each run ends its compression unit with a hole, as compressed data does.
    bool holeAfterEachRun = false;
};

inline SimOptions SketchOptions(std::size_t clusters) {
    SimOptions options;
    options.totalClusters = clusters;
    options.checkpointCalls = 1;  // freed clusters come back at the next call
    return options;
}

inline std::unique_ptr<SimVolume> Draw(std::string_view picture,
                                       const std::map<char, FileTraits>& traits = {},
                                       SimOptions options = SketchOptions(0)) {
    if (options.totalClusters == 0) {
        options.totalClusters = picture.size();
    }
    auto volume = std::make_unique<SimVolume>(options);
    volume->AddFile({.record = sim::kRootRecord,
                     .sequence = 5,
                     .parentRecord = sim::kRootRecord,
                     .name = u".",
                     .attributes = attributes::kDirectory,
                     .runs = {}});
    std::map<char, std::vector<Extent>> runs;
    for (std::size_t lcn = 0; lcn < picture.size(); ++lcn) {
        const char letter = picture[lcn];
        if (letter == '.') {
            continue;
        }
        std::vector<Extent>& file = runs[letter];
        if (!file.empty() && file.back().lcn + file.back().clusters == lcn) {
            ++file.back().clusters;
        } else {
            file.push_back({0, 1, lcn});
        }
    }
    for (const auto& [letter, traitsOf] : traits) {
        runs[letter];  // files without clusters too
    }
    for (auto& [letter, fileRuns] : runs) {
        const auto found = traits.find(letter);
        const FileTraits trait = found == traits.end() ? FileTraits{} : found->second;
        std::vector<Extent> laid;
        std::uint64_t clusters = 0;
        for (const Extent& run : fileRuns) {
            laid.push_back(run);
            clusters += run.clusters;
            if (trait.holeAfterEachRun) {
                const std::uint64_t hole = 16 - clusters % 16;
                laid.push_back({0, hole, kNoLcn});
                clusters += hole;
            }
        }
        std::u16string name = trait.name;
        if (name.empty()) {
            name = std::u16string(1, static_cast<char16_t>(letter)) + u".dat";
        }
        volume->AddFile({.record = trait.record.value_or(RecordOf(letter)),
                         .parentRecord = trait.parentRecord,
                         .name = name,
                         .attributes = trait.attributes,
                         .size = clusters * options.bytesPerCluster,
                         .mobility = trait.mobility,
                         .runs = laid});
    }
    return volume;
}

// The volume drawn as Draw reads it; a file outside 'A' to 'Z' shows as '#'.
inline std::string Picture(const SimVolume& volume) {
    std::string picture(volume.Options().totalClusters, '.');
    for (std::uint64_t record = 0; record < volume.RecordCount(); ++record) {
        if (!volume.File(record).exists) {
            continue;
        }
        const char letter =
            record >= 16 && record < 16 + 26 ? static_cast<char>('A' + record - 16) : '#';
        for (const sim::SimExtent& extent : volume.ExtentsOf(record)) {
            if (extent.lcn != kNoLcn) {
                for (std::uint64_t i = 0; i < extent.clusters; ++i) {
                    picture[extent.lcn + i] = letter;
                }
            }
        }
    }
    return picture;
}

}  // namespace vantrel::engine::test
