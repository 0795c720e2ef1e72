#include "defragsvc/PaceSetting.h"

#include "service/ServiceIdentity.h"

#include <windows.h>

#include <string>

namespace vantrel::defragsvc {
namespace {

std::wstring ParametersKeyPath() {
    return std::wstring(L"SYSTEM\\CurrentControlSet\\Services\\") + service::kDefragServiceName +
           L"\\Parameters";
}

}  // namespace

std::uint32_t ReadJobMilliseconds() {
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    const LSTATUS status = RegGetValueW(HKEY_LOCAL_MACHINE, ParametersKeyPath().c_str(),
                                        kPaceValueName, RRF_RT_REG_DWORD, &type, &value, &size);
    if (status != ERROR_SUCCESS || value > kMaxJobMilliseconds) {
        return kDefaultJobMilliseconds;
    }
    return value;
}

bool WriteJobMilliseconds(std::uint32_t milliseconds) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, ParametersKeyPath().c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD value = milliseconds;
    const bool written =
        RegSetValueExW(key, kPaceValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

std::optional<std::uint32_t> ParseJobMilliseconds(std::wstring_view text) {
    if (text.empty() || text.size() > 7) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (const wchar_t digit : text) {
        if (digit < L'0' || digit > L'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint32_t>(digit - L'0');
    }
    if (value > kMaxJobMilliseconds) {
        return std::nullopt;
    }
    return value;
}

}  // namespace vantrel::defragsvc
