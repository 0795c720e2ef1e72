#include "update/UpdateServer.h"

#include <windows.h>

#include <cwctype>

#include "state/RegistryKey.h"

#ifndef VANTREL_UPDATE_SERVER
#error "The build names the vendor's update server"
#endif

namespace {

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    for (std::size_t i = 0; prefix[i] != L'\0'; ++i) {
        if (i >= text.size() || std::towlower(text[i]) != prefix[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::wstring ChooseServerBase(const std::optional<std::wstring>& configured,
                              const std::wstring& builtIn) {
    if (!configured) {
        return builtIn;
    }
    std::wstring base = *configured;
    while (!base.empty() && base.back() == L'/') {
        base.pop_back();
    }
    std::size_t hostStart = 0;
    if (StartsWithNoCase(base, L"http://")) {
        hostStart = 7;
    } else if (StartsWithNoCase(base, L"https://")) {
        hostStart = 8;
    } else {
        return builtIn;
    }
    if (base.size() <= hostStart || base.size() > kMaxServerAddressLength) {
        return builtIn;
    }
    for (wchar_t c : base) {
        if (c <= L' ' || c == 0x7F || c == L'?' || c == L'#' || c == L'\\') {
            return builtIn;
        }
    }
    const wchar_t first = base[hostStart];
    if (first == L'/' || first == L':' || first == L'@') {
        return builtIn;
    }
    return base;
}

std::wstring UpdateServerBase() {
    RegistryKey key(kRegistryReadAccess);
    std::optional<std::wstring> configured;
    if (key.OpenOrCreate(HKEY_LOCAL_MACHINE, kUpdateServerKey)) {
        configured = key.ReadString(kUpdateServerValue);
    }
    return ChooseServerBase(configured, VANTREL_UPDATE_SERVER);
}

std::wstring ManifestAddress() {
    return UpdateServerBase() + kManifestAddressPath;
}

std::wstring InstallerAddress() {
    return UpdateServerBase() + kInstallerAddressPath;
}
