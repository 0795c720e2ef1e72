// Path joining and folder creation on the real file system.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/format/TempFolder.h"
#include "ui/format/Paths.h"

namespace {

TEST(AppendPathComponent, JoinsWithExactlyOneBackslash) {
    const struct {
        const wchar_t* path;
        const wchar_t* component;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\A\\", L"\\B", L"C:\\A\\B"},
        {L"C:\\A", L"B", L"C:\\A\\B"},
        {L"C:\\A", L"\\B", L"C:\\A\\B"},
        {L"C:\\A\\", L"B", L"C:\\A\\B"},
        {L"", L"B", L"B"},
        {L"", L"\\B", L"\\B"},
        {L"C:\\A", L"", L"C:\\A"},
        {L"", L"", L""},
        {L"C:\\A", L"B\\C.html", L"C:\\A\\B\\C.html"},
        {L"C:\\A\\", L"\\\\B", L"C:\\A\\\\B"},  // only one leading backslash is dropped
    };
    for (const auto& c : cases) {
        std::wstring path = c.path;
        AppendPathComponent(path, c.component);
        EXPECT_EQ(c.expected, path)
            << "path " << testing::PrintToString(std::wstring(c.path)) << " component "
            << testing::PrintToString(std::wstring(c.component));
    }
}

TEST(AppendPathComponent, KeepsEveryCharacterOfLongPaths) {
    std::wstring path = L"C:\\" + std::wstring(256, L'p');
    const std::wstring component = std::wstring(300, L'c') + L".html";
    AppendPathComponent(path, component);
    EXPECT_EQ(L"C:\\" + std::wstring(256, L'p') + L"\\" + component, path);
}

TEST(CreateDirectoryPath, MakesEveryMissingFolder) {
    TempFolder root;
    const struct {
        const char* name;
        std::wstring folder;
        std::wstring expectedFolder;
    } cases[] = {
        {"existing", root.Path(), root.Path()},
        {"one level", root.Path() + L"\\one", root.Path() + L"\\one"},
        {"three levels", root.Path() + L"\\a\\b\\c", root.Path() + L"\\a\\b\\c"},
        {"trailing backslash", root.Path() + L"\\d\\e\\", root.Path() + L"\\d\\e"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(1, CreateDirectoryPath(c.folder)) << c.name;
        EXPECT_TRUE(IsDirectoryOnDisk(c.expectedFolder)) << c.name;
    }
}

TEST(CreateDirectoryPath, ReportsAFolderItCannotMake) {
    TempFolder root;
    const std::wstring file = root.Path() + L"\\plain.txt";
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    CloseHandle(handle);

    EXPECT_EQ(0, CreateDirectoryPath(file));               // a file, not a folder
    EXPECT_EQ(0, CreateDirectoryPath(file + L"\\below"));  // below a file
    EXPECT_EQ(0, CreateDirectoryPath(L""));
}

TEST(CreateDirectoryPath, AnswersForAPathOfMoreThan260Characters) {
    TempFolder root;
    std::wstring folder = root.Path();
    while (folder.size() < 270) {
        folder += L"\\" + std::wstring(40, L'n');
    }
    const int result = CreateDirectoryPath(folder);
    EXPECT_EQ(IsDirectoryOnDisk(folder) ? 1 : 0, result);
}

TEST(GetProductFolderPathUnder, CreatesTheProductFolderBelowTheBase) {
    TempFolder base;
    const struct {
        const wchar_t* name;
        std::wstring expected;
    } cases[] = {
        {L"", base.Path() + L"\\Brenlow\\Vantrel"},
        {L"Reports", base.Path() + L"\\Brenlow\\Vantrel\\Reports"},
        {L"\\Nested\\Deeper", base.Path() + L"\\Brenlow\\Vantrel\\Nested\\Deeper"},
    };
    for (const auto& c : cases) {
        std::wstring path = L"stale";
        EXPECT_TRUE(GetProductFolderPathUnder(base.Path(), c.name, path));
        EXPECT_EQ(c.expected, path);
        EXPECT_TRUE(IsDirectoryOnDisk(c.expected));
    }
}

TEST(GetProductFolderPathUnder, FailsWithAnEmptyPathWhenTheFolderCannotBeMade) {
    TempFolder base;
    const std::wstring file = base.Path() + L"\\blocker";
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    CloseHandle(handle);

    std::wstring path = L"stale";
    EXPECT_FALSE(GetProductFolderPathUnder(file, L"", path));
    EXPECT_EQ(L"", path);
}

TEST(GetAppDataPath, GivesTheProductFolderOfTheRoamingAppData) {
    std::wstring appData;
    ASSERT_TRUE(GetSpecialFolderPath(appData, CSIDL_APPDATA));
    std::wstring path;
    ASSERT_TRUE(GetAppDataPath(path, L""));
    EXPECT_EQ(appData + L"\\Brenlow\\Vantrel", path);
    EXPECT_TRUE(IsDirectoryOnDisk(path));
}

TEST(GetSpecialFolderPath, LeavesTheOutputAloneForAnUnknownFolder) {
    std::wstring path = L"unchanged";
    EXPECT_FALSE(GetSpecialFolderPath(path, 0x7E));
    EXPECT_EQ(L"unchanged", path);
}

}  // namespace
