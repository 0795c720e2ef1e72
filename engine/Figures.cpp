#include "engine/Figures.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vantrel::engine {
namespace {

constexpr double kHeldScale = 1e10;

std::string Printed(const char* format, double value) {
    char text[64] = {};
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

std::optional<double> FragmentationPercent(std::uint64_t part, std::uint64_t whole) {
    if (whole == 0) {
        return std::nullopt;
    }
    const double percent = 100.0 * static_cast<double>(part) / static_cast<double>(whole);
    return percent > 100.0 ? 100.0 : percent;
}

double HeldPercent(double value) {
    const double shown = std::strtod(Printed("%0.2f", value).c_str(), nullptr);
    return std::floor(shown * kHeldScale + 0.5) / kHeldScale;
}

std::string PercentText(double value) {
    return Printed("%0.2f%%", value);
}

FragmentationFigures FragmentationOf(std::uint64_t fragmentedClusters, std::uint64_t totalClusters,
                                     std::uint64_t usedClusters) {
    const std::optional<double> volume = FragmentationPercent(fragmentedClusters, totalClusters);
    const std::optional<double> data = FragmentationPercent(fragmentedClusters, usedClusters);
    if (!volume || !data) {
        return {};
    }
    return {true, HeldPercent(*volume), HeldPercent(*data)};
}

}  // namespace vantrel::engine
