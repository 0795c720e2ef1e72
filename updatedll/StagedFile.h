// A file being downloaded: written under a temporary name in the folder of its final
// path and moved over that path only when it is complete. Until Commit succeeds the
// destructor removes the temporary file, so a failure leaves nothing behind.
#pragma once

#include <windows.h>

#include <string>

namespace upd {

class StagedFile {
  public:
    explicit StagedFile(std::wstring finalPath) : finalPath_(std::move(finalPath)) {}
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates the temporary file and opens it for writing. False when the folder does
    // not exist or cannot be written.
    bool Open();
    HANDLE Handle() const { return file_; }
    // Flushes and closes the temporary file; false when the data did not reach it.
    bool Finish();
    // Moves the finished temporary file over the final path.
    bool Commit();

    const std::wstring& TemporaryPath() const { return temporaryPath_; }

  private:
    void CloseFile();

    std::wstring finalPath_;
    std::wstring temporaryPath_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    bool committed_ = false;
};

}  // namespace upd
