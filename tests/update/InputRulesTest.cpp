// The library's decisions about addresses, paths, sizes and options.
#include <gtest/gtest.h>

#include "updatedll/InputRules.h"

using namespace upd;

TEST(UpdateInputRules, AcceptsOnlyHttpAndHttpsAddressesWithAHost) {
    EXPECT_TRUE(IsFetchableAddress(L"http://127.0.0.1:8080/VantrelUpdates/checkupdate.ini"));
    EXPECT_TRUE(IsFetchableAddress(L"HTTPS://updates.example/a?b=c"));
    EXPECT_TRUE(IsFetchableAddress(L"https://updates.example"));
    EXPECT_FALSE(IsFetchableAddress(L""));
    EXPECT_FALSE(IsFetchableAddress(L"ftp://host/file"));
    EXPECT_FALSE(IsFetchableAddress(L"file:///C:/x"));
    EXPECT_FALSE(IsFetchableAddress(L"http://"));
    EXPECT_FALSE(IsFetchableAddress(L"http:///path"));
    EXPECT_FALSE(IsFetchableAddress(L"http://:80/path"));
    EXPECT_FALSE(IsFetchableAddress(L"http://host/a b"));
    EXPECT_FALSE(IsFetchableAddress(L"http://host/a\r\nX-Injected: 1"));
    EXPECT_FALSE(IsFetchableAddress(L"http://host/" + std::wstring(kMaxAddressLength, L'a')));
}

TEST(UpdateInputRules, AcceptsOnlyFullLocalFilePaths) {
    EXPECT_TRUE(IsUsableLocalPath(L"C:\\Users\\a\\AppData\\Roaming\\Brenlow\\Vantrel\\x.tmp"));
    EXPECT_TRUE(IsUsableLocalPath(L"C:\\x.tmp"));
    EXPECT_TRUE(IsUsableLocalPath(L"\\\\server\\share\\x.tmp"));
    EXPECT_FALSE(IsUsableLocalPath(L"x.tmp"));
    EXPECT_FALSE(IsUsableLocalPath(L"folder\\x.tmp"));
    EXPECT_FALSE(IsUsableLocalPath(L"C:x.tmp"));
    EXPECT_FALSE(IsUsableLocalPath(L"C:\\folder\\"));
    EXPECT_FALSE(IsUsableLocalPath(L"C:\\folder\\.."));
    EXPECT_FALSE(IsUsableLocalPath(L"C:\\a*.tmp"));
    EXPECT_FALSE(IsUsableLocalPath(L"C:\\a\\b:stream"));
    EXPECT_FALSE(IsUsableLocalPath(L"\\\\?\\C:\\x.tmp"));
    EXPECT_FALSE(IsUsableLocalPath(L"C:\\" + std::wstring(kMaxLocalPathLength, L'a')));
    EXPECT_EQ(L"C:\\a\\b", FolderOf(L"C:\\a\\b\\c.tmp"));
    EXPECT_EQ(L"C:\\", FolderOf(L"C:\\c.tmp"));
}

TEST(UpdateInputRules, ReadsContentLengthStrictly) {
    EXPECT_EQ(0u, ParseContentLength(L"0"));
    EXPECT_EQ(52428800u, ParseContentLength(L" 52428800 "));
    EXPECT_EQ(UINT64_MAX, ParseContentLength(L"18446744073709551615"));
    EXPECT_FALSE(ParseContentLength(L"18446744073709551616"));
    EXPECT_FALSE(ParseContentLength(L""));
    EXPECT_FALSE(ParseContentLength(L"-1"));
    EXPECT_FALSE(ParseContentLength(L"12, 12"));
    EXPECT_FALSE(ParseContentLength(L"0x10"));
}

TEST(UpdateInputRules, HiddenOptionAndPercentages) {
    EXPECT_EQ(false, ParseHiddenValue("0"));
    EXPECT_EQ(true, ParseHiddenValue("1"));
    EXPECT_FALSE(ParseHiddenValue(""));
    EXPECT_FALSE(ParseHiddenValue("00"));
    EXPECT_EQ(0, PercentOf(5, 0));
    EXPECT_EQ(50, PercentOf(50, 100));
    EXPECT_EQ(100, PercentOf(100, 100));
    EXPECT_EQ(100, PercentOf(150, 100));
    EXPECT_EQ(99, PercentOf(UINT64_MAX - 1, UINT64_MAX));
}
