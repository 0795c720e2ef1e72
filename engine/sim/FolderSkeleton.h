// The well-known folders a model volume starts with: the Windows, program and
// user folders of a system drive, or the media and backup folders of a data
// drive. Every generated folder and file hangs below one of them (or the root)
// and takes its kind, so that paths read like the drive they stand for.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace vantrel::engine::sim {

// What a folder holds; decides how the entries below it are named and how often
// their files are held open by a running program.
enum class FolderKind : std::uint8_t {
    Root,
    System,
    Hives,
    Programs,
    Games,
    Users,
    UserHome,
    Documents,
    Pictures,
    Music,
    Videos,
    Downloads,
    AppData,
    Temp,
    Fonts,
    Installer,
    Logs,
    Backup,
};

inline constexpr std::int32_t kNoParent = -1;

struct SkeletonFolder {
    std::int32_t parent;  // index in the same skeleton, or kNoParent for the root
    std::u16string_view name;
    FolderKind kind;
    bool takesFiles;
    bool takesFolders;
};

// The name that SkeletonFor uses for the user's own folder under "Users".
inline constexpr std::u16string_view kUserFolderPlaceholder = u"*";

// Parents always come before their children.
std::span<const SkeletonFolder> SkeletonFor(bool systemDrive);

// The root's own kind and whether generated entries may sit directly in it.
FolderKind RootKind(bool systemDrive);
bool RootTakesEntries(bool systemDrive);

// The user whose folder a system drive holds, chosen from the seed.
std::u16string_view UserName(std::uint64_t seed);

}  // namespace vantrel::engine::sim
