// The figures vantrel-image prints, computed as the results pages compute them:
// the files, directories and fragmented files a job counted, and the volume and
// data fragmentation from the clusters of the files fragmented before the job (a
// scan) or after it (an optimization pass), over all clusters and over those in use.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/Figures.h"
#include "engine/Job.h"

namespace vantrel::image {

struct ImageFigures {
    std::uint64_t files = 0;
    std::uint64_t directories = 0;
    std::uint64_t fragmentedFiles = 0;
    engine::FragmentationFigures fragmentation;

    bool operator==(const ImageFigures&) const = default;
};

// The volume as a finished job found it (what a scan reports), and as it left it
// (what the results page of an optimization pass reports).
ImageFigures FiguresFound(const engine::Job& job);
ImageFigures FiguresLeft(const engine::Job& job);

// One line per figure, "name: value", each ended by a newline:
// files, directories, fragmented files, volume fragmentation, data fragmentation.
std::string FiguresText(const ImageFigures& figures);

// The files an optimization pass did not move, by result code (OK left out).
using NotMoved = std::map<std::int32_t, std::uint64_t>;
NotMoved NotMovedBy(const std::vector<engine::FileOutcome>& outcomes);

// "not moved: 3 (No Free Space 2, Locked 1)": the count, then each code with files,
// in the order of the codes; "not moved: 0" when every file moved.
std::string NotMovedLine(const NotMoved& notMoved);

// The name the results pages give a result code.
std::string ResultName(std::int32_t code);

}  // namespace vantrel::image
