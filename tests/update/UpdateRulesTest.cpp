// The update check's decisions: version comparison, the manifest's lines, the dated
// installer name, the installer's hash, the server address and the ANSI texts.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "update/AnsiText.h"
#include "update/InstallerHash.h"
#include "update/InstallerName.h"
#include "update/Manifest.h"
#include "update/UpdateServer.h"
#include "update/VersionCompare.h"

namespace {

constexpr char kAbcSha256[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
constexpr char kEmptySha256[] = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";

std::wstring TempFile(const wchar_t* name, const std::string& content) {
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, base);
    const std::wstring path = std::wstring(base) + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (!content.empty()) {
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    }
    CloseHandle(file);
    return path;
}

}  // namespace

TEST(UpdateVersionCompare, FirstDifferingNumberDecides) {
    EXPECT_TRUE(IsNewerVersion("1.2.31.0", "1.2.30.400"));
    EXPECT_FALSE(IsNewerVersion("1.2.30.400", "1.2.31.0"));
    EXPECT_FALSE(IsNewerVersion("1.2.30.400", "1.2.30.400"));
    EXPECT_FALSE(IsNewerVersion("0.9.999.0", "1.2.30.400"));
    EXPECT_TRUE(IsNewerVersion("1.2.30.401", "1.2.30.400"));
    EXPECT_TRUE(IsNewerVersion("10.0.0.0", "9.99.99.99"));  // numbers, not texts
}

TEST(UpdateVersionCompare, MissingAndNonNumericPartsCountAsZero) {
    EXPECT_TRUE(IsNewerVersion("2.0", "1.2.30.400"));
    EXPECT_EQ((FourPartVersion{2, 0, 0, 0}), ParseFourPartVersion("2.0"));
    EXPECT_EQ((FourPartVersion{0, 0, 0, 0}), ParseFourPartVersion(""));
    EXPECT_EQ((FourPartVersion{0, 0, 0, 0}), ParseFourPartVersion("version"));
    EXPECT_EQ((FourPartVersion{1, 0, 3, 0}), ParseFourPartVersion("1.x.3"));
    EXPECT_EQ((FourPartVersion{1, 2, 3, 4}), ParseFourPartVersion(" 1. 2.3abc.4.5"));
    EXPECT_EQ((FourPartVersion{2147483647, -5, 0, 0}), ParseFourPartVersion("99999999999.-5"));
    EXPECT_FALSE(IsNewerVersion("", "1.0.0.1"));
    EXPECT_FALSE(IsNewerVersion("abc", "0.0.0.0"));
    EXPECT_FALSE(IsNewerVersion("1.0.0.1", "1.0.0.1\r"));
}

TEST(UpdateManifest, FirstLineIsTheVersionSecondTheInstallerHash) {
    Manifest plain = ParseManifest("1.2.31.0\r\n");
    EXPECT_EQ("1.2.31.0", plain.version);
    EXPECT_EQ(InstallerHashLine::Absent, plain.hashLine);

    Manifest hashed =
        ParseManifest(std::string("\xEF\xBB\xBF") + "1.2.31.0\n " + kAbcSha256 + " \n");
    EXPECT_EQ("1.2.31.0", hashed.version);
    ASSERT_EQ(InstallerHashLine::Given, hashed.hashLine);
    EXPECT_EQ(0xBA, hashed.installerHash[0]);
    EXPECT_EQ(0xAD, hashed.installerHash[31]);

    EXPECT_EQ(InstallerHashLine::Given,
              ParseManifest(std::string("1.0\n") +
                            "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD")
                  .hashLine);
    EXPECT_EQ(InstallerHashLine::Absent, ParseManifest("1.0\n\nlater lines\n").hashLine);
    EXPECT_EQ(InstallerHashLine::Malformed, ParseManifest("1.0\nnot a hash\n").hashLine);
    EXPECT_EQ(InstallerHashLine::Malformed,
              ParseManifest(std::string("1.0\n") + std::string(kAbcSha256).substr(1)).hashLine);
    EXPECT_EQ("", ParseManifest("").version);
    EXPECT_EQ("", ParseManifest("\r\n1.2.31.0").version);
}

TEST(UpdateManifest, ReadsOnlyTheStartOfAFile) {
    const std::wstring path =
        TempFile(L"vantrel_manifest_test.ini", std::string(kMaxManifestBytes * 4, '7'));
    const std::optional<Manifest> manifest = ReadManifestFile(path);
    ASSERT_TRUE(manifest);
    EXPECT_EQ(kMaxManifestBytes, manifest->version.size());
    DeleteFileW(path.c_str());
    EXPECT_FALSE(ReadManifestFile(path));
}

TEST(UpdateInstallerName, MonthDayYearWithoutLeadingZeros) {
    SYSTEMTIME date = {};
    date.wYear = 2009;
    date.wMonth = 3;
    date.wDay = 7;
    EXPECT_EQ(L"vantrel_Setup_3_7_2009.exe", InstallerFileName(date));
    date.wYear = 2024;
    date.wMonth = 12;
    date.wDay = 31;
    EXPECT_EQ(L"vantrel_Setup_12_31_2024.exe", InstallerFileName(date));
}

TEST(UpdateInstallerHash, Sha256OfFiles) {
    const std::wstring abc = TempFile(L"vantrel_hash_abc.bin", "abc");
    const std::wstring empty = TempFile(L"vantrel_hash_empty.bin", "");
    EXPECT_EQ(ParseSha256Hex(kAbcSha256), Sha256OfFile(abc));
    EXPECT_EQ(ParseSha256Hex(kEmptySha256), Sha256OfFile(empty));
    DeleteFileW(abc.c_str());
    DeleteFileW(empty.c_str());
    EXPECT_FALSE(Sha256OfFile(abc));
}

TEST(UpdateInstallerHash, OnlyAMatchingOrAbsentHashLetsTheInstallerRun) {
    const Sha256Digest abc = *ParseSha256Hex(kAbcSha256);
    const Sha256Digest empty = *ParseSha256Hex(kEmptySha256);
    const Manifest noHash = ParseManifest("1.0\n");
    const Manifest withHash = ParseManifest(std::string("1.0\n") + kAbcSha256);
    const Manifest broken = ParseManifest("1.0\nzz\n");
    EXPECT_TRUE(InstallerMayRun(noHash, abc));
    EXPECT_TRUE(InstallerMayRun(noHash, std::nullopt));
    EXPECT_TRUE(InstallerMayRun(withHash, abc));
    EXPECT_FALSE(InstallerMayRun(withHash, empty));
    EXPECT_FALSE(InstallerMayRun(withHash, std::nullopt));
    EXPECT_FALSE(InstallerMayRun(broken, abc));
}

TEST(UpdateServerAddress, OnlyAPlainHttpAddressReplacesTheBuiltInOne) {
    const std::wstring builtIn = L"https://updates.brenlow.example";
    EXPECT_EQ(builtIn, ChooseServerBase(std::nullopt, builtIn));
    EXPECT_EQ(L"http://127.0.0.1:8080", ChooseServerBase(L"http://127.0.0.1:8080/", builtIn));
    EXPECT_EQ(L"HTTPS://mirror.example/updates",
              ChooseServerBase(L"HTTPS://mirror.example/updates", builtIn));
    for (const wchar_t* bad :
         {L"", L"ftp://mirror", L"mirror.example", L"http://", L"http:///x", L"http://a b",
          L"http://a?x=1", L"http://a#x", L"file://c:/x", L"http://a\\b"}) {
        EXPECT_EQ(builtIn, ChooseServerBase(std::wstring(bad), builtIn)) << bad;
    }
    EXPECT_EQ(builtIn, ChooseServerBase(L"http://" + std::wstring(600, L'a'), builtIn));
}

TEST(UpdateAnsiText, ConvertsExactlyOrNotAtAll) {
    EXPECT_EQ("http://127.0.0.1:1/VantrelUpdates/checkupdate.ini",
              ToThreadAnsi(L"http://127.0.0.1:1/VantrelUpdates/checkupdate.ini"));
    EXPECT_EQ("", ToThreadAnsi(L""));
    // No single-byte Western or Central code page has CJK characters.
    EXPECT_FALSE(ToThreadAnsi(L"C:\\\x4E2D\x6587\\x.tmp"));
}

TEST(UpdateAnsiText, APathOutsideTheCodePageFallsBackToItsShortForm) {
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, base);
    const std::wstring folder = std::wstring(base) + L"vantrel_\x4E2D\x6587_folder";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    const std::optional<std::string> path = ToThreadAnsiPath(folder + L"\\checkupdate.ini");
    RemoveDirectoryW(folder.c_str());
    ASSERT_TRUE(path);
    EXPECT_NE(std::string::npos, path->find("\\checkupdate.ini"));
    EXPECT_EQ(std::string::npos, path->find('?'));
    EXPECT_FALSE(ToThreadAnsiPath(L"C:\\no\\such\\\x4E2D\\x.tmp"));
}
