#include "defragsvc/ServiceParameters.h"

#include "service/ServiceIdentity.h"

#include <windows.h>

#include <string>

namespace vantrel::defragsvc {
namespace {

std::wstring ParametersKeyPath() {
    return std::wstring(L"SYSTEM\\CurrentControlSet\\Services\\") + service::kDefragServiceName +
           L"\\Parameters";
}

std::optional<std::uint32_t> ReadParameter(const wchar_t* name, std::uint32_t highest) {
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    const LSTATUS status = RegGetValueW(HKEY_LOCAL_MACHINE, ParametersKeyPath().c_str(), name,
                                        RRF_RT_REG_DWORD, &type, &value, &size);
    if (status != ERROR_SUCCESS || value > highest) {
        return std::nullopt;
    }
    return value;
}

bool WriteParameter(const wchar_t* name, std::uint32_t number) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, ParametersKeyPath().c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD value = number;
    const bool written =
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

}  // namespace

ServiceOptions ReadServiceOptions() {
    ServiceOptions options;
    options.simulate = ReadParameter(kSimulateValueName, 1).value_or(0) == 1;
    options.dryRun = ReadParameter(kDryRunValueName, 1).value_or(0) == 1;
    return options;
}

bool WriteServiceOptions(const ServiceOptions& options) {
    return WriteParameter(kSimulateValueName, options.simulate ? 1 : 0) &&
           WriteParameter(kDryRunValueName, options.dryRun ? 1 : 0) &&
           (!options.jobMilliseconds || WriteParameter(kPaceValueName, *options.jobMilliseconds));
}

std::uint32_t ReadJobMilliseconds() {
    return ReadParameter(kPaceValueName, kMaxJobMilliseconds).value_or(kDefaultJobMilliseconds);
}

std::uint32_t ReadJobHoldPercent() {
    return ReadParameter(kHoldValueName, kMaxHoldPercent).value_or(0);
}

bool WriteJobHoldPercent(std::uint32_t percent) {
    return WriteParameter(kHoldValueName, percent);
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
