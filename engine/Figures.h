// The fragmentation figures as the results pages show them and the engine's tools
// print them: a percentage of part over whole, held to the two decimals its text
// shows, and that text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel::engine {

// 100 x part / whole in double precision, at most 100 (more fragmented than used
// clusters gives 100); nullopt when whole is 0.
std::optional<double> FragmentationPercent(std::uint64_t part, std::uint64_t whole);

// A percentage as the pages hold it: its "%0.2f" text read back and rounded half up
// to ten decimals, so that later comparisons see what the user sees.
double HeldPercent(double value);

// "12.34%": the value with two decimals and a percent sign.
std::string PercentText(double value);

// Volume fragmentation weighs the clusters of fragmented files against the whole
// volume, data fragmentation against the clusters in use; both held as shown.
struct FragmentationFigures {
    bool available = false;  // false without cluster counts
    double volume = 0.0;
    double data = 0.0;
};

FragmentationFigures FragmentationOf(std::uint64_t fragmentedClusters, std::uint64_t totalClusters,
                                     std::uint64_t usedClusters);

}  // namespace vantrel::engine
