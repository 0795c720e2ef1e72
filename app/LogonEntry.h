// The logon entry: the program registers itself to start in reminder mode when a user
// logs on. An entry that exists is never changed (the user or an installer may have
// set it to something else on purpose).
#pragma once

#include <windows.h>

#include <string>

inline constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"Vantrel";

// The running executable's full path, quoted, followed by " -pop".
std::wstring BuildLogonCommandLine();

// Opens (creating it if missing) `keyPath` below `root` for reading and writing and
// writes `commandLine` as the string value `valueName` unless that value exists.
// Returns whether the value was written; failures are silent.
bool EnsureLogonEntry(HKEY root, const std::wstring& keyPath, const wchar_t* valueName,
                      const std::wstring& commandLine);
