#include "ui/format/TextFormat.h"

std::wstring ReplacePlaceholder(const std::wstring& pattern, const std::wstring& value) {
    std::wstring text = pattern;
    const std::size_t at = text.find(L"%s");
    if (at != std::wstring::npos) {
        text.replace(at, 2, value);
    }
    return text;
}

std::wstring ReplaceNumbered(const std::wstring& pattern, const std::wstring& first,
                             const std::wstring& second) {
    std::wstring text;
    text.reserve(pattern.size() + first.size() + second.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'%' && i + 1 < pattern.size() &&
            (pattern[i + 1] == L'1' || pattern[i + 1] == L'2')) {
            text += pattern[i + 1] == L'1' ? first : second;
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}
