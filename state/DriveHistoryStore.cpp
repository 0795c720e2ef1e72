#include "state/DriveHistoryStore.h"

#include <cstring>
#include <optional>
#include <vector>

#include "state/RegistryKey.h"
#include "state/RegistryNames.h"
#include "ui/format/TimeConvert.h"

namespace names = registry_names;

namespace {

static_assert(sizeof(SYSTEMTIME) == 16, "stored times are 16 bytes");

const wchar_t* TimeValueName(DriveTime which) {
    return which == DriveTime::Scan ? names::kLastScanSysTime : names::kLastDefragSysTime;
}

// The texts of a record, in the order in which they are written, with their value names.
struct TextField {
    const wchar_t* name;
    std::wstring IndiVidualDriveInfo::*field;
};

constexpr TextField kLeadingTexts[] = {
    {names::kLastScanDate, &IndiVidualDriveInfo::LastScanDate},
    {names::kLastDefragDate, &IndiVidualDriveInfo::LastDefragDate},
    {names::kTotalFiles, &IndiVidualDriveInfo::TotalFiles},
    {names::kTotalDirs, &IndiVidualDriveInfo::TotalDirs},
    {names::kFragmentedFiles, &IndiVidualDriveInfo::FragmentedFiles},
    {names::kDeFragmentedFiles, &IndiVidualDriveInfo::DeFragmentedFiles},
    {names::kVolumeFragmentBefore, &IndiVidualDriveInfo::VolumeFragmentBefore},
    {names::kVolumeFragmentAfter, &IndiVidualDriveInfo::VolumeFragmentAfter},
};

void ReadText(const RegistryKey& key, const wchar_t* name, std::wstring& field) {
    if (std::optional<std::wstring> text = key.ReadString(name)) {
        field = std::move(*text);
    }
}

void ReadRecordValues(const RegistryKey& key, IndiVidualDriveInfo& record) {
    for (const TextField& text : kLeadingTexts) {
        ReadText(key, text.name, record.*text.field);
    }
    if (const std::optional<std::uint32_t> status = key.ReadDword(names::kStatus)) {
        record.Status = static_cast<std::int32_t>(*status);
    }
    // A missing flag means "no valid time", whatever the stored time holds; a set flag
    // cannot make a damaged stored time valid.
    record.IsvalidScanTime =
        record.IsvalidScanTime && key.ReadDword(names::kIsvalidScanTime).value_or(0) != 0;
    record.IsvalidDefragTime =
        record.IsvalidDefragTime && key.ReadDword(names::kIsvalidDefragTime).value_or(0) != 0;
    ReadText(key, names::kOptPerCentag, record.Opt_PerCentag);
}

void WriteRecordValues(const RegistryKey& key, const IndiVidualDriveInfo& record) {
    for (const TextField& text : kLeadingTexts) {
        key.WriteString(text.name, record.*text.field);
    }
    key.WriteDword(names::kStatus, static_cast<std::uint32_t>(record.Status));
    key.WriteDword(names::kIsvalidScanTime, record.IsvalidScanTime ? 1 : 0);
    key.WriteDword(names::kIsvalidDefragTime, record.IsvalidDefragTime ? 1 : 0);
    key.WriteString(names::kOptPerCentag, record.Opt_PerCentag);
}

}  // namespace

std::wstring DriveSubkeyPath(const std::wstring& keyPath, wchar_t letter) {
    return keyPath + L'\\' + letter;
}

bool LoadDriveHistory(ProgramSettings& settings, const DriveLetterArray& letters) {
    // The array runs parallel to the letter array; records of an earlier enumeration
    // would otherwise shadow the fresh ones.
    settings.DriveHistory.clear();
    for (const wchar_t letter : letters) {
        settings.DriveHistory.Add(MakeDriveRecord(letter));
    }
    for (IndiVidualDriveInfo& record : settings.DriveHistory) {
        record.IsvalidScanTime = LoadDriveTime(settings.KeyPath, record.DriveLetter,
                                               DriveTime::Scan, record.LastScanSysTime);
        record.IsvalidDefragTime = LoadDriveTime(settings.KeyPath, record.DriveLetter,
                                                 DriveTime::Defrag, record.LastDefragSysTime);
        RegistryKey key(kRegistryReadAccess);
        if (key.OpenOrCreate(HKEY_CURRENT_USER,
                             DriveSubkeyPath(settings.KeyPath, record.DriveLetter))) {
            ReadRecordValues(key, record);
        }
    }
    return true;
}

bool SaveDriveHistory(const ProgramSettings& settings) {
    for (const IndiVidualDriveInfo& record : settings.DriveHistory) {
        {
            RegistryKey key(kRegistryReadWriteAccess);
            if (key.OpenOrCreate(HKEY_CURRENT_USER,
                                 DriveSubkeyPath(settings.KeyPath, record.DriveLetter))) {
                WriteRecordValues(key, record);
            }
        }
        SaveDriveTime(settings.KeyPath, record.DriveLetter, DriveTime::Scan,
                      record.LastScanSysTime);
        SaveDriveTime(settings.KeyPath, record.DriveLetter, DriveTime::Defrag,
                      record.LastDefragSysTime);
    }
    return true;
}

bool LoadDriveTime(const std::wstring& keyPath, wchar_t letter, DriveTime which, SYSTEMTIME& time) {
    RegistryKey key(kRegistryReadWriteAccess);
    if (!key.OpenOrCreate(HKEY_CURRENT_USER, DriveSubkeyPath(keyPath, letter))) {
        return false;
    }
    const std::optional<std::vector<BYTE>> bytes = key.ReadBytes(TimeValueName(which));
    if (!bytes || bytes->size() != sizeof(SYSTEMTIME)) {
        return false;
    }
    SYSTEMTIME stored = {};
    std::memcpy(&stored, bytes->data(), sizeof(stored));
    // All zero is how a never-set time is stored; it fails the range check too.
    if (!IsPlausibleSystemTime(stored)) {
        return false;
    }
    time = stored;
    return true;
}

bool SaveDriveTime(const std::wstring& keyPath, wchar_t letter, DriveTime which,
                   const SYSTEMTIME& time) {
    RegistryKey key(kRegistryReadWriteAccess);
    if (!key.OpenOrCreate(HKEY_CURRENT_USER, DriveSubkeyPath(keyPath, letter))) {
        return false;
    }
    key.WriteBinary(TimeValueName(which), &time, sizeof(time));
    return true;
}
