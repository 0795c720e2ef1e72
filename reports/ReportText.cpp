#include "reports/ReportText.h"

#include <cwchar>
#include <iterator>
#include <limits>

#include "ui/format/Format.h"
#include "ui/format/Surrogates.h"
#include "ui/format/TimeConvert.h"

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

bool IsUnwantedControl(wchar_t unit) {
    return (unit < 0x20 && unit != L'\t' && unit != L'\r' && unit != L'\n') || unit == 0x7F;
}

std::uint64_t SaturatingProduct(std::uint64_t a, std::uint64_t b) {
    if (a != 0 && b > std::numeric_limits<std::uint64_t>::max() / a) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return a * b;
}

std::uint64_t NonNegative(std::int32_t value) {
    return value > 0 ? static_cast<std::uint64_t>(value) : 0;
}

}  // namespace

void AppendHtmlEscaped(std::wstring& out, std::wstring_view text) {
    out.reserve(out.size() + text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t unit = text[i];
        switch (unit) {
            case L'&':
                out += L"&amp;";
                continue;
            case L'<':
                out += L"&lt;";
                continue;
            case L'>':
                out += L"&gt;";
                continue;
            case L'"':
                out += L"&quot;";
                continue;
            default:
                break;
        }
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            out += unit;
            out += text[++i];
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit) || IsUnwantedControl(unit)) {
            out += kReplacement;
        } else {
            out += unit;
        }
    }
}

std::wstring HtmlEscaped(std::wstring_view text) {
    std::wstring out;
    AppendHtmlEscaped(out, text);
    return out;
}

std::wstring ElapsedText(std::uint64_t seconds) {
    wchar_t text[40] = {};
    std::swprintf(text, std::size(text), L"%02llu:%02u:%02u",
                  static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned>(seconds % 3600 / 60), static_cast<unsigned>(seconds % 60));
    return text;
}

std::optional<std::int64_t> JobTimeSeconds(const SYSTEMTIME& local) {
    if (!IsPlausibleSystemTime(local)) {
        return std::nullopt;
    }
    return LocalSystemTimeToUnixSeconds(local);
}

JobTimeTexts MakeJobTimeTexts(const SYSTEMTIME& start, const SYSTEMTIME& end) {
    const std::optional<std::int64_t> from = JobTimeSeconds(start);
    const std::optional<std::int64_t> to = JobTimeSeconds(end);
    JobTimeTexts texts;
    if (from) {
        texts.start = FormatTimestamp(*from);
    }
    if (to) {
        texts.end = FormatTimestamp(*to);
    }
    std::uint64_t elapsed = 0;
    if (from && to && *to >= *from) {
        elapsed = static_cast<std::uint64_t>(*to - *from);
    }
    texts.elapsed = ElapsedText(elapsed);
    return texts;
}

std::uint64_t ClusterBytes(std::uint64_t clusters, std::int32_t sectorsPerCluster,
                           std::int32_t bytesPerSector) {
    return SaturatingProduct(SaturatingProduct(clusters, NonNegative(sectorsPerCluster)),
                             NonNegative(bytesPerSector));
}
