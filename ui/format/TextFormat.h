// Texts of the string table with a "%s" placeholder (the reminder text, the
// completion message) are filled here rather than used as printf formats, so a
// drive label with a "%" in it cannot disturb them.
#pragma once

#include <string>

// `pattern` with its first "%s" replaced by `value`; unchanged when it has none.
std::wstring ReplacePlaceholder(const std::wstring& pattern, const std::wstring& value);

// `pattern` with every "%1" replaced by `first` and every "%2" by `second`.
std::wstring ReplaceNumbered(const std::wstring& pattern, const std::wstring& first,
                             const std::wstring& second);
