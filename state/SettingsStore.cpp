#include "state/SettingsStore.h"

#include <optional>

#include "state/RegistryKey.h"
#include "state/RegistryNames.h"

namespace {

void ReadSetting(const RegistryKey& key, const wchar_t* name, std::int32_t& field) {
    if (const std::optional<std::uint32_t> value = key.ReadDword(name)) {
        field = static_cast<std::int32_t>(*value);
    }
}

}  // namespace

bool LoadSettings(ProgramSettings& settings) {
    RegistryKey key(kRegistryReadAccess);
    if (!key.OpenOrCreate(HKEY_CURRENT_USER, settings.KeyPath)) {
        return true;
    }
    ReadSetting(key, registry_names::kMinimizeSetting, settings.MinimizeSetting);
    ReadSetting(key, registry_names::kCloseSetting, settings.CloseSetting);
    ReadSetting(key, registry_names::kScheduleConstantDefrag, settings.ScheduleConstantDefrag);
    if (std::optional<std::wstring> letters =
            key.ReadString(registry_names::kScheduleDriveLettersString)) {
        settings.ScheduleDriveLettersString = std::move(*letters);
    }
    return true;
}

bool SaveSettings(const ProgramSettings& settings) {
    RegistryKey key(kRegistryReadWriteAccess);
    if (!key.OpenOrCreate(HKEY_CURRENT_USER, settings.KeyPath)) {
        return true;
    }
    key.WriteDword(registry_names::kMinimizeSetting,
                   static_cast<std::uint32_t>(settings.MinimizeSetting));
    key.WriteDword(registry_names::kCloseSetting,
                   static_cast<std::uint32_t>(settings.CloseSetting));
    key.WriteDword(registry_names::kScheduleConstantDefrag,
                   static_cast<std::uint32_t>(settings.ScheduleConstantDefrag));
    return true;
}
