#include "updatedll/StagedFile.h"

#include "updatedll/InputRules.h"

namespace upd {

StagedFile::~StagedFile() {
    CloseFile();
    if (!committed_ && !temporaryPath_.empty()) {
        DeleteFileW(temporaryPath_.c_str());
    }
}

bool StagedFile::Open() {
    const std::wstring folder = FolderOf(finalPath_);
    wchar_t name[MAX_PATH + 1] = {};
    if (folder.empty() || folder.size() >= MAX_PATH - 14 ||
        GetTempFileNameW(folder.c_str(), L"upd", 0, name) == 0) {
        return false;
    }
    temporaryPath_ = name;
    file_ = CreateFileW(name, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return file_ != INVALID_HANDLE_VALUE;
}

bool StagedFile::Finish() {
    if (file_ == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool flushed = FlushFileBuffers(file_) != FALSE;
    CloseFile();
    return flushed;
}

bool StagedFile::Commit() {
    if (file_ != INVALID_HANDLE_VALUE || temporaryPath_.empty() || committed_) {
        return false;
    }
    if (!MoveFileExW(temporaryPath_.c_str(), finalPath_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return false;
    }
    committed_ = true;
    // The temporary attribute asked the cache to keep the data in memory; the final
    // file is an ordinary one.
    SetFileAttributesW(finalPath_.c_str(), FILE_ATTRIBUTE_NORMAL);
    return true;
}

void StagedFile::CloseFile() {
    if (file_ != INVALID_HANDLE_VALUE) {
        CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }
}

}  // namespace upd
