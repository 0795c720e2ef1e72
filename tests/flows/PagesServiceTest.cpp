// The drive selection and results pages inside the real main window over a scripted
// service: the selection page lists this machine's fixed drives and reads their stored
// history, a scan ends on the scan results page with the figures of the service's
// records, an optimization runs both passes to "Optimization complete", and the
// history is read back from the registry. The expected figures are computed here from
// the service's records, not by the pages' code.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <ctime>
#include <cwchar>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/DefragApp.h"
#include "app/MainWindow.h"
#include "flows/HDDScanContainer.h"
#include "framework/MessageLoop.h"
#include "res/resource.h"
#include "service/JobRecords.h"
#include "state/RegistryKey.h"
#include "tests/framework/TestSupport.h"
#include "tests/service/StandInService.h"
#include "tests/state/TestRegistry.h"
#include "tests/support/Accessibility.h"
#include "tests/support/MessageBoxAnswer.h"
#include "tests/support/StandInWindowTest.h"
#include "ui/format/Format.h"
#include "ui/widgets/SharedBrushes.h"
#include "ui/widgets/SharedFonts.h"

namespace svc = vantrel::service;
using vantrel::testsupport::FakeJobService;
using vantrel::testsupport::FakeServiceWindowTest;
using vantrel::testsupport::MessageBoxAnswer;
using vantrel::testsupport::UnnamedVisibleControls;

namespace {

constexpr DWORD kRoadTimeoutMs = 60000;

const COLORREF kBad = RGB(169, 1, 1);
const COLORREF kGood = RGB(0, 130, 44);

bool Pump(const std::function<bool()>& done, DWORD timeoutMs = kRoadTimeoutMs) {
    return fw::test::PumpUntil(done, timeoutMs);
}

// ---- This machine's drives, asked directly ----------------------------------------

struct MachineDrive {
    wchar_t letter;
    std::wstring label;
    std::wstring fileSystem;
};

std::vector<MachineDrive> FixedReadableDrives() {
    std::vector<MachineDrive> drives;
    const DWORD mask = GetLogicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + bit), L':', L'\\', 0};
        wchar_t label[256] = {}, fileSystem[256] = {};
        if ((mask & (1u << bit)) != 0 && GetDriveTypeW(root) == DRIVE_FIXED &&
            GetVolumeInformationW(root, label, 256, nullptr, nullptr, nullptr, fileSystem, 256)) {
            drives.push_back({root[0], label, fileSystem});
        }
    }
    return drives;
}

wchar_t SystemDriveLetter() {
    wchar_t path[MAX_PATH] = {};
    GetSystemDirectoryW(path, MAX_PATH);
    return path[1] == L':' ? path[0] : 0;
}

// ---- The service's records ---------------------------------------------------------------

struct ServiceFigures {
    std::uint64_t fragmentedBefore = 0;  // clusters of files with 2+ fragments before
    std::uint64_t fragmentedAfter = 0;
};

ServiceFigures FiguresOf(const FakeJobService& service) {
    ServiceFigures figures;
    for (const svc::FileEntry& file : service.files) {
        if (file.FragmentsBefore >= 2) {
            figures.fragmentedBefore += file.LocalClusters;
        }
        if (file.FragmentsAfter >= 2) {
            figures.fragmentedAfter += file.LocalClusters;
        }
    }
    return figures;
}

std::wstring TwoDecimals(double value, const wchar_t* format = L"%.2f%%") {
    wchar_t text[64] = {};
    swprintf(text, 64, format, value);
    return text;
}

double Percent(std::uint64_t part, std::uint64_t whole) {
    return 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

std::wstring Grouped(std::uint64_t value) {
    wchar_t text[kGroupedNumberCapacity] = {};
    return FormatGroupedNumber(static_cast<std::int64_t>(value), text);
}

// ---- Times and stored values -------------------------------------------------------------

SYSTEMTIME LocalTimeDaysAgo(int days) {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    FILETIME file = {};
    SystemTimeToFileTime(&now, &file);
    ULARGE_INTEGER ticks = {};
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    ticks.QuadPart -= static_cast<std::uint64_t>(days) * 24 * 3600 * 10000000ull;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME then = {};
    FileTimeToSystemTime(&file, &then);
    return then;
}

std::wstring ShownDate(const SYSTEMTIME& time) {
    std::tm tm = {};
    tm.tm_year = time.wYear - 1900;
    tm.tm_mon = time.wMonth - 1;
    tm.tm_mday = time.wDay;
    tm.tm_hour = time.wHour;
    tm.tm_min = time.wMinute;
    tm.tm_wday = time.wDayOfWeek;
    wchar_t text[64] = {};
    wcsftime(text, 64, L"%a. %b %d, %Y. %I:%M %p", &tm);
    return text;
}

std::wstring StoredText(const std::wstring& key, const wchar_t* name) {
    const std::optional<StoredValue> value = ReadStored(key, name);
    if (!value || value->type != REG_SZ || value->bytes.size() < sizeof(wchar_t)) {
        return L"<missing>";
    }
    return std::wstring(reinterpret_cast<const wchar_t*>(value->bytes.data()),
                        value->bytes.size() / sizeof(wchar_t) - 1);
}

std::int64_t StoredDword(const std::wstring& key, const wchar_t* name) {
    const std::optional<StoredValue> value = ReadStored(key, name);
    if (!value || value->type != REG_DWORD || value->bytes.size() != 4) {
        return -1;
    }
    return *reinterpret_cast<const std::int32_t*>(value->bytes.data());
}

std::uint64_t Ticks(const SYSTEMTIME& time) {
    FILETIME file = {};
    if (!SystemTimeToFileTime(&time, &file)) {
        return 0;
    }
    return (static_cast<std::uint64_t>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
}

// A stored SYSTEMTIME within the last ten minutes.
bool StoredTimeIsRecent(const std::wstring& key, const wchar_t* name) {
    const std::optional<StoredValue> value = ReadStored(key, name);
    if (!value || value->bytes.size() != sizeof(SYSTEMTIME)) {
        return false;
    }
    SYSTEMTIME stored = {};
    memcpy(&stored, value->bytes.data(), sizeof stored);
    const std::uint64_t now = Ticks(LocalTimeDaysAgo(0));
    const std::uint64_t then = Ticks(stored);
    constexpr std::uint64_t kTenMinutes = 10ull * 60 * 10000000;
    return then != 0 && then <= now + 10000000 && now - then < kTenMinutes;
}

// Presses `button` in the first complete box owned by `owner` that appears while the
// object lives: a box at the end of a long job comes later than MessageBoxAnswer waits.
class BoxAnswerAtAnyTime {
  public:
    BoxAnswerAtAnyTime(HWND owner, int button)
        : thread_([this, owner, button] {
              while (!stop_) {
                  HWND box = nullptr;
                  while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
                      // Only an owned box's texts are read: reading another window's
                      // sends its thread a message, and the test's own windows wait
                      // for this thread when it ends.
                      if (GetWindow(box, GW_OWNER) != owner || !IsWindowVisible(box)) {
                          continue;
                      }
                      const std::wstring text = vantrel::testsupport::LongestStaticText(box);
                      if (!text.empty()) {
                          text_ = text;
                          PostMessageW(box, WM_COMMAND, button, 0);
                          answered_ = true;
                          return;
                      }
                  }
                  Sleep(25);
              }
          }) {}
    ~BoxAnswerAtAnyTime() {
        stop_ = true;
        thread_.join();
    }
    BoxAnswerAtAnyTime(const BoxAnswerAtAnyTime&) = delete;
    BoxAnswerAtAnyTime& operator=(const BoxAnswerAtAnyTime&) = delete;

    bool Answered() const { return answered_; }
    // The box's text, once it was answered.
    std::wstring Text() const { return answered_ ? text_ : std::wstring(); }

  private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> answered_{false};
    std::wstring text_;
    std::thread thread_;
};

// ---- The fixture -------------------------------------------------------------------------

class PagesTest : public FakeServiceWindowTest {
  protected:
    static void SetUpTestSuite() { StartSuite(nullptr); }
    static void TearDownTestSuite() { EndSuite(nullptr); }

    void SetUp() override {
        ASSERT_TRUE(app_ != nullptr);
        app_->Settings.KeyPath = registry_.Path();
        app_->Drives = DriveItems{};
        OpenWindow();
    }

    void TearDown() override { CloseWindow(); }

    CSelectDiskDlg& Select() { return Pages().SelectionPage(); }
    CDlgScanResults& ScanResults() { return Pages().ScanResultsPage(); }
    CDlgDefragResults& DefragResults() { return Pages().DefragResultsPage(); }
    std::wstring DriveKey(wchar_t letter) const { return registry_.Drive(letter); }

    std::wstring SelectedEntryText() {
        const HWND list = Select().Item(IDC_SELECT_DRIVES);
        const auto index = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
        wchar_t text[300] = {};
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text));
        return text;
    }

    // Plants a stored history for drive C: and has the selection page read it again.
    void PlantHistory(std::int32_t status, const std::wstring& percent,
                      const std::wstring& fragmented, const SYSTEMTIME* scanned) {
        const std::wstring key = DriveKey(L'C');
        PlantDword(key, L"Status", static_cast<std::uint32_t>(status));
        PlantString(key, L"Opt_PerCentag", percent);
        PlantString(key, L"FragmentedFiles", fragmented);
        PlantDword(key, L"IsvalidScanTime", scanned != nullptr ? 1 : 0);
        if (scanned != nullptr) {
            PlantValue(key, L"LastScanSysTime", REG_BINARY, scanned, sizeof *scanned);
        }
        Select().EnumerateDrives();
    }

    POINT ScreenPointOf(const fw::Window& page, const RECT& area) {
        POINT point = {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
        ClientToScreen(page.Handle(), &point);
        return point;
    }

    // A left-button release in the middle of `area`, handled before this returns.
    void ClickIn(const fw::Window& page, const RECT& area) {
        const LPARAM at = MAKELPARAM((area.left + area.right) / 2, (area.top + area.bottom) / 2);
        SendMessageW(page.Handle(), WM_LBUTTONUP, 0, at);
    }

    TestRegistryPath registry_;
};

// ---- Drive selection --------------------------------------------------------------------------

TEST_F(PagesTest, SelectionListsTheFixedDrivesAndSelectsTheSystemDrive) {
    const std::vector<MachineDrive> machine = FixedReadableDrives();
    ASSERT_FALSE(machine.empty()) << "C: is a fixed drive under Wine";
    const wchar_t system = SystemDriveLetter();
    ASSERT_EQ(L'C', system);

    const HWND list = Select().Item(IDC_SELECT_DRIVES);
    ASSERT_EQ(static_cast<LRESULT>(machine.size()), SendMessageW(list, CB_GETCOUNT, 0, 0));
    ASSERT_EQ(machine.size(), app_->Drives.DriveLetters.size());
    ASSERT_EQ(machine.size(), app_->Settings.DriveHistory.size()) << "one record per drive";
    for (std::size_t i = 0; i < machine.size(); ++i) {
        const MachineDrive& drive = machine[i];
        const std::wstring name = std::wstring(L"(") + drive.letter + L":)";
        const std::wstring expected = drive.letter == system
                                          ? name + L" " + drive.label + L" (System Drive)"
                                          : name + drive.label;
        wchar_t text[300] = {};
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(expected, text);
        EXPECT_EQ(drive.letter, app_->Drives.DriveLetters[i]);
        EXPECT_EQ(drive.letter, app_->Settings.DriveHistory[i].DriveLetter);
    }

    EXPECT_EQ(L'C', SelectedEntryText()[1]) << "the system drive is selected";
    EXPECT_EQ(L'C', Select().GetSelectedDriveLetter());
    EXPECT_EQ(L'C', app_->Drives.CurrentDriveLetter);
    EXPECT_EQ(SelectedEntryText(), Select().SelectedLabel());
    EXPECT_EQ(&Select(), Pages().VisiblePage());

    // A drive never scanned.
    EXPECT_EQ(L"Drive not scanned", Select().ActionText());
    EXPECT_EQ(kBad, Select().ActionColour());
    EXPECT_EQ(L"Start Scan Now", Select().LinkText());
    EXPECT_EQ(L"Scanning Not Yet Performed", Select().LastStatus());
    EXPECT_FALSE(IsRectEmpty(&Select().LinkArea()));
    EXPECT_TRUE(IsWindowVisible(Select().Item(IDC_SELECT_START_SCAN)));
    EXPECT_FALSE(IsWindowVisible(Select().Item(IDC_SELECT_OPTIMIZE_NOW)));
    EXPECT_EQ(
        L"Vantrel finds the fragmented files on your hard drive and puts their pieces back "
        L"together, so that your computer reads them faster.",
        Select().ItemText(IDC_SELECT_DESCRIPTION));
}

TEST_F(PagesTest, SelectionShowsTheStoredStatusOfTheDrive) {
    const SYSTEMTIME twoDays = LocalTimeDaysAgo(2);
    const SYSTEMTIME sevenDays = LocalTimeDaysAgo(7);
    const SYSTEMTIME eightDays = LocalTimeDaysAgo(8);
    const struct {
        std::int32_t status;
        const wchar_t* percent;
        const wchar_t* fragmented;
        const SYSTEMTIME* scanned;
        const wchar_t* action;
        COLORREF colour;
        const wchar_t* link;
        std::wstring lastStatus;
        bool armed;
    } cases[] = {
        {0, L" 12.50% ", L"12", &twoDays, L"Optimization required immediately.", kBad,
         L"Optimize Now", L"12 Fragmented Files found on " + ShownDate(twoDays), true},
        {0, L" 10.00% ", L"3", &sevenDays, L"Optimization required.", kBad, L"Optimize Now",
         L"3 Fragmented Files found on " + ShownDate(sevenDays), true},
        {0, L" 0.40% ", L"0", &twoDays, L"No optimization required - Drive is Optimized", kGood,
         L"Optimize Now", L"No Fragmented Files found on " + ShownDate(twoDays), true},
        {0, L" 12.50% ", L"12", &eightDays, L"Drive not scanned", kBad, L"Start Scan Now",
         L"12 Fragmented Files found on " + ShownDate(eightDays), true},
        {3, L" 12.50% ", L"0", &twoDays, L"No optimization required - Drive is Optimized", kGood,
         L"Optimize Now", L"Already Defragmented on " + ShownDate(twoDays), false},
        {2, L" 12.50% ", L"9", &twoDays, L"Drive not optimized", kBad, L"Optimize Now",
         L"9 Fragmented Files found on " + ShownDate(twoDays), true},
        {7, L" 12.50% ", L"0", nullptr, L"Optimization required immediately.", kBad,
         L"Optimize Now", L"Scanning Not Yet Performed", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "status " << c.status << ", " << c.lastStatus);
        PlantHistory(c.status, c.percent, c.fragmented, c.scanned);
        EXPECT_EQ(c.action, Select().ActionText());
        EXPECT_EQ(c.colour, Select().ActionColour());
        EXPECT_EQ(c.link, Select().LinkText());
        EXPECT_EQ(c.lastStatus, Select().LastStatus());
        EXPECT_EQ(c.armed, IsRectEmpty(&Select().LinkArea()) == FALSE);
        EXPECT_EQ(c.status, app_->Settings.DriveHistory[0].Status) << "a stored 7 stays 7";
    }
}

TEST_F(PagesTest, LinkAnswersOnlyWhenArmedAndShowsTheHand) {
    const SYSTEMTIME twoDays = LocalTimeDaysAgo(2);
    PlantHistory(3, L" 0.00% ", L"0", &twoDays);
    ASSERT_TRUE(IsRectEmpty(&Select().LinkArea()));
    ClickIn(Select(), RECT{500, 346, 591, 363});
    EXPECT_EQ(&Select(), Pages().VisiblePage()) << "the link of an optimized drive does nothing";
    EXPECT_EQ(1, window_->WorkflowStep());
    EXPECT_EQ(0, service_.jobsStarted);

    PlantHistory(0, L" 5.00% ", L"4", &twoDays);
    const RECT link = Select().LinkArea();
    ASSERT_FALSE(IsRectEmpty(&link));
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    const POINT onLink = ScreenPointOf(Select(), link);
    SetCursorPos(onLink.x, onLink.y);
    SendMessageW(Select().Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Select().Handle()),
                 overClient);
    EXPECT_EQ(hand, GetCursor());
    const POINT beside = ScreenPointOf(Select(), RECT{300, 430, 302, 432});
    SetCursorPos(beside.x, beside.y);
    SendMessageW(Select().Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Select().Handle()),
                 overClient);
    EXPECT_EQ(arrow, GetCursor());
}

TEST_F(PagesTest, ADriveLetterTheListDoesNotHoldIsIgnored) {
    EXPECT_TRUE(Select().SelectDriveByLetter(L'C'));
    EXPECT_FALSE(Select().SelectDriveByLetter(L'Q'));
    EXPECT_FALSE(Select().SelectDriveByLetter(L'\0'));
    for (const wchar_t letter : {L'1', L'Q', L'-', L'c'}) {
        // The main window makes the argument of "-scan" the current drive first.
        app_->Drives.CurrentDriveLetter = letter;
        Pages().SelectDriveByLetter(letter);
        EXPECT_EQ(L'C', app_->Drives.CurrentDriveLetter) << static_cast<char>(letter);
        EXPECT_EQ(L'C', Select().GetSelectedDriveLetter());
    }
}

TEST_F(PagesTest, AnUnreachableServiceIsReported) {
    service_.available = false;
    {
        MessageBoxAnswer notice(Owner(), IDOK);
        Select().StartScan();
        EXPECT_EQ(L"Defrag service is either not installed or it is not running.", notice.Text());
    }
    EXPECT_EQ(&Select(), Pages().VisiblePage());
    EXPECT_EQ(1, window_->WorkflowStep());
    {
        MessageBoxAnswer notice(Owner(), IDOK);
        Select().StartOptimization();
        EXPECT_EQ(L"Defrag service is either not installed or it is not running.", notice.Text());
    }
    EXPECT_EQ(1, window_->WorkflowStep());
    EXPECT_EQ(0, service_.jobsStarted);
}

// ---- A solid-state drive ---------------------------------------------------------------------

// This machine's drives, with C: on a solid-state medium.
class SolidStateC final : public DriveProbe {
  public:
    DWORD LogicalDrives() override { return MachineDriveProbe().LogicalDrives(); }
    UINT DriveType(const std::wstring& root) override {
        return MachineDriveProbe().DriveType(root);
    }
    std::optional<VolumeInfo> Volume(const std::wstring& root) override {
        return MachineDriveProbe().Volume(root);
    }
    std::wstring SystemDirectory() override { return MachineDriveProbe().SystemDirectory(); }
    vantrel::engine::MediaKind Media(const std::wstring& root) override {
        return root[0] == L'C' ? vantrel::engine::MediaKind::SolidStateWithTrim
                               : vantrel::engine::MediaKind::Unknown;
    }
};

TEST_F(PagesTest, ASolidStateDriveIsScannedButNeverOfferedAnOptimization) {
    CloseWindow();
    SolidStateC probe;
    MainWindowTestBase::OpenWindow(&service_, &probe);
    ASSERT_EQ(L'C', Select().GetSelectedDriveLetter());
    EXPECT_EQ(L"No optimization needed (solid-state drive)", Select().ActionText());
    EXPECT_EQ(kGood, Select().ActionColour());
    EXPECT_EQ(L"Solid-state drive: defragmenting is not needed", Select().LastStatus());
    EXPECT_TRUE(IsRectEmpty(&Select().LinkArea())) << "no link to an optimization";
    EXPECT_TRUE(IsWindowEnabled(Select().Item(IDC_SELECT_START_SCAN)));

    service_.FillTypicalJob();
    service_.statistics->FragmentedFiles = 10;
    for (int i = 0; i < 10; ++i) {
        service_.AddFile(L"C:\\Data\\file" + std::to_wstring(i) + L".bin", 0, 3, 3, 5000);
    }
    Pages().PostStartScan();
    ASSERT_TRUE(Pump([&] { return Pages().VisiblePage() == &ScanResults(); }));
    EXPECT_EQ(1, service_.jobsStarted) << "a scan runs: it only reads";
    EXPECT_EQ(static_cast<UINT>(IDS_SSD_RECOMMENDATION), ScanResults().Figures().recommendation);
    EXPECT_FALSE(IsWindowEnabled(ScanResults().Item(IDC_SCAN_DEFRAG)));
    EXPECT_FALSE(ScanResults().ShowsOptimizeHint());
}

// ---- Results without figures ---------------------------------------------------------------

TEST_F(PagesTest, NoFragmentedFilesAsksFirstNoReturnsYesShowsTheResults) {
    // The service reports an empty job: no files, no clusters.
    {
        MessageBoxAnswer no(Owner(), IDNO);
        Pages().ProgressPage().ShowScanResults();
        EXPECT_EQ(
            L"No files on your computer require defragmentation. Do you still want to get "
            L"results?",
            no.Text());
    }
    EXPECT_EQ(&Select(), Pages().VisiblePage());
    EXPECT_EQ(1, window_->WorkflowStep());
    EXPECT_EQ(L'C', Select().GetSelectedDriveLetter());
    // Empty statistics are no scan: the drive still asks for one.
    EXPECT_EQ(1, StoredDword(DriveKey(L'C'), L"Status"));
    EXPECT_EQ(L"Drive not scanned", Select().ActionText());

    {
        MessageBoxAnswer yes(Owner(), IDYES);
        Pages().ProgressPage().ShowScanResults();
        EXPECT_TRUE(yes.Answered());
    }
    EXPECT_EQ(&ScanResults(), Pages().VisiblePage());
    EXPECT_EQ(3, window_->WorkflowStep());
    const ScanFigures& figures = ScanResults().Figures();
    EXPECT_EQ(L"Not evaluated", figures.volumeText);
    EXPECT_EQ(L"Not evaluated", figures.dataText);
    EXPECT_EQ(static_cast<UINT>(IDS_NOT_EVALUATED), figures.recommendation);
    EXPECT_EQ(L"0", figures.fragmentedText);
    EXPECT_FALSE(ScanResults().GoodHeader()) << "no claim that the drive is clean";
    EXPECT_FALSE(ScanResults().ShowsOptimizeHint());
    EXPECT_EQ(L"Not Optimized Yet", StoredText(DriveKey(L'C'), L"Opt_PerCentag"));

    ScanResults().Cancel();
    EXPECT_EQ(&Select(), Pages().VisiblePage());
    EXPECT_EQ(1, window_->WorkflowStep());
}

TEST_F(PagesTest, AnAbortedOptimizationHasNoReport) {
    DefragResults().SetStatusText(L"Optimization aborted", kBad);
    Pages().ShowPage(DefragResults());
    EXPECT_EQ(L"Not evaluated", DefragResults().ShownVolumeAfter());
    EXPECT_EQ(L"Not evaluated", DefragResults().ShownDataAfter());
    {
        MessageBoxAnswer notice(Owner(), IDOK);
        ClickIn(DefragResults(), DefragResults().ReportLinkArea());
        EXPECT_EQ(L"Please optimize completely to view optimization summary report.",
                  notice.Text());
    }
    DefragResults().Back();
    EXPECT_EQ(&Select(), Pages().VisiblePage());
    EXPECT_EQ(1, window_->WorkflowStep());
    DefragResults().SetStatusText(L"Optimization complete", kGood);
}

// ---- The whole road -----------------------------------------------------------------------

TEST_F(PagesTest, ScanThenOptimizeShowTheFiguresOfTheServiceRecords) {
    const std::wstring key = DriveKey(L'C');
    const std::wstring driveName = Select().SelectedLabel();
    // A scan and both passes read the same records: fragments before and after.
    service_.FillTypicalJob();
    svc::JobStatistics& scanned = *service_.statistics;
    scanned.FragmentedFiles = 40;
    scanned.NonOptimizedBytes = 5u << 20;
    for (int i = 0; i < 40; ++i) {
        service_.AddFile(L"C:\\Data\\file" + std::to_wstring(i) + L".bin", 0, 2 + i % 3,
                         i % 10 == 0 ? 2 : 1, 1000 + 97 * static_cast<std::uint64_t>(i));
    }

    // "Start scan", as the main window's scan on start presses it.
    Pages().PostStartScan();
    {
        BoxAnswerAtAnyTime noFragmentedFiles(Owner(), IDYES);
        ASSERT_TRUE(Pump([&] { return Pages().VisiblePage() == &ScanResults(); }));
        EXPECT_FALSE(noFragmentedFiles.Answered()) << "the drive has fragmented files";
    }
    EXPECT_EQ(3, window_->WorkflowStep());

    const ServiceFigures scan = FiguresOf(service_);
    const double volume = Percent(scan.fragmentedBefore, scanned.TotalClusters);
    const double data = Percent(scan.fragmentedBefore, scanned.UsedClusters);
    const ScanFigures& figures = ScanResults().Figures();
    EXPECT_EQ(TwoDecimals(volume), figures.volumeText);
    EXPECT_EQ(TwoDecimals(data), figures.dataText);
    EXPECT_EQ(TwoDecimals(data, L" %.2f%% "), figures.dataTag);
    EXPECT_EQ(scanned.FragmentedFiles, ScanResults().FragmentedFileCount());
    EXPECT_EQ(Grouped(scanned.FragmentedFiles), figures.fragmentedText);
    const bool megabytes = scanned.NonOptimizedBytes > 1048576;
    EXPECT_EQ(megabytes, figures.nonOptimized.megabytes);
    EXPECT_EQ(Grouped(scanned.NonOptimizedBytes >> (megabytes ? 20 : 10)),
              figures.nonOptimizedText);
    const UINT recommendation = wcstod(TwoDecimals(volume, L"%.2f").c_str(), nullptr) <= 1.0
                                    ? IDS_NO_OPTIMIZATION_REQUIRED
                                    : IDS_OPTIMIZATION_RECOMMENDED;
    EXPECT_EQ(recommendation, figures.recommendation);
    EXPECT_EQ(driveName, ScanResults().DriveName());
    EXPECT_EQ(volume > 0.005, ScanResults().ShowsOptimizeHint());

    // The scan, read back from the registry.
    const std::int64_t scanStatus = scanned.FragmentedFiles == 0 ? 3 : 0;
    EXPECT_EQ(scanStatus, StoredDword(key, L"Status"));
    EXPECT_EQ(TwoDecimals(data, L" %.2f%% "), StoredText(key, L"Opt_PerCentag"));
    EXPECT_EQ(TwoDecimals(volume), StoredText(key, L"VolumeFragmentBefore"));
    EXPECT_EQ(Grouped(scanned.FragmentedFiles), StoredText(key, L"FragmentedFiles"));
    EXPECT_EQ(Grouped(scanned.TotalFiles), StoredText(key, L"TotalFiles"));
    EXPECT_EQ(Grouped(scanned.TotalDirs), StoredText(key, L"TotalDirs"));
    EXPECT_EQ(1, StoredDword(key, L"IsvalidScanTime"));
    EXPECT_TRUE(StoredTimeIsRecent(key, L"LastScanSysTime"));
    EXPECT_EQ(FormatDateText(OleDateFromSystemTime(app_->Settings.DriveHistory[0].LastScanSysTime)),
              StoredText(key, L"LastScanDate"));
    EXPECT_EQ(L"Scanning Not Yet Performed", StoredText(key, L"LastDefragDate"));

    // "Defrag": both passes, then the completion notice and the optimization results.
    {
        BoxAnswerAtAnyTime success(Owner(), IDOK);
        PostMessageW(ScanResults().Handle(), WM_COMMAND, IDC_SCAN_DEFRAG, 0);
        ASSERT_TRUE(Pump([&] { return Pages().VisiblePage() == &DefragResults(); }, 240000));
        EXPECT_EQ(L"You have successfully optimized " + driveName + L" !", success.Text());
    }
    EXPECT_EQ(4, window_->WorkflowStep());
    EXPECT_EQ(L"Optimization complete", DefragResults().StatusText());
    EXPECT_FALSE(DefragResults().Aborted());

    const svc::JobStatistics& last = scanned;
    const Fragmentation& before = DefragResults().Before();
    const Fragmentation& after = DefragResults().After();
    EXPECT_EQ(TwoDecimals(Percent(scan.fragmentedAfter, last.TotalClusters)), after.volumeText);
    EXPECT_EQ(TwoDecimals(Percent(scan.fragmentedAfter, last.UsedClusters)), after.dataText);
    EXPECT_EQ(after.volumeText, DefragResults().ShownVolumeAfter());
    EXPECT_GT(before.volume, after.volume) << "the optimization made the drive less fragmented";
    EXPECT_GT(before.data, after.data);
    // Counts of the first pass.
    EXPECT_EQ(StoredText(key, L"TotalFiles"), DefragResults().TotalFilesText());
    EXPECT_EQ(StoredText(key, L"TotalDirs"), DefragResults().TotalFoldersText());
    EXPECT_NE(L"0", DefragResults().TotalFilesText());

    ULARGE_INTEGER available = {}, total = {}, free = {};
    ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &available, &total, &free));
    EXPECT_EQ(static_cast<int>(available.QuadPart * 150 / total.QuadPart),
              DefragResults().Bars().free);
    EXPECT_EQ(static_cast<int>((total.QuadPart - available.QuadPart) * 150 / total.QuadPart),
              DefragResults().Bars().used);
    const MachineDrive c = FixedReadableDrives().front();
    EXPECT_EQ(L"(C:) " + c.label + L" (" + c.fileSystem + L") ", DefragResults().DriveName());

    // The optimization, read back from the registry.
    EXPECT_EQ(3, StoredDword(key, L"Status"));
    EXPECT_EQ(before.volumeText, StoredText(key, L"VolumeFragmentBefore"));
    EXPECT_EQ(after.volumeText, StoredText(key, L"VolumeFragmentAfter"));
    EXPECT_EQ(1, StoredDword(key, L"IsvalidDefragTime"));
    EXPECT_TRUE(StoredTimeIsRecent(key, L"LastDefragSysTime"));
    EXPECT_EQ(StoredText(key, L"LastScanDate"), StoredText(key, L"LastDefragDate"));
    EXPECT_NE(L"Scanning Not Yet Performed", StoredText(key, L"LastDefragDate"));

    // "Back": the selection page tells of the optimized drive.
    PostMessageW(DefragResults().Handle(), WM_COMMAND, IDC_DEFRAG_BACK, 0);
    ASSERT_TRUE(Pump([&] { return Pages().VisiblePage() == &Select(); }, 10000));
    EXPECT_EQ(1, window_->WorkflowStep());
    EXPECT_EQ(L"No optimization required - Drive is Optimized", Select().ActionText());
    EXPECT_EQ(0u, Select().LastStatus().rfind(L"Already Defragmented on ", 0));
    EXPECT_TRUE(IsRectEmpty(&Select().LinkArea()));
}

// ---- The road from the keyboard ------------------------------------------------------------

// A key pressed and released as the keyboard does it: through the system's input
// queue to the focused control of the foreground window.
void PressKey(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

// What a screen reader says of a control.
std::wstring AccessibleName(HWND control) {
    return vantrel::testsupport::ReadAccessible(control,
                                                vantrel::testsupport::AccessibleField::Name);
}

// The other suites' windows on the same display take the foreground whenever they
// appear, and keys then go to them: the test's window, and `focus` in it, take it back.
void TakeBackForeground(HWND focus) {
    if (focus == nullptr) {
        return;
    }
    const HWND top = GetAncestor(focus, GA_ROOT);
    if (GetForegroundWindow() != top || GetFocus() != focus) {
        SetForegroundWindow(top);
        Pump([&] { return GetForegroundWindow() == top; }, 2000);
        SetFocus(focus);
    }
}

// Presses Tab with `from` focused: the control the focus moved to. A press lost to
// another window is made again from `from`.
HWND TabFrom(HWND from) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        TakeBackForeground(from);
        PressKey(VK_TAB);
        Pump([&] { return GetFocus() != nullptr && GetFocus() != from; }, 2000);
        const HWND now = GetFocus();
        if (now != nullptr && now != from) {
            return now;
        }
    }
    return from;
}

// Presses Tab until `target` has the focus; the names of the controls passed on the way.
std::vector<std::wstring> TabTo(HWND target) {
    std::vector<std::wstring> visited;
    HWND focus = GetFocus();
    for (int presses = 0; presses < 16 && focus != target; ++presses) {
        focus = TabFrom(focus);
        visited.push_back(AccessibleName(focus));
    }
    return visited;
}

// Presses `key` on `control` as the focused control of the foreground window.
void PressKeyOn(HWND control, WORD key) {
    TakeBackForeground(control);
    PressKey(key);
}

TEST_F(PagesTest, TheKeyboardAloneWalksTheRoadPastNamedControls) {
    service_.FillTypicalJob();
    service_.statistics->FragmentedFiles = 3;
    for (int i = 0; i < 3; ++i) {
        service_.AddFile(L"C:\\Data\\part" + std::to_wstring(i) + L".bin", 0, 3, 1, 500);
    }
    SetForegroundWindow(Owner());
    ASSERT_TRUE(Pump([&] { return GetForegroundWindow() == Owner() && GetFocus() != nullptr; }));
    EXPECT_EQ(std::vector<std::wstring>{}, UnnamedVisibleControls(Owner())) << "selection page";

    // From the minimise button, in reading order, to "Start scan". Wine's proxy names
    // the drive list by its text (Windows by the label before it).
    const HWND startScan = Select().Item(IDC_SELECT_START_SCAN);
    EXPECT_EQ((std::vector<std::wstring>{L"Close", L"About", L"Help", L"Check for Updates",
                                         SelectedEntryText(), L"Start scan"}),
              TabTo(startScan));
    ASSERT_EQ(startScan, GetFocus());

    // Space starts the scan; the page shows the job while it runs.
    service_.pollsPerJob = 1000000;
    vantrel::service::WriteFieldText(service_.statistics->CurrentFile, L"C:\\Data\\part0.bin");
    PressKeyOn(startScan, VK_SPACE);
    ASSERT_TRUE(Pump([&] { return Pages().VisiblePage() == &Pages().ProgressPage(); }));
    ASSERT_TRUE(
        Pump([&] { return IsWindowVisible(Pages().ProgressPage().Item(IDC_PROGRESS_STOP)); }));
    EXPECT_EQ(std::vector<std::wstring>{}, UnnamedVisibleControls(Owner())) << "progress page";
    // While the job runs, Tab skips the links and the button the job locks.
    std::vector<std::wstring> cycle;
    HWND focus = GetFocus();
    for (int i = 0; i < 6; ++i) {
        focus = TabFrom(focus);
        cycle.push_back(AccessibleName(focus));
    }
    for (const wchar_t* locked : {L"About", L"Help", L"Check for Updates"}) {
        EXPECT_EQ(cycle.end(), std::find(cycle.begin(), cycle.end(), locked)) << locked;
    }
    EXPECT_NE(cycle.end(), std::find(cycle.begin(), cycle.end(), L"Stop"));
    service_.runningPolls = 1;
    service_.pollsPerJob = 3;
    ASSERT_TRUE(Pump([&] { return Pages().VisiblePage() == &ScanResults(); }));
    EXPECT_EQ(std::vector<std::wstring>{}, UnnamedVisibleControls(Owner())) << "scan results";

    // "Defrag": both passes, the completion notice, the optimization results.
    const HWND defrag = ScanResults().Item(IDC_SCAN_DEFRAG);
    const std::vector<std::wstring> toDefrag = TabTo(defrag);
    ASSERT_EQ(defrag, GetFocus());
    ASSERT_GE(toDefrag.size(), 2u);
    EXPECT_EQ(L"Cancel", toDefrag[toDefrag.size() - 2]) << "Cancel comes just before Defrag";
    {
        BoxAnswerAtAnyTime success(Owner(), IDOK);
        PressKeyOn(defrag, VK_SPACE);
        ASSERT_TRUE(Pump([&] { return Pages().VisiblePage() == &DefragResults(); }));
        EXPECT_TRUE(success.Answered());
    }
    EXPECT_EQ(std::vector<std::wstring>{}, UnnamedVisibleControls(Owner()))
        << "optimization results";

    // "Back" with Enter, as a focused push button takes it.
    const HWND back = DefragResults().Item(IDC_DEFRAG_BACK);
    TabTo(back);
    ASSERT_EQ(back, GetFocus());
    PressKeyOn(back, VK_RETURN);
    ASSERT_TRUE(Pump([&] { return Pages().VisiblePage() == &Select(); }, 10000));
    EXPECT_EQ(1, window_->WorkflowStep());
}

}  // namespace
