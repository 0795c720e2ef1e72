// The report writer's way from the link to the browser: the file put in place whole,
// the pictures beside it, the browser it starts, the one report at a time, and what
// the user sees when the report cannot be written.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "reports/ReportFile.h"
#include "reports/ReportImages.h"
#include "reports/ReportOpener.h"
#include "reports/ReportWriter.h"
#include "res/resource.h"
#include "tests/support/FakeJobService.h"
#include "tests/reports/RecordingLauncher.h"
#include "tests/reports/ReportBytes.h"
#include "tests/support/MessageBoxAnswer.h"
#include "tests/ui/format/TempFolder.h"
#include "ui/format/Paths.h"
#include "ui/format/ResourceString.h"

using reports_test::Exists;
using reports_test::ReadBytes;
using vantrel::testsupport::MessageBoxAnswer;

namespace {

// A top-level window to own the message boxes, as the main window does.
class OwnerWindow {
  public:
    OwnerWindow()
        : handle_(CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr)) {}
    ~OwnerWindow() { DestroyWindow(handle_); }
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND Handle() const { return handle_; }

  private:
    HWND handle_;
};

ReportFolderFinder FolderAt(const std::wstring& folder) {
    return [folder](std::wstring& out) {
        out = folder;
        return true;
    };
}

bool WriteText(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return written == bytes.size();
}

class ReportWriterTest : public testing::Test {
  protected:
    ReportWriterTest() { source_.FillTypicalJob(); }

    std::wstring PathOf(ReportKind kind) const {
        return folder_.Path() + L"\\" + std::wstring(ReportFileName(kind));
    }

    TempFolder folder_;
    RecordingLauncher launcher_;
    vantrel::testsupport::FakeJobService source_;
    OwnerWindow owner_;
    PageFigures page_{L"1.00%", L"2.00%", 10};
};

TEST_F(ReportWriterTest, AWrittenReportOpensInTheBrowserWithItsPicturesBesideIt) {
    EXPECT_EQ(ReportOutcome::Opened, WriteReportFrom(owner_.Handle(), ReportKind::Scan, page_,
                                                     source_, FolderAt(folder_.Path())));

    ASSERT_TRUE(Exists(PathOf(ReportKind::Scan)));
    EXPECT_FALSE(Exists(TemporaryPathFor(PathOf(ReportKind::Scan))));
    for (const ReportImage& image : PageImages()) {
        EXPECT_TRUE(Exists(folder_.Path() + L"\\" + image.fileName)) << image.fileName;
    }
    // One browser start, on this report.
    ASSERT_EQ(1u, launcher_.Launches().size());
    const ShellLaunch& launch = launcher_.Launches()[0];
    const bool throughInternetExplorer = !launch.parameters.empty();
    if (throughInternetExplorer) {
        EXPECT_EQ(L"\"" + PathOf(ReportKind::Scan) + L"\"", launch.parameters);
    } else {
        EXPECT_EQ(PathOf(ReportKind::Scan), launch.file);
    }
}

TEST_F(ReportWriterTest, InternetExplorerComesFirstOnlyWhereItExists) {
    const std::wstring report = L"C:\\Users\\Ann Lee\\AppData\\Roaming\\r.html";
    EXPECT_EQ(
        (std::vector<ShellLaunch>{
            {L"C:\\PF\\Internet Explorer\\iexplore.exe", L"\"" + report + L"\""}, {report, L""}}),
        ReportLaunches(report, InternetExplorerPath(L"C:\\PF\\")));
    EXPECT_EQ((std::vector<ShellLaunch>{{report, L""}}), ReportLaunches(report, L""));
    EXPECT_EQ(L"", InternetExplorerPath(L""));

    // Against this system's Program Files folder: the browser is tried when its file
    // is there, and the report itself is opened when it does not start.
    std::wstring programFiles;
    ASSERT_TRUE(GetSpecialFolderPath(programFiles, CSIDL_PROGRAM_FILES));
    const std::wstring browser = InternetExplorerPath(programFiles);
    launcher_.SetStarts(false);
    EXPECT_FALSE(OpenReport(owner_.Handle(), report));
    EXPECT_EQ(ReportLaunches(report, Exists(browser) ? browser : L""), launcher_.Launches());
}

TEST_F(ReportWriterTest, AFolderThatCannotBeMadeIsToldAndNothingIsOpened) {
    // A file where the product folder should be: the folder cannot be created.
    ASSERT_TRUE(WriteText(folder_.Path() + L"\\Brenlow", "in the way"));
    const std::wstring base = folder_.Path();
    const ReportFolderFinder finder = [base](std::wstring& out) {
        if (GetProductFolderPathUnder(base, L"", out)) {
            return true;
        }
        out = base + L"\\Brenlow\\Vantrel";
        return false;
    };

    MessageBoxAnswer answer(owner_.Handle(), IDOK);
    EXPECT_EQ(ReportOutcome::NotWritten,
              WriteReportFrom(owner_.Handle(), ReportKind::Scan, page_, source_, finder));

    ASSERT_TRUE(answer.Answered());
    std::wstring expected = LoadResourceString(IDS_REPORT_NOT_WRITTEN);
    expected.replace(expected.find(L"%s"), 2, base + L"\\Brenlow\\Vantrel");
    EXPECT_EQ(expected, answer.Text());
    EXPECT_TRUE(launcher_.Launches().empty());
    EXPECT_FALSE(Exists(base + L"\\Brenlow\\Vantrel"));
}

TEST_F(ReportWriterTest, AReportThatCannotBePutInPlaceIsToldAndLeavesNoPartBehind) {
    // A folder under the report's name: the file cannot take its place.
    const std::wstring report = PathOf(ReportKind::Optimization);
    ASSERT_TRUE(CreateDirectoryW(report.c_str(), nullptr));

    MessageBoxAnswer answer(owner_.Handle(), IDOK);
    EXPECT_EQ(ReportOutcome::NotWritten, WriteReportFrom(owner_.Handle(), ReportKind::Optimization,
                                                         page_, source_, FolderAt(folder_.Path())));

    ASSERT_TRUE(answer.Answered());
    EXPECT_NE(std::wstring::npos, answer.Text().find(report));
    EXPECT_TRUE(launcher_.Launches().empty());
    EXPECT_FALSE(Exists(TemporaryPathFor(report)));
}

TEST_F(ReportWriterTest, ASecondRequestWhileOneIsRunningIsIgnored) {
    static vantrel::testsupport::FakeJobService* source = nullptr;
    static std::wstring* folder = nullptr;
    static ReportOutcome inner = ReportOutcome::Opened;
    source = &source_;
    std::wstring path = folder_.Path();
    folder = &path;
    // The second request comes while the first one hands its report to the shell.
    launcher_.SetDuringLaunch([] {
        inner = WriteReportFrom(nullptr, ReportKind::Optimization, PageFigures{}, *source,
                                FolderAt(*folder));
    });

    EXPECT_EQ(ReportOutcome::Opened, WriteReportFrom(owner_.Handle(), ReportKind::Scan, page_,
                                                     source_, FolderAt(folder_.Path())));

    EXPECT_EQ(ReportOutcome::Busy, inner);
    EXPECT_EQ(1u, launcher_.Launches().size());
    EXPECT_FALSE(Exists(PathOf(ReportKind::Optimization)));
    // And once it is over, the next request is served.
    EXPECT_EQ(ReportOutcome::Opened, WriteReportFrom(owner_.Handle(), ReportKind::Optimization,
                                                     page_, source_, FolderAt(folder_.Path())));
}

TEST_F(ReportWriterTest, AReportWithoutABrowserToShowItIsStillWritten) {
    launcher_.SetStarts(false);
    EXPECT_EQ(ReportOutcome::NotOpened, WriteReportFrom(owner_.Handle(), ReportKind::Scan, page_,
                                                        source_, FolderAt(folder_.Path())));
    EXPECT_TRUE(Exists(PathOf(ReportKind::Scan)));
}

TEST(ReportFileTest, AFileIsReplacedOnlyWhenItsEveryByteWasWritten) {
    TempFolder folder;
    const std::wstring path = folder.Path() + L"\\report.html";
    ASSERT_TRUE(WriteText(path, "previous"));

    // The writer produced fewer bytes than the text holds (a full disk).
    EXPECT_FALSE(ReplaceFileThroughTemporary(path, 10, [](HANDLE file) {
        DWORD written = 0;
        WriteFile(file, "half", 4, &written, nullptr);
    }));
    EXPECT_EQ("previous", ReadBytes(path));
    EXPECT_FALSE(Exists(TemporaryPathFor(path)));

    const std::wstring text = L"caf\u00e9 \U0001F600";
    EXPECT_EQ(10u, Utf8Length(text));
    EXPECT_TRUE(WriteReportFile(path, text));
    EXPECT_EQ("caf\xC3\xA9 \xF0\x9F\x98\x80", ReadBytes(path));
    EXPECT_FALSE(Exists(TemporaryPathFor(path)));

    // A leftover temporary file from an earlier run is replaced, not appended to.
    ASSERT_TRUE(WriteText(TemporaryPathFor(path), "leftover leftover leftover"));
    EXPECT_TRUE(WriteReportFile(path, L"new"));
    EXPECT_EQ("new", ReadBytes(path));
}

TEST(ReportImagesTest, MissingOrDifferentPicturesAreWrittenAndEqualOnesLeftAlone) {
    TempFolder folder;
    const auto images = PageImages();
    ASSERT_EQ(8u, images.size());
    const std::wstring first = folder.Path() + L"\\" + images[0].fileName;
    const std::wstring second = folder.Path() + L"\\" + images[1].fileName;
    ASSERT_TRUE(WriteText(second, "not a picture"));

    ASSERT_TRUE(PlaceReportImages(folder.Path(), GetResourceModule()));
    const std::string placed = ReadBytes(first);
    EXPECT_EQ("\xFF\xD8", placed.substr(0, 2));
    EXPECT_EQ("\xFF\xD8", ReadBytes(second).substr(0, 2));

    // An image already in place keeps its file (and its time).
    HANDLE file = CreateFileW(first.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    FILETIME old = {0x12345678, 0x01C00000};
    SetFileTime(file, nullptr, nullptr, &old);
    CloseHandle(file);
    ASSERT_TRUE(PlaceReportImages(folder.Path(), GetResourceModule()));
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(GetFileAttributesExW(first.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(old.dwLowDateTime, data.ftLastWriteTime.dwLowDateTime);
    EXPECT_EQ(old.dwHighDateTime, data.ftLastWriteTime.dwHighDateTime);
    EXPECT_EQ(placed, ReadBytes(first));
}

}  // namespace
