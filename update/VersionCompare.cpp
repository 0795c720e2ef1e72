#include "update/VersionCompare.h"

#include <cstddef>

namespace {

constexpr std::int64_t kLargest = 2147483647;
constexpr std::int64_t kSmallest = -2147483648LL;

std::int64_t LeadingNumber(std::string_view part) {
    std::size_t i = 0;
    while (i < part.size() && (part[i] == ' ' || part[i] == '\t' || part[i] == '\r' ||
                               part[i] == '\n' || part[i] == '\v' || part[i] == '\f')) {
        ++i;
    }
    bool negative = false;
    if (i < part.size() && (part[i] == '+' || part[i] == '-')) {
        negative = part[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < part.size() && part[i] >= '0' && part[i] <= '9'; ++i) {
        if (value <= kLargest) {
            value = value * 10 + (part[i] - '0');
        }
    }
    if (negative) {
        value = -value;
    }
    return value > kLargest ? kLargest : (value < kSmallest ? kSmallest : value);
}

}  // namespace

FourPartVersion ParseFourPartVersion(std::string_view text) {
    FourPartVersion version = {0, 0, 0, 0};
    std::size_t start = 0;
    for (std::size_t index = 0; index < version.size(); ++index) {
        const std::size_t dot = text.find('.', start);
        version[index] = LeadingNumber(text.substr(
            start, dot == std::string_view::npos ? std::string_view::npos : dot - start));
        if (dot == std::string_view::npos) {
            break;
        }
        start = dot + 1;
    }
    return version;
}

bool IsNewerVersion(std::string_view candidate, std::string_view current) {
    const FourPartVersion offered = ParseFourPartVersion(candidate);
    const FourPartVersion running = ParseFourPartVersion(current);
    for (std::size_t i = 0; i < offered.size(); ++i) {
        if (offered[i] != running[i]) {
            return offered[i] > running[i];
        }
    }
    return false;
}
