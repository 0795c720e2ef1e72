// Shell folders and the product's per-user data folder.
#pragma once

#include <string>
#include <string_view>

// Path of a shell folder (a CSIDL value). On failure `path` is left as it was.
bool GetSpecialFolderPath(std::wstring& path, int csidl);

// The per-user roaming application-data folder, then "Brenlow\Vantrel", then `name`,
// created when missing. True with the path in `path` when it exists on return; false
// with `path` empty otherwise.
bool GetAppDataPath(std::wstring& path, std::wstring_view name);

// The part of GetAppDataPath after the shell folder is known: `base`, then
// "Brenlow\Vantrel", then `name`, created when missing; same outcome.
bool GetProductFolderPathUnder(const std::wstring& base, std::wstring_view name,
                               std::wstring& path);

// Joins `component` to `path` with exactly one backslash between them (C:\A\ + \B and
// C:\A + B both give C:\A\B). When either is empty the component is simply appended.
void AppendPathComponent(std::wstring& path, std::wstring_view component);

// Creates `folder` and every missing folder above it. Returns 1 when the folder
// exists afterwards, else 0.
int CreateDirectoryPath(std::wstring_view folder);
