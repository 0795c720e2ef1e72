// The update library takes ANSI texts in the calling thread's code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// `text` in the thread's ANSI code page; nullopt when a character has no exact
// equivalent there (a replaced character would name another file or address).
std::optional<std::string> ToThreadAnsi(std::wstring_view text);

// A file path in the thread's ANSI code page. When the full path has characters the
// code page lacks (a user name in another script), the folder's short 8.3 form is
// tried, which consists of ASCII; nullopt when neither fits.
std::optional<std::string> ToThreadAnsiPath(const std::wstring& path);
