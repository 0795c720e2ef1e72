#include "app/LogonEntry.h"

#include "state/RegistryKey.h"

std::wstring BuildLogonCommandLine() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    // Quoted: a path with blanks ("C:\Program Files\...") would otherwise be split at
    // the first blank when Windows runs the entry.
    return L"\"" + std::wstring(path, length < MAX_PATH ? length : MAX_PATH - 1) + L"\" -pop";
}

bool EnsureLogonEntry(HKEY root, const std::wstring& keyPath, const wchar_t* valueName,
                      const std::wstring& commandLine) {
    RegistryKey key(kRegistryReadWriteAccess);
    if (!key.OpenOrCreate(root, keyPath) || key.ValueExists(valueName)) {
        return false;
    }
    return key.WriteString(valueName, commandLine);
}
