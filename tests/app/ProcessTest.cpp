// vantrel.exe as a user starts it: first start, second start, reminder mode, and the
// logon entry in the real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"Vantrel";

std::wstring ProgramPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    path.resize(path.find_last_of(L'\\'));  // tests\app
    path.resize(path.find_last_of(L'\\'));  // tests
    path.resize(path.find_last_of(L'\\'));  // build tree
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW((path + L"\\app\\vantrel.exe").c_str(), MAX_PATH, full, nullptr);
    return full;
}

struct Process {
    PROCESS_INFORMATION info = {};
    ~Process() {
        if (info.hProcess != nullptr) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(info.hProcess, 99);
            }
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    bool Start(const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + ProgramPath() + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &info) != FALSE;
    }
    // The exit code, or STILL_ACTIVE when it did not end within `ms`.
    DWORD WaitExit(DWORD ms) {
        WaitForSingleObject(info.hProcess, ms);
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
};

struct Found {
    DWORD processId;
    int width;
    int height;
    HWND window;
};

// A visible top-level dialog titled "Vantrel" of `processId` with the given size.
HWND FindVisibleWindow(DWORD processId, int width, int height) {
    Found found = {processId, width, height, nullptr};
    EnumWindows(
        +[](HWND window, LPARAM data) WINAPI -> BOOL {
            auto* f = reinterpret_cast<Found*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t title[32] = {}, cls[32] = {};
            GetWindowTextW(window, title, 32);
            GetClassNameW(window, cls, 32);
            RECT r = {};
            GetWindowRect(window, &r);
            if (owner == f->processId && IsWindowVisible(window) &&
                wcscmp(title, L"Vantrel") == 0 && wcscmp(cls, L"#32770") == 0 &&
                r.right - r.left == f->width && r.bottom - r.top == f->height) {
                f->window = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

HWND WaitForWindow(DWORD processId, int width, int height, DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        if (HWND window = FindVisibleWindow(processId, width, height)) {
            return window;
        }
        Sleep(50);
    }
    return nullptr;
}

std::wstring ReadRunValue() {
    wchar_t text[1024] = {};
    DWORD size = sizeof(text);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS) {
        return L"<missing>";
    }
    return text;
}

void WriteRunValue(const std::wstring& text) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0,
                                             KEY_SET_VALUE, nullptr, &key, nullptr));
    RegSetValueExW(key, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void DeleteRunValue() {
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
}

// Keeps the machine's own logon entry as it was.
class ProcessTest : public testing::Test {
  protected:
    void SetUp() override { saved_ = ReadRunValue(); }
    void TearDown() override {
        if (saved_ == L"<missing>") {
            DeleteRunValue();
        } else {
            WriteRunValue(saved_);
        }
    }
    std::wstring saved_;
};

TEST_F(ProcessTest, FirstStartShowsSplashThenMainWindowAndASecondStartHandsOver) {
    DeleteRunValue();
    Process first;
    ASSERT_TRUE(first.Start(L""));
    EXPECT_NE(nullptr, WaitForWindow(first.info.dwProcessId, 424, 231, 10000)) << "splash";
    HWND main = WaitForWindow(first.info.dwProcessId, 855, 599, 15000);
    ASSERT_NE(nullptr, main) << "main window";
    EXPECT_EQ(nullptr, FindVisibleWindow(first.info.dwProcessId, 424, 231)) << "splash gone";

    // The first start registered the logon entry in reminder mode.
    EXPECT_EQ(L"\"" + ProgramPath() + L"\" -pop", ReadRunValue());

    // A minimised first instance comes back when the program is started again.
    ShowWindow(main, SW_MINIMIZE);
    Process second;
    ASSERT_TRUE(second.Start(L""));
    EXPECT_EQ(0u, second.WaitExit(10000));
    for (int i = 0; i < 100 && IsIconic(main); ++i) {
        Sleep(50);
    }
    EXPECT_FALSE(IsIconic(main));
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(STILL_ACTIVE, first.WaitExit(0));

    // Escape reaches no dialog-key processing: the window stays.
    PostMessageW(GetFocus() ? GetFocus() : main, WM_KEYDOWN, VK_ESCAPE, 0);
    Sleep(300);
    EXPECT_EQ(STILL_ACTIVE, first.WaitExit(0));

    // The system close ends the program (no job runs: nothing to confirm).
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(0u, first.WaitExit(15000));
}

TEST_F(ProcessTest, ReminderModeWithNothingToRemindEndsWithoutAWindowAndKeepsAnOtherRunValue) {
    const std::wstring other = L"C:\\Elsewhere\\vantrel.exe -pop";
    WriteRunValue(other);
    Process reminder;
    ASSERT_TRUE(reminder.Start(L"-POP"));
    // Reminder mode shows no splash (and, with nothing to remind of, no window at all).
    bool sawWindow = false;
    for (int i = 0; i < 500 && reminder.WaitExit(0) == STILL_ACTIVE; ++i) {
        sawWindow = sawWindow || FindVisibleWindow(reminder.info.dwProcessId, 424, 231) ||
                    FindVisibleWindow(reminder.info.dwProcessId, 855, 599);
        Sleep(20);
    }
    EXPECT_EQ(0u, reminder.WaitExit(10000));
    EXPECT_FALSE(sawWindow);
    EXPECT_EQ(other, ReadRunValue());
}

}  // namespace
