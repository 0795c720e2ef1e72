#include "flows/FragmentationPercent.h"

#include <cstdio>

std::optional<double> FragmentationPercent(std::uint64_t part, std::uint64_t whole) {
    if (whole == 0) {
        return std::nullopt;
    }
    const double percent = 100.0 * static_cast<double>(part) / static_cast<double>(whole);
    return percent > 100.0 ? 100.0 : percent;
}

std::wstring PercentText(double value) {
    wchar_t text[64] = {};
    std::swprintf(text, std::size(text), L"%0.2f%%", value);
    return text;
}
