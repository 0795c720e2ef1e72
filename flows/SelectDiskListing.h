// The drives the selection page lists: the fixed drives whose volume information
// can be read, in letter order, each with its entry text. The machine is asked
// through a DriveProbe, so the rules can be tried on drives this machine lacks.
#pragma once

#include <windows.h>

#include "engine/Volume.h"

#include <optional>
#include <string>
#include <vector>

struct VolumeInfo {
    std::wstring label;
    std::wstring fileSystem;
};

class DriveProbe {
  public:
    virtual ~DriveProbe() = default;
    // Bit 0 is A:, bit 25 is Z:.
    virtual DWORD LogicalDrives() = 0;
    // GetDriveTypeW of a root such as "C:\".
    virtual UINT DriveType(const std::wstring& root) = 0;
    // The volume label and file system name of a root; nullopt when unreadable.
    virtual std::optional<VolumeInfo> Volume(const std::wstring& root) = 0;
    // The Windows system folder ("C:\Windows\system32"); empty when unknown.
    virtual std::wstring SystemDirectory() = 0;
    // The medium beneath a root's volume; Unknown when it does not say.
    virtual vantrel::engine::MediaKind Media(const std::wstring& root) = 0;
};

// The probe of this machine.
DriveProbe& MachineDriveProbe();

struct DriveEntry {
    wchar_t letter = 0;
    std::wstring text;
    bool systemDrive = false;
};

// True for the letters a drive can have, upper-case A to Z.
bool IsDriveLetter(wchar_t letter);

// The root "X:\" and the name "X:" of a drive letter.
std::wstring DriveRoot(wchar_t letter);
std::wstring DriveName(wchar_t letter);

// The drive part of a path ("C:" of "C:\Windows\system32"); empty when the path has
// none (a UNC path, a relative path).
std::wstring DrivePartOf(const std::wstring& path);

// The text of a drive's entry: "(C:) Windows (System Drive)" for the system drive,
// "(D:)Data" for any other (no blank after the parenthesis). The scan results page
// names the drive the same way.
std::wstring DriveEntryText(wchar_t letter, const std::wstring& label, bool systemDrive);

// True when `letter` is the drive of the Windows system folder (exact, case-sensitive
// comparison of "X:" with the folder's drive part).
bool IsSystemDrive(wchar_t letter, const std::wstring& systemDirectory);

// The drive letter of an entry text: its second character; 0 for a text too short.
wchar_t DriveLetterOfEntry(const std::wstring& text);

// The fixed drives with readable volume information, A to Z.
std::vector<DriveEntry> ListFixedDrives(DriveProbe& probe);

// The entry to select after a new listing: the system drive when there is one;
// otherwise the entry of `previousLetter`, or `previousIndex` when that drive is gone.
// -1 when the result lies outside the list (nothing to select).
int EntryToSelect(const std::vector<DriveEntry>& entries, wchar_t previousLetter,
                  int previousIndex);
