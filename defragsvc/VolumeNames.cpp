#include "defragsvc/VolumeNames.h"

#include <array>
#include <string_view>

namespace vantrel::defragsvc {
namespace {

constexpr std::array<std::wstring_view, kSystemFileCount> kSystemNames = {
    L"$MFT", L"$Boot", L"$LogFile", L"$Bitmap", L"pagefile.sys"};

constexpr std::array<std::wstring_view, kFixedDirectoryCount> kFixedDirectories = {
    L"Windows", L"Program Files", L"Users", L"ProgramData", L"Program Files (x86)"};

constexpr std::wstring_view kWords[] = {
    L"Assets",  L"Backup",  L"Cache",    L"Common",   L"Config",  L"Data",      L"Debug",
    L"Docs",    L"Drivers", L"Fonts",    L"Games",    L"Help",    L"Images",    L"Install",
    L"Library", L"Local",   L"Logs",     L"Media",    L"Modules", L"Music",     L"Packages",
    L"Photos",  L"Plugins", L"Profiles", L"Projects", L"Reports", L"Resources", L"Roaming",
    L"Runtime", L"Samples", L"Scripts",  L"Settings", L"Setup",   L"Shared",    L"Sounds",
    L"Source",  L"Temp",    L"Themes",   L"Tools",    L"Updates", L"Videos",    L"Web",
    L"Archive", L"Budget",  L"Invoice",  L"Journal",  L"Letter",  L"Notes",     L"Summary",
    L"Holiday", L"Family",  L"Travel",   L"Report",   L"Draft",   L"Index",     L"Catalog",
    L"Client",  L"Server",  L"Engine",   L"Studio",   L"Viewer",  L"Player",    L"Editor",
    L"Manager"};
constexpr std::uint32_t kWordCount = sizeof kWords / sizeof kWords[0];

// Extensions by the size of the file they name.
constexpr std::wstring_view kSmallExtensions[] = {L".txt", L".ini",  L".xml", L".dll", L".png",
                                                  L".ico", L".json", L".log", L".cfg", L".js"};
constexpr std::wstring_view kMediumExtensions[] = {L".dll", L".exe",  L".jpg", L".pdf", L".docx",
                                                   L".mp3", L".xlsx", L".cab", L".msi", L".zip"};
constexpr std::wstring_view kLargeExtensions[] = {L".mp4", L".iso", L".vhd", L".pak", L".zip",
                                                  L".mkv", L".db",  L".wim", L".avi", L".bin"};

std::wstring_view Word(std::uint32_t seed) {
    return kWords[seed % kWordCount];
}

std::wstring_view Extension(std::uint64_t sizeBytes, std::uint32_t seed) {
    if (sizeBytes < 64 * 1024) {
        return kSmallExtensions[seed % 10];
    }
    if (sizeBytes < 8 * 1024 * 1024) {
        return kMediumExtensions[seed % 10];
    }
    return kLargeExtensions[seed % 10];
}

}  // namespace

std::wstring EntryName(const VolumeModel& model, std::uint32_t index) {
    if (index == 0 || index >= model.entries.size()) {
        return {};
    }
    const Entry& entry = model.entries[index];
    switch (entry.kind) {
        case EntryKind::Mft:
        case EntryKind::SystemFile:
            return std::wstring(kSystemNames[entry.nameSeed % kSystemFileCount]);
        case EntryKind::Directory: {
            if ((entry.nameSeed & kGeneratedNameFlag) == 0) {
                return std::wstring(kFixedDirectories[entry.nameSeed % kFixedDirectoryCount]);
            }
            std::wstring name(Word(entry.nameSeed));
            if ((entry.nameSeed >> 12) % 3 == 0) {
                name += L' ';
                name += Word(entry.nameSeed >> 16);
            }
            return name;
        }
        case EntryKind::File: {
            std::wstring name(Word(entry.nameSeed));
            name += Word(entry.nameSeed >> 8);
            if ((entry.nameSeed >> 16) % 2 == 0) {
                name += std::to_wstring((entry.nameSeed >> 17) % 1000);
            }
            name += Extension(entry.sizeBytes, entry.nameSeed >> 24);
            return name;
        }
    }
    return {};
}

std::wstring EntryPath(const VolumeModel& model, std::uint32_t index) {
    std::wstring root{model.geometry.letter, L':', L'\\'};
    if (index >= model.entries.size()) {
        return root;
    }
    // Walk up to the root; depth is bounded, so is the walk.
    std::array<std::uint32_t, 64> chain{};
    std::size_t length = 0;
    for (std::uint32_t at = index; at != 0 && length < chain.size();
         at = model.entries[at].parent) {
        chain[length++] = at;
    }
    std::wstring path = root;
    for (std::size_t i = length; i-- > 0;) {
        path += EntryName(model, chain[i]);
        if (i != 0) {
            path += L'\\';
        }
    }
    return path;
}

}  // namespace vantrel::defragsvc
