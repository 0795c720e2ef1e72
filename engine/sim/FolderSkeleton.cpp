#include "engine/sim/FolderSkeleton.h"

namespace vantrel::engine::sim {
namespace {

using enum FolderKind;

constexpr SkeletonFolder kSystemDrive[] = {
    {kNoParent, u"Windows", System, true, false},                // 0
    {0, u"System32", System, true, true},                        // 1
    {1, u"drivers", System, true, true},                         // 2
    {1, u"config", Hives, true, false},                          // 3
    {0, u"SysWOW64", System, true, true},                        // 4
    {0, u"WinSxS", System, true, true},                          // 5
    {0, u"Fonts", Fonts, true, false},                           // 6
    {0, u"Installer", Installer, true, true},                    // 7
    {0, u"Temp", Temp, true, true},                              // 8
    {0, u"Logs", Logs, true, true},                              // 9
    {kNoParent, u"Program Files", Programs, false, true},        // 10
    {10, u"Common Files", Programs, true, true},                 // 11
    {kNoParent, u"Program Files (x86)", Programs, false, true},  // 12
    {kNoParent, u"ProgramData", AppData, true, true},            // 13
    {kNoParent, u"Users", Users, false, false},                  // 14
    {14, u"Public", Documents, true, true},                      // 15
    {14, kUserFolderPlaceholder, UserHome, true, false},         // 16
    {16, u"Documents", Documents, true, true},                   // 17
    {16, u"Pictures", Pictures, true, true},                     // 18
    {16, u"Music", Music, true, true},                           // 19
    {16, u"Videos", Videos, true, true},                         // 20
    {16, u"Downloads", Downloads, true, true},                   // 21
    {16, u"Desktop", Documents, true, false},                    // 22
    {16, u"AppData", AppData, false, false},                     // 23
    {23, u"Local", AppData, true, true},                         // 24
    {23, u"Roaming", AppData, true, true},                       // 25
    {24, u"Temp", Temp, true, true},                             // 26
    {kNoParent, u"Games", Games, false, true},                   // 27
};

constexpr SkeletonFolder kDataDrive[] = {
    {kNoParent, u"Photos", Pictures, true, true},
    {kNoParent, u"Music", Music, true, true},
    {kNoParent, u"Videos", Videos, true, true},
    {kNoParent, u"Documents", Documents, true, true},
    {kNoParent, u"Backup", Backup, true, true},
    {kNoParent, u"Games", Games, false, true},
    {kNoParent, u"Projects", Documents, true, true},
    {kNoParent, u"Downloads", Downloads, true, true},
};

constexpr std::u16string_view kUserNames[] = {u"Anna",  u"Ben",   u"Clara",  u"David",
                                              u"Emma",  u"Felix", u"Hannah", u"Jonas",
                                              u"Laura", u"Max",   u"Nora",   u"Paul"};

}  // namespace

std::span<const SkeletonFolder> SkeletonFor(bool systemDrive) {
    if (systemDrive) {
        return kSystemDrive;
    }
    return kDataDrive;
}

FolderKind RootKind(bool systemDrive) {
    return systemDrive ? Root : Documents;
}

bool RootTakesEntries(bool systemDrive) {
    return !systemDrive;
}

std::u16string_view UserName(std::uint64_t seed) {
    return kUserNames[seed % (sizeof kUserNames / sizeof kUserNames[0])];
}

}  // namespace vantrel::engine::sim
