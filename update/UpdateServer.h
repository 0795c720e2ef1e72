// Where updates come from: the vendor's server, fixed at build time (one folder per
// architecture: the x64 build uses "<server>/x64"), unless an
// administrator names another one in the machine-wide key
// HKEY_LOCAL_MACHINE\Software\Brenlow\Vantrel, value "UpdateServer" (a REG_SZ such as
// "https://updates.example.com"), which replaces the whole base of this build. Only
// administrators can write that key, so no per-user setting can redirect an update.
// A 32-bit build on 64-bit Windows reads the key's 32-bit view
// (HKLM\Software\WOW6432Node\Brenlow\Vantrel), as every 32-bit program does.
#pragma once

#include <optional>
#include <string>

inline constexpr wchar_t kUpdateServerKey[] = L"Software\\Brenlow\\Vantrel";
inline constexpr wchar_t kUpdateServerValue[] = L"UpdateServer";
inline constexpr wchar_t kManifestAddressPath[] = L"/VantrelUpdates/checkupdate.ini";
inline constexpr wchar_t kInstallerAddressPath[] = L"/VantrelUpdates/Vantrel.exe";
inline constexpr std::size_t kMaxServerAddressLength = 512;

// The base address to use: `configured` when it is a plain http:// or https://
// address of at most kMaxServerAddressLength characters without white space, control
// characters, a query or a fragment (trailing slashes removed); otherwise `builtIn`.
std::wstring ChooseServerBase(const std::optional<std::wstring>& configured,
                              const std::wstring& builtIn);

// The base address in force: the machine-wide value when usable, else the build's.
std::wstring UpdateServerBase();

std::wstring ManifestAddress();
std::wstring InstallerAddress();
