#include "flows/SelectDiskListing.h"

#include "engine/windows/MediaQuery.h"
#include "res/resource.h"
#include "ui/format/StringPool.h"

namespace {

// Label and file-system buffers of 256 characters each, as the volume query asks.
constexpr DWORD kVolumeTextChars = 256;
constexpr UINT kSystemDirectoryChars = MAX_PATH;

class MachineProbe final : public DriveProbe {
  public:
    DWORD LogicalDrives() override { return GetLogicalDrives(); }
    UINT DriveType(const std::wstring& root) override { return GetDriveTypeW(root.c_str()); }
    std::optional<VolumeInfo> Volume(const std::wstring& root) override {
        wchar_t label[kVolumeTextChars] = {};
        wchar_t fileSystem[kVolumeTextChars] = {};
        DWORD serial = 0, maxComponent = 0, flags = 0;
        if (!GetVolumeInformationW(root.c_str(), label, kVolumeTextChars, &serial, &maxComponent,
                                   &flags, fileSystem, kVolumeTextChars)) {
            return std::nullopt;
        }
        label[kVolumeTextChars - 1] = L'\0';
        fileSystem[kVolumeTextChars - 1] = L'\0';
        return VolumeInfo{label, fileSystem};
    }
    std::wstring SystemDirectory() override {
        wchar_t path[kSystemDirectoryChars] = {};
        const UINT length = GetSystemDirectoryW(path, kSystemDirectoryChars);
        if (length == 0 || length >= kSystemDirectoryChars) {
            return {};
        }
        return std::wstring(path, length);
    }
    vantrel::engine::MediaKind Media(const std::wstring& root) override {
        return root.empty() ? vantrel::engine::MediaKind::Unknown
                            : vantrel::engine::windows::QueryDriveMedia(root[0]);
    }
};

}  // namespace

DriveProbe& MachineDriveProbe() {
    static MachineProbe probe;
    return probe;
}

bool IsDriveLetter(wchar_t letter) {
    return letter >= L'A' && letter <= L'Z';
}

std::wstring DriveRoot(wchar_t letter) {
    return {letter, L':', L'\\'};
}

std::wstring DriveName(wchar_t letter) {
    return {letter, L':'};
}

std::wstring DrivePartOf(const std::wstring& path) {
    if (path.size() >= 2 && path[1] == L':') {
        return path.substr(0, 2);
    }
    return {};
}

std::wstring DriveEntryText(wchar_t letter, const std::wstring& label, bool systemDrive) {
    if (systemDrive) {
        return L"(" + DriveName(letter) + L") " + label + L" (" +
               LoadPooledString(IDS_SYSTEM_DRIVE) + L")";
    }
    return L"(" + DriveName(letter) + L")" + label;
}

bool IsSystemDrive(wchar_t letter, const std::wstring& systemDirectory) {
    return DrivePartOf(systemDirectory) == DriveName(letter);
}

wchar_t DriveLetterOfEntry(const std::wstring& text) {
    return text.size() >= 2 ? text[1] : 0;
}

std::vector<DriveEntry> ListFixedDrives(DriveProbe& probe) {
    std::vector<DriveEntry> entries;
    const DWORD mask = probe.LogicalDrives();
    std::wstring systemDirectory;
    bool systemDirectoryRead = false;
    for (int bit = 0; bit < 26; ++bit) {
        if ((mask & (1u << bit)) == 0) {
            continue;
        }
        const auto letter = static_cast<wchar_t>(L'A' + bit);
        const std::wstring root = DriveRoot(letter);
        if (probe.DriveType(root) != DRIVE_FIXED) {
            continue;
        }
        const std::optional<VolumeInfo> volume = probe.Volume(root);
        if (!volume) {
            continue;
        }
        if (!systemDirectoryRead) {
            systemDirectory = probe.SystemDirectory();
            systemDirectoryRead = true;
        }
        const bool system = IsSystemDrive(letter, systemDirectory);
        entries.push_back({letter, DriveEntryText(letter, volume->label, system), system});
    }
    return entries;
}

int EntryToSelect(const std::vector<DriveEntry>& entries, wchar_t previousLetter,
                  int previousIndex) {
    int chosen = previousIndex;
    bool systemFound = false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].systemDrive && !systemFound) {
            chosen = static_cast<int>(i);
            systemFound = true;
        }
        if (!systemFound && previousLetter != 0 && entries[i].letter == previousLetter) {
            chosen = static_cast<int>(i);
        }
    }
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= entries.size()) {
        return -1;
    }
    return chosen;
}
