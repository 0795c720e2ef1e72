#include "app/LogonEntry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr wchar_t kTestRoot[] = L"Software\\VantrelTests\\LogonEntry";

std::wstring ReadValue(const wchar_t* name) {
    wchar_t text[512] = {};
    DWORD size = sizeof(text);
    if (RegGetValueW(HKEY_CURRENT_USER, kTestRoot, name, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS) {
        return L"<missing>";
    }
    return text;
}

class LogonEntryTest : public testing::Test {
  protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }
};

TEST_F(LogonEntryTest, WritesTheEntryOnceAndNeverChangesAnExistingOne) {
    const std::wstring mine = BuildLogonCommandLine();
    ASSERT_GT(mine.size(), 5u);
    EXPECT_EQ(L" -pop", mine.substr(mine.size() - 5));
    EXPECT_NE(std::wstring::npos, mine.find(L"app_tests.exe"));

    // The key does not exist yet: it is created and the value written.
    EXPECT_TRUE(EnsureLogonEntry(HKEY_CURRENT_USER, kTestRoot, kRunValueName, mine));
    EXPECT_EQ(mine, ReadValue(kRunValueName));

    // A value set by someone else stays as it is.
    const std::wstring other = L"C:\\Elsewhere\\vantrel.exe -pop";
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kTestRoot, 0, KEY_SET_VALUE, &key));
    RegSetValueExW(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(other.c_str()),
                   static_cast<DWORD>((other.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    EXPECT_FALSE(EnsureLogonEntry(HKEY_CURRENT_USER, kTestRoot, kRunValueName, mine));
    EXPECT_EQ(other, ReadValue(kRunValueName));
}

}  // namespace
