#include "state/RegistryKey.h"

#include <cstring>

namespace {

// A value that changes size between the size query and the read is asked for again;
// a few attempts settle any ordinary race.
constexpr int kReadAttempts = 4;

}  // namespace

bool RegistryKey::OpenOrCreate(HKEY root, const std::wstring& path) {
    Close();
    path_ = path;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, access_, &key) == ERROR_SUCCESS) {
        key_ = key;
        return true;
    }
    if (access_ == KEY_READ) {
        return false;
    }
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
        key_ = key;
        return true;
    }
    return false;
}

void RegistryKey::Close() {
    if (key_ != nullptr) {
        RegCloseKey(key_);
        key_ = nullptr;
    }
}

bool RegistryKey::ValueExists(const wchar_t* name) const {
    return key_ != nullptr &&
           RegQueryValueExW(key_, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::optional<std::vector<BYTE>> RegistryKey::ReadRaw(const wchar_t* name, std::size_t limit,
                                                      DWORD* type) const {
    if (key_ == nullptr) {
        return std::nullopt;
    }
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD size = 0;
        if (RegQueryValueExW(key_, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS ||
            size > limit) {
            return std::nullopt;
        }
        // One spare byte so that an empty value still has a buffer to point at.
        std::vector<BYTE> data(size + 1);
        DWORD read = size;
        const LSTATUS status = RegQueryValueExW(key_, name, nullptr, type, data.data(), &read);
        if (status == ERROR_MORE_DATA) {
            continue;
        }
        if (status != ERROR_SUCCESS || read > size) {
            return std::nullopt;
        }
        data.resize(read);
        return data;
    }
    return std::nullopt;
}

std::optional<std::wstring> RegistryKey::ReadString(const wchar_t* name) const {
    DWORD type = REG_NONE;
    // Room for the longest accepted text and its terminator.
    const std::size_t limit = (kMaxStoredTextCharacters + 1) * sizeof(wchar_t);
    std::optional<std::vector<BYTE>> data = ReadRaw(name, limit, &type);
    if (!data || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    const std::size_t units = data->size() / sizeof(wchar_t);
    std::wstring text(units, L'\0');
    if (units > 0) {
        std::memcpy(text.data(), data->data(), units * sizeof(wchar_t));
    }
    const std::size_t terminator = text.find(L'\0');
    if (terminator != std::wstring::npos) {
        text.resize(terminator);
    }
    if (text.size() > kMaxStoredTextCharacters) {
        return std::nullopt;
    }
    return text;
}

std::optional<std::uint32_t> RegistryKey::ReadDword(const wchar_t* name) const {
    DWORD type = REG_NONE;
    std::optional<std::vector<BYTE>> data = ReadRaw(name, kMaxStoredBinaryBytes, &type);
    if (!data || data->size() < sizeof(std::uint32_t)) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    std::memcpy(&value, data->data(), sizeof(value));
    return value;
}

std::optional<std::vector<BYTE>> RegistryKey::ReadBytes(const wchar_t* name) const {
    DWORD type = REG_NONE;
    return ReadRaw(name, kMaxStoredBinaryBytes, &type);
}

bool RegistryKey::WriteString(const wchar_t* name, const std::wstring& text) const {
    if (key_ == nullptr) {
        return false;
    }
    // The stored length counts the terminator.
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          bytes) == ERROR_SUCCESS;
}

bool RegistryKey::WriteDword(const wchar_t* name, std::uint32_t value) const {
    if (key_ == nullptr) {
        return false;
    }
    return RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value)) == ERROR_SUCCESS;
}

bool RegistryKey::WriteBinary(const wchar_t* name, const void* data, std::size_t size) const {
    if (key_ == nullptr) {
        return false;
    }
    return RegSetValueExW(key_, name, 0, REG_BINARY, static_cast<const BYTE*>(data),
                          static_cast<DWORD>(size)) == ERROR_SUCCESS;
}
