// update.dll against a real HTTP server on 127.0.0.1: what arrives is the served file
// byte for byte, and every failure answers zero and leaves the local folder as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>

#include "tests/update/LoopbackServer.h"
#include "updatedll/UpdateApi.h"

using namespace vantrel::testsupport;

namespace {

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

class UpdateDll : public testing::Test {
  protected:
    static void SetUpTestSuite() { server_ = new LoopbackServer(); }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(server_->Running()) << "the loopback server did not start";
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, base);
        folder_ = std::wstring(base) + L"vantrel_upd_" + std::to_wstring(GetCurrentProcessId()) +
                  L"_" + std::to_wstring(counter_++);
        CreateDirectoryW(folder_.c_str(), nullptr);
        UpdClearFiles();
        UpdSetOption("hidden", "1");
    }
    void TearDown() override { RemoveTree(folder_); }

    std::wstring Local(const wchar_t* name) const { return folder_ + L"\\" + name; }
    int Add(const std::string& path, const std::wstring& local) {
        return UpdAddFile(server_->Url(path).c_str(), Narrow(local).c_str());
    }

    static LoopbackServer* server_;
    static int counter_;
    std::wstring folder_;
};

LoopbackServer* UpdateDll::server_ = nullptr;
int UpdateDll::counter_ = 0;

TEST_F(UpdateDll, FetchesFilesByteForByteAndLeavesNoTemporaryFile) {
    const std::string big = RandomBytes(3 * 1024 * 1024 + 17, 1);
    const std::string small = "1.2.31.0\r\n";
    ASSERT_TRUE(server_->Put(L"VantrelUpdates\\Vantrel.exe", big));
    ASSERT_TRUE(server_->Put(L"VantrelUpdates\\checkupdate.ini", small));
    ASSERT_EQ(1, Add("/VantrelUpdates/Vantrel.exe", Local(L"Vantrel.tmp")));
    ASSERT_EQ(1, Add("/VantrelUpdates/checkupdate.ini", Local(L"checkupdate.ini")));

    EXPECT_EQ(1, UpdDownloadFiles(nullptr));
    EXPECT_TRUE(ReadWholeFile(Local(L"Vantrel.tmp")) == big);
    EXPECT_EQ(small, ReadWholeFile(Local(L"checkupdate.ini")));
    EXPECT_EQ(L"checkupdate.ini Vantrel.tmp", ListFiles(folder_));
}

TEST_F(UpdateDll, ReplacesAnExistingFileAndFetchesAnEmptyOne) {
    ASSERT_TRUE(server_->Put(L"empty.bin", ""));
    const std::wstring local = Local(L"empty.bin");
    {
        HANDLE old =
            CreateFileW(local.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(old, "old", 3, &written, nullptr);
        CloseHandle(old);
    }
    ASSERT_EQ(1, Add("/empty.bin", local));
    EXPECT_EQ(1, UpdDownloadFiles(nullptr));
    EXPECT_TRUE(FileExists(local));
    EXPECT_EQ("", ReadWholeFile(local));
}

TEST_F(UpdateDll, FollowsARedirect) {
    const std::string bytes = RandomBytes(100000, 2);
    ASSERT_TRUE(server_->Put(L"target.bin", bytes));
    ASSERT_EQ(1, Add("/__redirect/target.bin", Local(L"target.bin")));
    EXPECT_EQ(1, UpdDownloadFiles(nullptr));
    EXPECT_TRUE(ReadWholeFile(Local(L"target.bin")) == bytes);
}

TEST_F(UpdateDll, FailuresAnswerZeroAndLeaveNoFile) {
    ASSERT_TRUE(server_->Put(L"half.bin", RandomBytes(400000, 3)));
    const unsigned short refusing = RefusingPort();
    ASSERT_NE(0, refusing);
    struct Case {
        const char* what;
        std::string address;
    };
    const Case cases[] = {
        {"404", server_->Url("/no/such/file.exe")},
        {"dropped connection", server_->Url("/__drop/half.bin")},
        {"refused port", "http://127.0.0.1:" + std::to_string(refusing) + "/x.exe"},
        {"redirect to a missing file", server_->Url("/__redirect/missing.bin")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UpdClearFiles();
        ASSERT_EQ(1, UpdAddFile(c.address.c_str(), Narrow(Local(L"out.bin")).c_str()));
        EXPECT_EQ(0, UpdDownloadFiles(nullptr));
        EXPECT_EQ(L"", ListFiles(folder_));
    }
}

TEST_F(UpdateDll, AFailureKeepsAnOldFileAndNoFileOfTheListArrives) {
    ASSERT_TRUE(server_->Put(L"good.bin", "good"));
    const std::wstring existing = Local(L"existing.bin");
    {
        HANDLE old =
            CreateFileW(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(old, "previous", 8, &written, nullptr);
        CloseHandle(old);
    }
    ASSERT_EQ(1, Add("/good.bin", Local(L"good.bin")));
    ASSERT_EQ(1, Add("/missing.bin", existing));
    EXPECT_EQ(0, UpdDownloadFiles(nullptr));
    EXPECT_EQ("previous", ReadWholeFile(existing));
    EXPECT_EQ(L"existing.bin", ListFiles(folder_));
}

TEST_F(UpdateDll, AnEmptyListOrAMissingFolderFails) {
    EXPECT_EQ(0, UpdDownloadFiles(nullptr));
    ASSERT_TRUE(server_->Put(L"good.bin", "good"));
    ASSERT_EQ(1, Add("/good.bin", folder_ + L"\\no\\such\\folder\\good.bin"));
    EXPECT_EQ(0, UpdDownloadFiles(nullptr));
}

TEST_F(UpdateDll, RefusesAddressesPathsAndOptionsItCannotUse) {
    const std::string local = Narrow(Local(L"x.bin"));
    EXPECT_EQ(0, UpdAddFile(nullptr, local.c_str()));
    EXPECT_EQ(0, UpdAddFile("http://127.0.0.1/x", nullptr));
    EXPECT_EQ(0, UpdAddFile("ftp://127.0.0.1/x", local.c_str()));
    EXPECT_EQ(0, UpdAddFile("file:///C:/windows/win.ini", local.c_str()));
    EXPECT_EQ(0, UpdAddFile("http://127.0.0.1/x", "relative\\x.bin"));
    EXPECT_EQ(0, UpdAddFile("http://127.0.0.1/x", "C:\\folder\\"));
    EXPECT_EQ(0, UpdAddFile(std::string(5000, 'a').c_str(), local.c_str()));
    EXPECT_EQ(0, UpdSetOption("hidden", "2"));
    EXPECT_EQ(0, UpdSetOption("colour", "0"));
    EXPECT_EQ(0, UpdSetOption(nullptr, "0"));
    EXPECT_EQ(1, UpdSetOption("hidden", "0"));
    EXPECT_EQ(1, UpdSetOption("hidden", "1"));
    // Nothing refused made it into the list.
    EXPECT_EQ(0, UpdDownloadFiles(nullptr));
    EXPECT_EQ(L"", ListFiles(folder_));
}

// The progress window while "hidden" is "0": owned by the given window, which is
// disabled meanwhile; Cancel makes the call fail and leaves nothing.
class OwnerWindow {
  public:
    OwnerWindow() {
        window_ = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  200, 100, nullptr, nullptr, nullptr, nullptr);
    }
    ~OwnerWindow() { DestroyWindow(window_); }
    HWND Handle() const { return window_; }

  private:
    HWND window_;
};

HWND FindOwnedDialog(HWND owner) {
    HWND box = nullptr;
    while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
        if (GetWindow(box, GW_OWNER) == owner && IsWindowVisible(box)) {
            return box;
        }
    }
    return nullptr;
}

TEST_F(UpdateDll, ProgressWindowIsOwnedAndCancelMakesTheCallFail) {
    ASSERT_TRUE(server_->Put(L"slow.bin", RandomBytes(400000, 4)));
    OwnerWindow owner;
    ASSERT_NE(nullptr, owner.Handle());
    ASSERT_EQ(1, UpdSetOption("hidden", "0"));
    ASSERT_EQ(1, Add("/__slow/slow.bin", Local(L"slow.bin")));

    std::atomic<bool> sawWindow{false}, ownerDisabled{false};
    std::thread canceller([&] {
        for (int i = 0; i < 400; ++i) {
            if (HWND progress = FindOwnedDialog(owner.Handle())) {
                sawWindow = true;
                ownerDisabled = !IsWindowEnabled(owner.Handle());
                PostMessageW(progress, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            Sleep(25);
        }
    });
    const int result = UpdDownloadFiles(owner.Handle());
    canceller.join();
    EXPECT_TRUE(sawWindow);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_EQ(0, result);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_EQ(nullptr, FindOwnedDialog(owner.Handle()));
    EXPECT_EQ(L"", ListFiles(folder_));
}

TEST_F(UpdateDll, VisibleTransferSucceedsAndGivesTheOwnerBack) {
    const std::string bytes = RandomBytes(200000, 5);
    ASSERT_TRUE(server_->Put(L"shown.bin", bytes));
    OwnerWindow owner;
    ASSERT_EQ(1, UpdSetOption("hidden", "0"));
    ASSERT_EQ(1, Add("/shown.bin", Local(L"shown.bin")));
    EXPECT_EQ(1, UpdDownloadFiles(owner.Handle()));
    EXPECT_TRUE(ReadWholeFile(Local(L"shown.bin")) == bytes);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_EQ(nullptr, FindOwnedDialog(owner.Handle()));
}

}  // namespace
