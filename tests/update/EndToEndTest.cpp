// The update as a user meets it: an older build installed with its installer, a newer
// installer and its manifest on the loopback server (named as the update server in
// the machine-wide key), and the installed program's update button pressed. Every
// refusal leaves the installed program as it was; a newer version ends the program
// and its installer silently replaces it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/update/InstalledProgram.h"
#include "tests/update/LoopbackServer.h"
#include "tests/support/MessageBoxAnswer.h"
#include "ui/format/Paths.h"
#include "ui/format/StringPool.h"
#include "update/InstallerHash.h"
#include "update/UpdateServer.h"

using namespace vantrel::testsupport;

namespace {

constexpr wchar_t kManifest[] = L"VantrelUpdates\\checkupdate.ini";
constexpr wchar_t kInstaller[] = L"VantrelUpdates\\Vantrel.exe";
constexpr DWORD kStartLimitMs = 30000;

std::string HexOf(const Sha256Digest& digest) {
    std::string hex;
    for (std::uint8_t byte : digest) {
        const char digits[] = "0123456789abcdef";
        hex.push_back(digits[byte >> 4]);
        hex.push_back(digits[byte & 15]);
    }
    return hex;
}

void SetServer(const std::wstring& base) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUpdateServerKey, 0, nullptr, 0,
                                             KEY_SET_VALUE, nullptr, &key, nullptr));
    RegSetValueExW(key, kUpdateServerValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(base.c_str()),
                   static_cast<DWORD>((base.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void ClearServer() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUpdateServerKey, 0, KEY_SET_VALUE, &key) == 0) {
        RegDeleteValueW(key, kUpdateServerValue);
        RegCloseKey(key);
    }
}

class EndToEnd : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        logonEntry_ = new LogonEntrySetAside();
        UninstallIfPresent();
        installed_ =
            RunAndWait(L"\"" + TestInstaller(L"vantrel_setup_old.exe") + L"\" /S", 60000) == 0;
        server_ = new LoopbackServer();
        if (server_->Running()) {
            SetServer(server_->WideUrl(L""));
        }
        GetAppDataPath(dataFolder_, L"");
    }
    static void TearDownTestSuite() {
        ClearServer();
        delete server_;
        server_ = nullptr;
        UninstallIfPresent();
        WIN32_FIND_DATAW found = {};
        HANDLE search = FindFirstFileW((dataFolder_ + L"\\vantrel_Setup_*.exe").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileW((dataFolder_ + L"\\" + found.cFileName).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        DeleteFileW((dataFolder_ + L"\\checkupdate.ini").c_str());
        delete logonEntry_;
        logonEntry_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(installed_) << "the older build did not install";
        ASSERT_TRUE(server_->Running()) << "the loopback server did not start";
        ASSERT_EQ(kOldVersion, FileVersionOf(InstalledProgram()));
    }

    // Starts the installed program, presses its update button and answers the one
    // message; returns its text.
    static std::wstring PressUpdate(RunningProgram& program) {
        if (!program.Start(InstalledProgram())) {
            return L"(did not start)";
        }
        HWND window = program.WaitForMainWindow(kStartLimitMs);
        if (window == nullptr) {
            return L"(no main window)";
        }
        MessageBoxAnswer answer(window, IDOK);
        PressUpdateButton(window);
        return answer.Text();
    }

    static std::wstring Text(UINT id) { return LoadPooledString(id); }

    static LogonEntrySetAside* logonEntry_;
    static bool installed_;
    static LoopbackServer* server_;
    static std::wstring dataFolder_;
};

LogonEntrySetAside* EndToEnd::logonEntry_ = nullptr;
bool EndToEnd::installed_ = false;
LoopbackServer* EndToEnd::server_ = nullptr;
std::wstring EndToEnd::dataFolder_;

TEST_F(EndToEnd, EveryRefusalLeavesTheInstalledProgramUnchanged) {
    const std::string newInstaller = ReadWholeFile(TestInstaller(L"vantrel_setup_new.exe"));
    ASSERT_FALSE(newInstaller.empty());
    struct Case {
        const char* what;
        const char* manifest;  // nullptr: none served
        bool installerServed;
        bool serverGoneForInstaller;
        UINT message;
    };
    const Case cases[] = {
        {"equal version", VANTREL_OLD_VERSION_TEXT "\r\n", true, false, IDS_UPDATE_ALREADY_CURRENT},
        {"older version", "0.9.999.0\r\n", true, false, IDS_UPDATE_ALREADY_CURRENT},
        {"empty manifest", "", true, false, IDS_UPDATE_ALREADY_CURRENT},
        {"missing manifest", nullptr, true, false, IDS_UPDATE_ALREADY_CURRENT},
        {"server gone before the installer", "9.0.0.0\r\n", true, true, IDS_UPDATE_NO_CONNECTION},
        {"installer missing", "9.0.0.0\r\n", false, false, IDS_UPDATE_NO_CONNECTION},
        {"hash mismatch",
         "9.0.0.0\r\n0000000000000000000000000000000000000000000000000000000000000000\r\n", true,
         false, IDS_UPDATE_NO_CONNECTION},
    };
    // One start of the installed program answers every case: a refused update leaves
    // it running with its update button in place.
    RunningProgram program;
    ASSERT_TRUE(program.Start(InstalledProgram()));
    const HWND window = program.WaitForMainWindow(kStartLimitMs);
    ASSERT_NE(nullptr, window);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        server_->Remove(kManifest);
        server_->Remove(kInstaller);
        server_->Remove(std::wstring(kInstaller) + L".redirect");
        if (c.manifest != nullptr) {
            ASSERT_TRUE(server_->Put(kManifest, c.manifest));
        }
        if (c.installerServed) {
            ASSERT_TRUE(server_->Put(kInstaller, newInstaller));
        }
        if (c.serverGoneForInstaller) {
            ASSERT_TRUE(server_->Put(std::wstring(kInstaller) + L".redirect",
                                     "http://127.0.0.1:" + std::to_string(RefusingPort()) +
                                         "/VantrelUpdates/Vantrel.exe"));
        }
        {
            MessageBoxAnswer answer(window, IDOK);
            PressUpdateButton(window);
            EXPECT_EQ(Text(c.message), answer.Text());
        }
        // The program stays; nothing was started in its place.
        EXPECT_FALSE(program.WaitForExit(0));
        EXPECT_EQ(kOldVersion, FileVersionOf(InstalledProgram()));
    }
    program.Terminate();
}

TEST_F(EndToEnd, ANewerVersionReplacesTheInstalledProgram) {
    const std::string newInstaller = ReadWholeFile(TestInstaller(L"vantrel_setup_new.exe"));
    const std::optional<Sha256Digest> digest =
        Sha256OfFile(TestInstaller(L"vantrel_setup_new.exe"));
    ASSERT_TRUE(digest);
    server_->Remove(std::wstring(kInstaller) + L".redirect");
    ASSERT_TRUE(server_->Put(kInstaller, newInstaller));
    ASSERT_TRUE(
        server_->Put(kManifest, VANTREL_NEXT_VERSION_TEXT "\r\n" + HexOf(*digest) + "\r\n"));

    RunningProgram program;
    EXPECT_EQ(Text(IDS_UPDATE_DOWNLOADED), PressUpdate(program));
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(program.WaitForExit(15000, &code));
    EXPECT_EQ(0u, code);
    // The silent installer publishes its work in the program file and its
    // Add/Remove entry.
    EXPECT_TRUE(WaitFor([] { return FileVersionOf(InstalledProgram()) == kNextVersion; }, 60000));
    EXPECT_TRUE(WaitFor(
        [] {
            return RegistryText(HKEY_LOCAL_MACHINE,
                                L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantrel",
                                L"DisplayVersion") == kNextVersion;
        },
        30000));
}

}  // namespace
