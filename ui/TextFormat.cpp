#include "ui/TextFormat.h"

std::wstring ReplacePlaceholder(const std::wstring& pattern, const std::wstring& value) {
    std::wstring text = pattern;
    const std::size_t at = text.find(L"%s");
    if (at != std::wstring::npos) {
        text.replace(at, 2, value);
    }
    return text;
}
