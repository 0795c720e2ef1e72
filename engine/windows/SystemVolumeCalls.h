// The volume calls of this machine: a handle on "\\.\X:" and the Windows calls
// themselves, passed through without interpretation.
#pragma once

#include "engine/windows/VolumeCalls.h"

#include <memory>

namespace vantrel::engine::windows {

class SystemVolumeCalls final : public VolumeCalls {
  public:
    // Opens the volume of drive `letter` with `access` (GENERIC_READ for the service's
    // jobs, 0 for a query of the medium, which needs no rights); null and the error
    // when it cannot be opened.
    static std::unique_ptr<SystemVolumeCalls> Open(wchar_t letter, DWORD access, DWORD& error);

    ~SystemVolumeCalls() override;
    SystemVolumeCalls(const SystemVolumeCalls&) = delete;
    SystemVolumeCalls& operator=(const SystemVolumeCalls&) = delete;

    CallAnswer Control(HANDLE file, DWORD code, const void* in, DWORD inBytes, void* out,
                       DWORD outBytes) override;
    HANDLE OpenById(std::uint64_t id, DWORD access, DWORD& error) override;
    HANDLE OpenByPath(const std::wstring& path, DWORD access, DWORD& error) override;
    void Close(HANDLE file) override;
    bool FileSize(HANDLE file, std::uint64_t& bytes) override;
    bool RootId(std::uint64_t& id) override;
    bool FileSystem(FileSystemFacts& facts) override;
    DWORD ListDirectory(const std::wstring& path, std::vector<DirectoryEntry>& entries) override;

  private:
    SystemVolumeCalls(wchar_t letter, HANDLE volume) : letter_(letter), volume_(volume) {}
    // "\\?\X:" followed by a path below the root.
    std::wstring LongPath(const std::wstring& path) const;

    wchar_t letter_;
    HANDLE volume_;
};

// Enables the right to manage volumes in this process's token where the account has
// it (LocalSystem and administrators do); the move call asks for it.
void EnableVolumeManagement();

}  // namespace vantrel::engine::windows
