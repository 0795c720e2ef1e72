#include "defragsvc/FolderSkeleton.h"

namespace vantrel::defragsvc {
namespace {

using enum FolderKind;

constexpr SkeletonFolder kSystemDrive[] = {
    {kNoParent, L"Windows", System, true, false},                // 0
    {0, L"System32", System, true, true},                        // 1
    {1, L"drivers", System, true, true},                         // 2
    {1, L"config", Hives, true, false},                          // 3
    {0, L"SysWOW64", System, true, true},                        // 4
    {0, L"WinSxS", System, true, true},                          // 5
    {0, L"Fonts", Fonts, true, false},                           // 6
    {0, L"Installer", Installer, true, true},                    // 7
    {0, L"Temp", Temp, true, true},                              // 8
    {0, L"Logs", Logs, true, true},                              // 9
    {kNoParent, L"Program Files", Programs, false, true},        // 10
    {10, L"Common Files", Programs, true, true},                 // 11
    {kNoParent, L"Program Files (x86)", Programs, false, true},  // 12
    {kNoParent, L"ProgramData", AppData, true, true},            // 13
    {kNoParent, L"Users", Users, false, false},                  // 14
    {14, L"Public", Documents, true, true},                      // 15
    {14, kUserFolderPlaceholder, UserHome, true, false},         // 16
    {16, L"Documents", Documents, true, true},                   // 17
    {16, L"Pictures", Pictures, true, true},                     // 18
    {16, L"Music", Music, true, true},                           // 19
    {16, L"Videos", Videos, true, true},                         // 20
    {16, L"Downloads", Downloads, true, true},                   // 21
    {16, L"Desktop", Documents, true, false},                    // 22
    {16, L"AppData", AppData, false, false},                     // 23
    {23, L"Local", AppData, true, true},                         // 24
    {23, L"Roaming", AppData, true, true},                       // 25
    {24, L"Temp", Temp, true, true},                             // 26
    {kNoParent, L"Games", Games, false, true},                   // 27
};

constexpr SkeletonFolder kDataDrive[] = {
    {kNoParent, L"Photos", Pictures, true, true},
    {kNoParent, L"Music", Music, true, true},
    {kNoParent, L"Videos", Videos, true, true},
    {kNoParent, L"Documents", Documents, true, true},
    {kNoParent, L"Backup", Backup, true, true},
    {kNoParent, L"Games", Games, false, true},
    {kNoParent, L"Projects", Documents, true, true},
    {kNoParent, L"Downloads", Downloads, true, true},
};

constexpr std::wstring_view kUserNames[] = {L"Anna",  L"Ben",   L"Clara",  L"David",
                                            L"Emma",  L"Felix", L"Hannah", L"Jonas",
                                            L"Laura", L"Max",   L"Nora",   L"Paul"};

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

std::wstring_view UserName(std::uint64_t seed) {
    return kUserNames[seed % (sizeof kUserNames / sizeof kUserNames[0])];
}

}  // namespace vantrel::defragsvc
