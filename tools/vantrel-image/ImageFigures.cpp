#include "tools/vantrel-image/ImageFigures.h"

#include <algorithm>

namespace vantrel::image {

namespace {

// A file counts as fragmented with two or more fragments.
constexpr std::int32_t kFragmentedFrom = 2;

ImageFigures FiguresOf(const engine::Job& job, bool after) {
    const engine::JobFigures figures = job.Figures();
    const engine::VolumeCounts& counts = figures.counts;
    ImageFigures image;
    image.files = counts.files;
    image.directories = counts.directories;
    const std::vector<engine::FileOutcome>& outcomes = job.Outcomes();
    image.fragmentedFiles =
        static_cast<std::uint64_t>(std::count_if(outcomes.begin(), outcomes.end(), [&](auto& o) {
            return (after ? o.fragmentsAfter : o.fragmentsBefore) >= kFragmentedFrom;
        }));
    image.fragmentation = engine::FragmentationOf(engine::FragmentedClusters(outcomes, after),
                                                  counts.totalClusters, counts.usedClusters);
    return image;
}

std::string PercentOrNot(bool available, double value) {
    return available ? engine::PercentText(value) : "not evaluated";
}

}  // namespace

ImageFigures FiguresFound(const engine::Job& job) {
    return FiguresOf(job, false);
}

ImageFigures FiguresLeft(const engine::Job& job) {
    return FiguresOf(job, true);
}

std::string FiguresText(const ImageFigures& figures) {
    const engine::FragmentationFigures& f = figures.fragmentation;
    return "files: " + std::to_string(figures.files) + "\n" +
           "directories: " + std::to_string(figures.directories) + "\n" +
           "fragmented files: " + std::to_string(figures.fragmentedFiles) + "\n" +
           "volume fragmentation: " + PercentOrNot(f.available, f.volume) + "\n" +
           "data fragmentation: " + PercentOrNot(f.available, f.data) + "\n";
}

NotMoved NotMovedBy(const std::vector<engine::FileOutcome>& outcomes) {
    NotMoved notMoved;
    for (const engine::FileOutcome& outcome : outcomes) {
        if (outcome.result != engine::result::kOk) {
            ++notMoved[outcome.result];
        }
    }
    return notMoved;
}

std::string NotMovedLine(const NotMoved& notMoved) {
    std::uint64_t total = 0;
    std::string codes;
    for (const auto& [code, files] : notMoved) {
        total += files;
        codes += (codes.empty() ? "" : ", ") + ResultName(code) + " " + std::to_string(files);
    }
    return "not moved: " + std::to_string(total) + (codes.empty() ? "" : " (" + codes + ")");
}

std::string ResultName(std::int32_t code) {
    namespace result = engine::result;
    switch (code) {
        case result::kOk:
            return "OK";
        case result::kNoFreeSpace:
            return "No Free Space";
        case result::kCannotMoveData:
            return "Can't Move Data";
        case result::kStoppedByUser:
            return "Stopped By User";
        case result::kLocked:
            return "Locked";
        case result::kCannotMoveOnFat:
            return "Can't Move on FAT";
        case result::kSafeFile:
            return "Safe File";
        default:
            return "Result " + std::to_string(code);
    }
}

}  // namespace vantrel::image
