#include "engine/windows/SystemVolumeCalls.h"

#include <cwchar>

namespace vantrel::engine::windows {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A 32-bit service on 64-bit Windows would see SysWOW64 where the path says
// System32: paths are taken as they are while one of these lives (on this thread).
class RealPaths {
  public:
    RealPaths() { disabled_ = Wow64DisableWow64FsRedirection(&previous_) != FALSE; }
    ~RealPaths() {
        if (disabled_) {
            Wow64RevertWow64FsRedirection(previous_);
        }
    }
    RealPaths(const RealPaths&) = delete;
    RealPaths& operator=(const RealPaths&) = delete;

  private:
    void* previous_ = nullptr;
    bool disabled_ = false;
};

HANDLE OrNull(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

}  // namespace

std::unique_ptr<SystemVolumeCalls> SystemVolumeCalls::Open(wchar_t letter, DWORD access,
                                                           DWORD& error) {
    const wchar_t device[] = {L'\\', L'\\', L'.', L'\\', letter, L':', L'\0'};
    const HANDLE volume = CreateFileW(device, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (volume == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return nullptr;
    }
    error = ERROR_SUCCESS;
    return std::unique_ptr<SystemVolumeCalls>(new SystemVolumeCalls(letter, volume));
}

SystemVolumeCalls::~SystemVolumeCalls() {
    CloseHandle(volume_);
}

std::wstring SystemVolumeCalls::LongPath(const std::wstring& path) const {
    return std::wstring{L'\\', L'\\', L'?', L'\\', letter_, L':'} + path;
}

CallAnswer SystemVolumeCalls::Control(HANDLE file, DWORD code, const void* in, DWORD inBytes,
                                      void* out, DWORD outBytes) {
    DWORD bytes = 0;
    const BOOL done = DeviceIoControl(file != nullptr ? file : volume_, code, const_cast<void*>(in),
                                      inBytes, out, outBytes, &bytes, nullptr);
    return {done ? static_cast<DWORD>(ERROR_SUCCESS) : GetLastError(), bytes};
}

HANDLE SystemVolumeCalls::OpenById(std::uint64_t id, DWORD access, DWORD& error) {
    FILE_ID_DESCRIPTOR descriptor{};
    descriptor.dwSize = sizeof descriptor;
    descriptor.Type = FileIdType;
    descriptor.FileId.QuadPart = static_cast<LONGLONG>(id);
    const HANDLE file = OrNull(
        OpenFileById(volume_, &descriptor, access, kShareAll, nullptr, FILE_FLAG_BACKUP_SEMANTICS));
    error = file == nullptr ? GetLastError() : ERROR_SUCCESS;
    return file;
}

HANDLE SystemVolumeCalls::OpenByPath(const std::wstring& path, DWORD access, DWORD& error) {
    const RealPaths real;
    const HANDLE file = OrNull(CreateFileW(LongPath(path).c_str(), access, kShareAll, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    error = file == nullptr ? GetLastError() : ERROR_SUCCESS;
    return file;
}

void SystemVolumeCalls::Close(HANDLE file) {
    if (file != nullptr) {
        CloseHandle(file);
    }
}

bool SystemVolumeCalls::FileSize(HANDLE file, std::uint64_t& bytes) {
    FILE_STANDARD_INFO info{};
    if (!GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof info) ||
        info.EndOfFile.QuadPart < 0) {
        return false;
    }
    bytes = static_cast<std::uint64_t>(info.EndOfFile.QuadPart);
    return true;
}

bool SystemVolumeCalls::RootId(std::uint64_t& id) {
    DWORD error = 0;
    const HANDLE root = OpenByPath(L"\\", FILE_READ_ATTRIBUTES, error);
    if (root == nullptr) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool read = GetFileInformationByHandle(root, &info) != FALSE;
    CloseHandle(root);
    id = static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    return read;
}

bool SystemVolumeCalls::FileSystem(FileSystemFacts& facts) {
    const wchar_t root[] = {letter_, L':', L'\\', L'\0'};
    wchar_t name[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, name, MAX_PATH + 1) ||
        !GetDiskFreeSpaceW(root, &facts.sectorsPerCluster, &facts.bytesPerSector,
                           &facts.freeClusters, &facts.totalClusters)) {
        return false;
    }
    name[MAX_PATH] = L'\0';
    facts.name = name;
    return true;
}

DWORD SystemVolumeCalls::ListDirectory(const std::wstring& path,
                                       std::vector<DirectoryEntry>& entries) {
    entries.clear();
    const RealPaths real;
    std::wstring pattern = LongPath(path);
    if (pattern.back() != L'\\') {
        pattern += L'\\';
    }
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    const HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;  // an empty root
    }
    DWORD error = ERROR_SUCCESS;
    do {
        const std::wstring name(found.cFileName, wcsnlen(found.cFileName, MAX_PATH));
        if (name != L"." && name != L"..") {
            entries.push_back(
                {name, found.dwFileAttributes,
                 static_cast<std::uint64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow});
        }
    } while (FindNextFileW(find, &found));
    error = GetLastError();
    FindClose(find);
    if (error != ERROR_NO_MORE_FILES) {
        entries.clear();
        return error;
    }
    return ERROR_SUCCESS;
}

void EnableVolumeManagement() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        return;
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, SE_MANAGE_VOLUME_NAME, &privileges.Privileges[0].Luid)) {
        AdjustTokenPrivileges(token, FALSE, &privileges, sizeof privileges, nullptr, nullptr);
    }
    CloseHandle(token);
}

}  // namespace vantrel::engine::windows
