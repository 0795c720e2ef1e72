#include "ui/format/Paths.h"

#include <windows.h>
#include <shlobj.h>

#include <cstddef>

namespace {

constexpr wchar_t kProductFolder[] = L"Brenlow\\Vantrel";
constexpr wchar_t kWhiteSpace[] = L" \t\r\n\v\f";

bool IsDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TrimWhiteSpace(std::wstring& text) {
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::wstring::npos) {
        text.clear();
        return;
    }
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    text = text.substr(first, last - first + 1);
}

}  // namespace

bool GetSpecialFolderPath(std::wstring& path, int csidl) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || items == nullptr) {
        return false;
    }
    // SHGetPathFromIDListW writes at most MAX_PATH characters; the buffer is larger.
    wchar_t buffer[520] = {};
    const bool found = SHGetPathFromIDListW(items, buffer) != FALSE;
    CoTaskMemFree(items);
    if (found) {
        path = buffer;
    }
    return found;
}

bool GetAppDataPath(std::wstring& path, std::wstring_view name) {
    path.clear();
    std::wstring base;
    if (!GetSpecialFolderPath(base, CSIDL_APPDATA)) {
        return false;
    }
    return GetProductFolderPathUnder(base, name, path);
}

bool GetProductFolderPathUnder(const std::wstring& base, std::wstring_view name,
                               std::wstring& path) {
    path.clear();
    std::wstring relative = kProductFolder;
    AppendPathComponent(relative, name);
    std::wstring full = base;
    AppendPathComponent(full, relative);
    if (!Exists(full)) {
        CreateDirectoryPath(full);
        if (!Exists(full)) {
            return false;
        }
    }
    path = std::move(full);
    TrimWhiteSpace(path);
    return true;
}

void AppendPathComponent(std::wstring& path, std::wstring_view component) {
    if (path.empty() || component.empty()) {
        path.append(component);
        return;
    }
    if (component.front() == L'\\') {
        component.remove_prefix(1);
    }
    if (path.back() != L'\\') {
        path.push_back(L'\\');
    }
    path.append(component);
}

int CreateDirectoryPath(std::wstring_view folder) {
    std::wstring path(folder);
    if (!path.empty() && path.back() == L'\\') {
        path.pop_back();
    }
    if (IsDirectory(path)) {
        return 1;
    }
    // Every prefix up to a backslash is a folder to make, from the top down; the first
    // one is the drive.
    std::size_t separator = path.find(L'\\');
    while (separator != std::wstring::npos) {
        separator = path.find(L'\\', separator + 1);
        const std::wstring prefix = path.substr(0, separator);
        if (CreateDirectoryW(prefix.c_str(), nullptr)) {
            SetFileAttributesW(prefix.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
    return IsDirectory(path) ? 1 : 0;
}
