#include "defragsvc/VolumeNames.h"

#include "defragsvc/FolderSkeleton.h"
#include "defragsvc/NameVocabulary.h"

#include <array>
#include <string_view>

namespace vantrel::defragsvc {
namespace {

constexpr std::array<std::wstring_view, kSystemFileCount> kSystemNames = {
    L"$MFT", L"$Boot", L"$LogFile", L"$Bitmap", L"pagefile.sys"};

std::wstring SkeletonName(const VolumeModel& model, std::uint32_t seed) {
    const auto skeleton = SkeletonFor(model.systemDrive);
    if (seed >= skeleton.size()) {
        return {};
    }
    const std::wstring_view name = skeleton[seed].name;
    return std::wstring(name == kUserFolderPlaceholder ? std::wstring_view(model.userName) : name);
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
        case EntryKind::Directory:
            if ((entry.nameSeed & kGeneratedNameFlag) == 0) {
                return SkeletonName(model, entry.nameSeed);
            }
            return FolderName(entry.folder, entry.nameSeed & ~kGeneratedNameFlag);
        case EntryKind::File:
            return FileName(entry.folder, entry.nameSeed, entry.sizeBytes);
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
