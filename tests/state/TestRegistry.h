// A key path of its own below HKEY_CURRENT_USER for each test, deleted with everything
// below it afterwards, and small helpers that plant values the way another version or
// a damaged hive might have left them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "state/ProgramSettings.h"

inline constexpr wchar_t kTestRoot[] = L"Software\\VantrelTests";

class TestRegistryPath {
  public:
    TestRegistryPath() {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = std::string(test->test_suite_name()) + "." + test->name();
        path_ = std::wstring(kTestRoot) + L"\\" + std::wstring(name.begin(), name.end()) + L"_" +
                std::to_wstring(GetCurrentProcessId());
        Delete();
    }
    ~TestRegistryPath() {
        Delete();
        RegDeleteKeyW(HKEY_CURRENT_USER, kTestRoot);  // only succeeds once it is empty
    }
    TestRegistryPath(const TestRegistryPath&) = delete;
    TestRegistryPath& operator=(const TestRegistryPath&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring Drive(wchar_t letter) const { return path_ + L"\\" + letter; }

  private:
    void Delete() { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }

    std::wstring path_;
};

inline bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// Writes raw bytes of any type, creating the key.
inline void PlantValue(const std::wstring& path, const wchar_t* name, DWORD type, const void* data,
                       std::size_t size) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                             KEY_WRITE, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data),
                                            static_cast<DWORD>(size)));
    RegCloseKey(key);
}

inline void PlantString(const std::wstring& path, const wchar_t* name, const std::wstring& text,
                        DWORD type = REG_SZ) {
    PlantValue(path, name, type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

inline void PlantDword(const std::wstring& path, const wchar_t* name, std::uint32_t value) {
    PlantValue(path, name, REG_DWORD, &value, sizeof(value));
}

struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

inline std::optional<StoredValue> ReadStored(const std::wstring& path, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    StoredValue value;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        value.bytes.resize(size);
        status = RegQueryValueExW(key, name, nullptr, &value.type, value.bytes.data(), &size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

inline DWORD CountValues(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return 0;
    }
    DWORD values = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return values;
}

// Settings that read and write below `path` instead of the program's own key.
inline ProgramSettings SettingsAt(const std::wstring& path) {
    ProgramSettings settings;
    settings.KeyPath = path;
    return settings;
}
