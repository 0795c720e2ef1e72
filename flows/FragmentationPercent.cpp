#include "flows/FragmentationPercent.h"

std::wstring PercentText(double value) {
    const std::string text = vantrel::engine::PercentText(value);
    return std::wstring(text.begin(), text.end());
}
