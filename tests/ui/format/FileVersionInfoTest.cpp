// Version resources read from real files: a fixture DLL with known values, and files
// without any.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/format/TempFolder.h"
#include "ui/format/FileVersionInfo.h"

namespace {

// The fixture DLL is built next to the test program.
std::wstring FixturePath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.resize(path.find_last_of(L'\\') + 1);
    return path + L"version_fixture.dll";
}

TEST(CFileVersionInfo, ReadsTheFixedRecordAndTheTranslation) {
    CFileVersionInfo info;
    ASSERT_TRUE(info.Open(FixturePath().c_str()));
    EXPECT_EQ(0xFEEF04BDu, info.FixedInfo().dwSignature);
    EXPECT_EQ(MAKELONG(2, 1), info.FixedInfo().dwFileVersionMS);
    EXPECT_EQ(MAKELONG(400, 30), info.FixedInfo().dwFileVersionLS);
    EXPECT_EQ(1u, info.TranslationCount());
}

TEST(CFileVersionInfo, QueriesStringValuesOfTheFirstTranslation) {
    CFileVersionInfo info;
    ASSERT_TRUE(info.Open(FixturePath().c_str()));
    const struct {
        const wchar_t* name;
        BOOL found;
        std::wstring expected;
    } cases[] = {
        {L"FileVersion", TRUE, L"1.2.30.400"},
        {L"ProductName", TRUE, L"Version Fixture"},
        {L"Comments", TRUE, std::wstring(kVersionStringCapacity - 1, L'L')},  // cut to fit
        {L"CompanyName", FALSE, L""},
    };
    for (const auto& c : cases) {
        wchar_t value[kVersionStringCapacity + 8];
        wmemset(value, L'#', std::size(value));
        EXPECT_EQ(c.found, info.QueryStringValue(c.name, value) != FALSE) << c.name;
        EXPECT_EQ(c.expected, value) << c.name;
        EXPECT_EQ(L'#', value[kVersionStringCapacity]) << c.name;
    }
}

TEST(CFileVersionInfo, FilesWithoutAVersionResourceAreInvalid) {
    TempFolder folder;
    const std::wstring text = folder.Path() + L"\\plain.txt";
    HANDLE file = CreateFileW(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, "no resources", 12, &written, nullptr);
    CloseHandle(file);

    const struct {
        const char* name;
        std::wstring path;
    } cases[] = {
        {"plain text", text},
        {"missing", folder.Path() + L"\\absent.dll"},
    };
    for (const auto& c : cases) {
        CFileVersionInfo info;
        ASSERT_TRUE(info.Open(FixturePath().c_str()));  // a failed open forgets earlier data
        EXPECT_FALSE(info.Open(c.path.c_str())) << c.name;
        EXPECT_FALSE(info.IsValid()) << c.name;
        wchar_t value[kVersionStringCapacity] = L"stale";
        EXPECT_FALSE(info.QueryStringValue(L"FileVersion", value)) << c.name;
        EXPECT_STREQ(L"", value) << c.name;
    }
}

TEST(CFileVersionInfo, RefusesANullPathOrName) {
    CFileVersionInfo info;
    EXPECT_FALSE(info.Open(nullptr));
    ASSERT_TRUE(info.Open(FixturePath().c_str()));
    wchar_t value[kVersionStringCapacity] = L"stale";
    EXPECT_FALSE(info.QueryStringValue(nullptr, value));
    EXPECT_STREQ(L"", value);
}

}  // namespace
