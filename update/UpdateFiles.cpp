#include "update/UpdateFiles.h"

#include "ui/format/Paths.h"

std::optional<std::wstring> UpdateFolder() {
    std::wstring folder;
    if (!GetAppDataPath(folder, L"")) {
        return std::nullopt;
    }
    return folder;
}

std::wstring FileIn(const std::wstring& folder, const wchar_t* name) {
    std::wstring path = folder;
    AppendPathComponent(path, name);
    return path;
}

bool DeleteIfPresent(const std::wstring& path) {
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(path.c_str()) != FALSE;
}
