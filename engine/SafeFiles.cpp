#include "engine/SafeFiles.h"

#include <array>

namespace vantrel::engine {
namespace {

char16_t Lower(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

constexpr std::array<std::u16string_view, 3> kSystemFiles = {u"pagefile.sys", u"swapfile.sys",
                                                             u"hiberfil.sys"};

}  // namespace

bool IsNtfs(std::u16string_view fileSystem) {
    return SameName(fileSystem, u"NTFS");
}

bool IsFat(std::u16string_view fileSystem) {
    return SameName(fileSystem.substr(0, 3), u"FAT") || SameName(fileSystem, u"exFAT");
}

bool IsSafeFile(const FileTable& table, std::uint32_t index, bool ntfs) {
    if (ntfs && (table.IdOf(index) & kRecordMask) < kFirstUserRecord) {
        return true;
    }
    const std::optional<std::uint32_t> top = table.TopLevelOf(index);
    if (!top) {
        return table.ParentOf(index) == table.IdOf(index);  // the root stays
    }
    const std::u16string_view topName = table.NameOf(*top);
    if (*top != index) {
        return ntfs && SameName(topName, u"$Extend");
    }
    if (!topName.empty() && topName.front() == u'$') {
        return true;
    }
    for (const std::u16string_view name : kSystemFiles) {
        if (SameName(topName, name)) {
            return true;
        }
    }
    return false;
}

bool IsMft(const FileTable& table, std::uint32_t index, bool ntfs) {
    return ntfs && (table.IdOf(index) & kRecordMask) == kMftRecord;
}

}  // namespace vantrel::engine
