// The update check in this process against the loopback server, named as the update
// server in the machine-wide key as an administrator would: which message the user
// gets, which files are left in the data folder, and whether the installer is handed
// over to. The hand-over itself ends the process, so a recording launcher stands in
// for it here; the installed program's real hand-over is in the end-to-end test.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/update/LoopbackServer.h"
#include "tests/support/MessageBoxAnswer.h"
#include "ui/format/Paths.h"
#include "ui/format/StringPool.h"
#include "update/InstallerHash.h"
#include "update/InstallerName.h"
#include "update/UpdateCheck.h"
#include "update/UpdateServer.h"

using namespace vantrel::testsupport;

namespace {

constexpr wchar_t kManifest[] = L"VantrelUpdates\\checkupdate.ini";
constexpr wchar_t kInstaller[] = L"VantrelUpdates\\Vantrel.exe";
constexpr UINT kCheckAgain = WM_APP + 7;

int g_launches = 0;
int g_nestedResult = -1;

void RecordLaunch() {
    ++g_launches;
}

std::string Sha256Hex(const std::string& bytes);

// The window that owns the messages; a posted kCheckAgain presses the update button
// again from inside whatever modal loop runs at the time.
LRESULT CALLBACK OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kCheckAgain) {
        UpdateHost host{window, L"Vantrel", true};
        g_nestedResult = CheckForUpdates(host);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class UpdateCheck : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        server_ = new LoopbackServer();
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = OwnerProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VantrelUpdateCheckOwner";
        RegisterClassW(&windowClass);
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(server_->Running()) << "the loopback server did not start";
        ASSERT_TRUE(GetAppDataPath(folder_, L""));
        SetServer(server_->WideUrl(L""));
        owner_ = CreateWindowExW(0, L"VantrelUpdateCheckOwner", L"owner", WS_OVERLAPPEDWINDOW, 0, 0,
                                 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, owner_);
        SetInstallerLauncher(&RecordLaunch);
        g_launches = 0;
        g_nestedResult = -1;
        CleanFolder();
        server_->Remove(kManifest);
        server_->Remove(kInstaller);
        server_->Remove(std::wstring(kInstaller) + L".redirect");
    }
    void TearDown() override {
        DestroyWindow(owner_);
        CleanFolder();
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUpdateServerKey, 0, KEY_SET_VALUE, &key) == 0) {
            RegDeleteValueW(key, kUpdateServerValue);
            RegCloseKey(key);
        }
    }

    static void SetServer(const std::wstring& base) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUpdateServerKey, 0, nullptr,
                                                 0, KEY_SET_VALUE, nullptr, &key, nullptr));
        RegSetValueExW(key, kUpdateServerValue, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(base.c_str()),
                       static_cast<DWORD>((base.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }

    std::wstring InFolder(const std::wstring& name) const { return folder_ + L"\\" + name; }
    std::wstring TodaysInstaller() const {
        SYSTEMTIME today = {};
        GetLocalTime(&today);
        return InFolder(InstallerFileName(today));
    }
    void CleanFolder() const {
        for (const std::wstring& name :
             {std::wstring(L"checkupdate.ini"), std::wstring(L"Vantrel.tmp"), TodaysInstaller()}) {
            DeleteFileW((name.find(L'\\') == std::wstring::npos ? InFolder(name) : name).c_str());
        }
    }

    // Presses the button as an administrator; answers the one message and returns
    // its text (empty when none came) with the check's result.
    std::wstring Check(int* result = nullptr, bool administrator = true) {
        MessageBoxAnswer answer(owner_, IDOK);
        UpdateHost host{owner_, L"Vantrel", administrator};
        const int answered = CheckForUpdates(host);
        if (result != nullptr) {
            *result = answered;
        }
        EXPECT_FALSE(UpdateInProgress());
        if (!administrator) {
            EXPECT_FALSE(answer.StopAndReport());
            return std::wstring();
        }
        return answer.Text();
    }

    static std::wstring Text(UINT id) { return LoadPooledString(id); }

    static LoopbackServer* server_;
    std::wstring folder_;
    HWND owner_ = nullptr;
};

LoopbackServer* UpdateCheck::server_ = nullptr;

const std::string kInstallerBytes = std::string("MZ") + std::string(300000, 'i');

TEST_F(UpdateCheck, ANonAdministratorGetsNoReaction) {
    ASSERT_TRUE(server_->Put(kManifest, "9.0.0.0\r\n"));
    int result = -1;
    EXPECT_EQ(L"", Check(&result, false));
    EXPECT_EQ(0, result);
    EXPECT_FALSE(FileExists(InFolder(L"checkupdate.ini")));
}

TEST_F(UpdateCheck, NoNewerVersionSaysTheProgramIsCurrent) {
    struct Case {
        const char* what;
        const char* manifest;  // nullptr: no manifest on the server
    };
    const Case cases[] = {
        {"equal", VANTREL_VERSION_TEXT "\r\n"},  {"older", "0.9.999.0\r\n"}, {"empty", ""},
        {"blank first line", "\r\n9.0.0.0\r\n"}, {"missing", nullptr},
    };
    ASSERT_TRUE(server_->Put(kInstaller, kInstallerBytes));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        server_->Remove(kManifest);
        if (c.manifest != nullptr) {
            ASSERT_TRUE(server_->Put(kManifest, c.manifest));
        }
        int result = -1;
        EXPECT_EQ(Text(IDS_UPDATE_ALREADY_CURRENT), Check(&result));
        EXPECT_EQ(0, result);
        EXPECT_EQ(0, g_launches);
        EXPECT_FALSE(FileExists(InFolder(L"Vantrel.tmp")));
        EXPECT_FALSE(FileExists(TodaysInstaller()));
    }
}

TEST_F(UpdateCheck, AStaleManifestNeverStandsInForAFailedDownload) {
    HANDLE stale = CreateFileW(InFolder(L"checkupdate.ini").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(stale, "9.9.9.9\r\n", 9, &written, nullptr);
    CloseHandle(stale);
    ASSERT_TRUE(server_->Put(kInstaller, kInstallerBytes));
    EXPECT_EQ(Text(IDS_UPDATE_ALREADY_CURRENT), Check());
    EXPECT_FALSE(FileExists(InFolder(L"checkupdate.ini")));
    EXPECT_EQ(0, g_launches);
}

TEST_F(UpdateCheck, AnUnreachableServerSaysTheProgramIsCurrent) {
    SetServer(L"http://127.0.0.1:" + std::to_wstring(RefusingPort()));
    EXPECT_EQ(Text(IDS_UPDATE_ALREADY_CURRENT), Check());
    EXPECT_EQ(0, g_launches);
}

TEST_F(UpdateCheck, AnInstallerThatCannotBeFetchedOrVerifiedIsNeverRun) {
    struct Case {
        const char* what;
        std::string manifest;
        bool installerServed;
        bool serverGoneForInstaller;
    };
    const std::string wrongHash(64, 'a');
    const Case cases[] = {
        {"installer missing", "9.0.0.0\r\n", false, false},
        {"server gone before the installer", "9.0.0.0\r\n", true, true},
        {"hash differs", "9.0.0.0\r\n" + wrongHash + "\r\n", true, false},
        {"hash line malformed", "9.0.0.0\r\nsha256:" + wrongHash + "\r\n", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(server_->Put(kManifest, c.manifest));
        server_->Remove(kInstaller);
        server_->Remove(std::wstring(kInstaller) + L".redirect");
        if (c.installerServed) {
            ASSERT_TRUE(server_->Put(kInstaller, kInstallerBytes));
        }
        if (c.serverGoneForInstaller) {
            ASSERT_TRUE(server_->Put(std::wstring(kInstaller) + L".redirect",
                                     "http://127.0.0.1:" + std::to_string(RefusingPort()) +
                                         "/VantrelUpdates/Vantrel.exe"));
        }
        int result = -1;
        EXPECT_EQ(Text(IDS_UPDATE_NO_CONNECTION), Check(&result));
        EXPECT_EQ(1, result);
        EXPECT_EQ(0, g_launches);
        EXPECT_FALSE(FileExists(InFolder(L"Vantrel.tmp")));
        EXPECT_FALSE(FileExists(TodaysInstaller()));
    }
}

TEST_F(UpdateCheck, AnOlderInstallerUnderTheDatedNameIsNeverRunInstead) {
    // An installer of today that cannot be replaced (held open by another program).
    HANDLE older = CreateFileW(TodaysInstaller().c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, older);
    ASSERT_TRUE(server_->Put(kManifest, "9.0.0.0\r\n"));
    ASSERT_TRUE(server_->Put(kInstaller, kInstallerBytes));
    EXPECT_EQ(Text(IDS_UPDATE_NO_CONNECTION), Check());
    CloseHandle(older);
    EXPECT_EQ(0, g_launches);
    EXPECT_FALSE(FileExists(InFolder(L"Vantrel.tmp")));
}

TEST_F(UpdateCheck, ANewerVersionIsFetchedUnderItsDatedNameAndHandedOver) {
    struct Case {
        const char* what;
        std::string manifest;
    };
    const Case cases[] = {
        {"no hash line", "9.0.0.0\r\n"},
        {"matching hash", "2.0\n" + Sha256Hex(kInstallerBytes) + "\n"},
    };
    ASSERT_TRUE(server_->Put(kInstaller, kInstallerBytes));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CleanFolder();
        g_launches = 0;
        ASSERT_TRUE(server_->Put(kManifest, c.manifest));
        int result = -1;
        EXPECT_EQ(Text(IDS_UPDATE_DOWNLOADED), Check(&result));
        EXPECT_EQ(1, result);
        EXPECT_EQ(1, g_launches);
        EXPECT_EQ(TodaysInstaller(), InstallerPath());
        EXPECT_TRUE(ReadWholeFile(TodaysInstaller()) == kInstallerBytes);
        EXPECT_FALSE(FileExists(InFolder(L"Vantrel.tmp")));
    }
}

TEST_F(UpdateCheck, ASecondPressWhileACheckRunsIsIgnored) {
    ASSERT_TRUE(server_->Put(kManifest, "0.1\r\n"));
    // Handled inside the first check's modal loops (its progress window or message).
    PostMessageW(owner_, kCheckAgain, 0, 0);
    EXPECT_EQ(Text(IDS_UPDATE_ALREADY_CURRENT), Check());
    EXPECT_EQ(0, g_nestedResult);
}

std::string Sha256Hex(const std::string& bytes) {
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, base);
    const std::wstring path = std::wstring(base) + L"vantrel_check_hash.bin";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    const std::optional<Sha256Digest> digest = Sha256OfFile(path);
    DeleteFileW(path.c_str());
    std::string hex;
    for (std::uint8_t byte : digest.value_or(Sha256Digest{})) {
        const char digits[] = "0123456789abcdef";
        hex.push_back(digits[byte >> 4]);
        hex.push_back(digits[byte & 15]);
    }
    return hex;
}

}  // namespace
