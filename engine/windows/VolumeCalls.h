// The Windows calls the volume backend makes, behind one narrow interface: the
// device-control calls on the volume and on its files, opening a file of the volume,
// and the few facts the file system tells without a control call. The system's
// implementation is a thin pass-through (SystemVolumeCalls); tests put buffers built
// byte by byte from the documented layouts behind it, truncated and lying ones too.
//
// A call answers the Win32 error it ended with (ERROR_SUCCESS, ERROR_MORE_DATA, ...)
// and, for a control call, the bytes it wrote. Not thread-safe: one job owns it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::engine::windows {

struct CallAnswer {
    DWORD error = ERROR_SUCCESS;
    DWORD bytes = 0;
};

// GetVolumeInformationW's file system name and GetDiskFreeSpaceW's counts.
struct FileSystemFacts {
    std::wstring name;
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD totalClusters = 0;
};

// One entry of a directory listing (FindFirstFileExW / FindNextFileW); never "." or "..".
struct DirectoryEntry {
    std::wstring name;
    DWORD attributes = 0;
    std::uint64_t size = 0;
};

class VolumeCalls {
  public:
    virtual ~VolumeCalls() = default;

    // DeviceIoControl on the volume (file null) or on a file these calls opened.
    virtual CallAnswer Control(HANDLE file, DWORD code, const void* in, DWORD inBytes, void* out,
                               DWORD outBytes) = 0;

    // A file or directory of the volume, by its file id (OpenFileById) or by its path
    // below the root ("\Photos\a.jpg"); null and the error when it cannot be opened.
    // Others may go on reading, writing and deleting it meanwhile.
    virtual HANDLE OpenById(std::uint64_t id, DWORD access, DWORD& error) = 0;
    virtual HANDLE OpenByPath(const std::wstring& path, DWORD access, DWORD& error) = 0;
    virtual void Close(HANDLE file) = 0;
    // The size of a file's data (its end of file), from a handle these calls opened.
    virtual bool FileSize(HANDLE file, std::uint64_t& bytes) = 0;
    // The file id of the root directory.
    virtual bool RootId(std::uint64_t& id) = 0;

    virtual bool FileSystem(FileSystemFacts& facts) = 0;
    // The entries of one directory, given by its path below the root ("\" is the root).
    // ERROR_SUCCESS, or the error that ended the listing (entries then empty).
    virtual DWORD ListDirectory(const std::wstring& path, std::vector<DirectoryEntry>& entries) = 0;
};

}  // namespace vantrel::engine::windows
