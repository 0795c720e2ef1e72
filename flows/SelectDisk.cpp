#include "flows/SelectDisk.h"

#include "flows/DiskAnalyzing.h"
#include "flows/HDDScanContainer.h"
#include "flows/OptimizationRoom.h"
#include "flows/PageDrawing.h"
#include "flows/SelectDiskLayout.h"
#include "res/resource.h"
#include "service/JobRecords.h"
#include "state/DriveHistoryStore.h"
#include "ui/format/Format.h"
#include "ui/widgets/SharedBrushes.h"
#include "ui/widgets/SharedFonts.h"
#include "ui/format/StringPool.h"
#include "ui/format/TimeConvert.h"
#include "ui/widgets/XTMemDC.h"
#include "ui/widgets/SkinPainter.h"

namespace svc = vantrel::service;

const fw::MessageTable CSelectDiskDlg::kTable{
    &SkinnedPage::kTable,
    {
        fw::OnNotification(IDC_SELECT_DRIVES, CBN_SELCHANGE, &CSelectDiskDlg::OnDriveSelected),
        fw::OnCommand(IDC_SELECT_START_SCAN, &CSelectDiskDlg::StartScan),
        fw::OnCommand(IDC_SELECT_OPTIMIZE_NOW, &CSelectDiskDlg::StartOptimization),
        fw::OnCommand(IDC_SELECT_SPARE, &CSelectDiskDlg::OnSpareButton),
        fw::OnPaint(&CSelectDiskDlg::OnPaint),
    }};

const fw::MessageTable& CSelectDiskDlg::Messages() const {
    return kTable;
}

CSelectDiskDlg::CSelectDiskDlg(CDlgHDDScan& pages, DriveProbe& probe)
    : SkinnedPage(IDD_SELECT_DISK), pages_(pages), probe_(probe) {
    status_.statusWord = IDS_STATUS_FRAGMENTED;
    lastStatus_ = LoadPooledString(IDS_NOT_SCANNED);
}

CSelectDiskDlg::~CSelectDiskDlg() {
    // The buttons are members: the window goes while they still exist.
    Destroy();
}

bool CSelectDiskDlg::OnInitDialog() {
    SetItemFont(IDC_SELECT_TITLE, FontSegoe18.Get());
    SetItemFont(IDC_SELECT_CAPTION, FontSegoe18.Get());
    SetItemFont(IDC_SELECT_DESCRIPTION, FontSegoe13.Get());
    SetItemFont(IDC_SELECT_HINT, FontTahoma11.Get());
    SetItemText(IDC_SELECT_DESCRIPTION, LoadPooledString(IDS_SELECT_DESCRIPTION).c_str());

    startScan_.Attach(Handle(), IDC_SELECT_START_SCAN);
    optimizeNow_.Attach(Handle(), IDC_SELECT_OPTIMIZE_NOW);
    startScan_.LoadStrip(IDB_BUTTON_START_SCAN);
    optimizeNow_.LoadStrip(IDB_BUTTON_OPTIMIZE_NOW);
    startScan_.SetCaption(IDS_CAPTION_START_SCAN);
    optimizeNow_.SetCaption(IDS_OPTIMIZE_NOW);
    CreateLink(IDS_START_SCAN_NOW);
    // The caption stays just before the list: screen readers name a list by the
    // label before it.
    SetTabOrder({Item(IDC_SELECT_CAPTION), Item(IDC_SELECT_DRIVES), startScan_.Handle(),
                 optimizeNow_.Handle(), LinkWindow()});
    for (int id : {IDC_SELECT_OPTIMIZE_NOW, IDC_SELECT_SPARE}) {
        ShowItem(id, false);
        EnableItem(id, false);
    }
    PlaceControls();
    EnumerateDrives();
    return true;
}

// ---- The drive list -------------------------------------------------------------

void CSelectDiskDlg::EnumerateDrives() {
    const HWND list = Item(IDC_SELECT_DRIVES);
    const auto selected = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    const int previousIndex = selected < 0 ? 0 : selected;
    const wchar_t previousLetter = GetSelectedDriveLetter();

    for (auto count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0)); count > 0; --count) {
        SendMessageW(list, CB_DELETESTRING, static_cast<WPARAM>(count - 1), 0);
    }

    entries_ = ListFixedDrives(probe_);
    DriveItems& drives = pages_.Host().Drives();
    drives.DriveLetters.clear();
    for (const DriveEntry& entry : entries_) {
        drives.DriveLetters.Add(entry.letter);
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text.c_str()));
    }
    LoadDriveHistory(pages_.Host().Settings(), drives.DriveLetters);

    // The list sorts its entries; select by letter so the choice does not depend on it.
    const int chosen = EntryToSelect(entries_, previousLetter, previousIndex);
    const int index = chosen < 0 ? -1 : IndexOfLetter(entries_[chosen].letter);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // With no fixed drive there is nothing to scan.
    EnableItem(IDC_SELECT_START_SCAN, !entries_.empty());
    OnDriveSelected();
}

std::wstring CSelectDiskDlg::EntryText(int index) const {
    const HWND list = Item(IDC_SELECT_DRIVES);
    if (list == nullptr || index < 0) {
        return {};
    }
    const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length < 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    if (copied == CB_ERR || copied < 0) {
        return {};
    }
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

int CSelectDiskDlg::IndexOfLetter(wchar_t letter) const {
    const auto count = static_cast<int>(SendMessageW(Item(IDC_SELECT_DRIVES), CB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        if (DriveLetterOfEntry(EntryText(index)) == letter) {
            return index;
        }
    }
    return -1;
}

wchar_t CSelectDiskDlg::GetSelectedDriveLetter() const {
    const auto index = static_cast<int>(SendMessageW(Item(IDC_SELECT_DRIVES), CB_GETCURSEL, 0, 0));
    return DriveLetterOfEntry(EntryText(index));
}

bool CSelectDiskDlg::SelectDriveByLetter(wchar_t letter) {
    const int index = letter == 0 ? -1 : IndexOfLetter(letter);
    if (index < 0) {
        return false;
    }
    SendMessageW(Item(IDC_SELECT_DRIVES), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    OnDriveSelected();
    SetFocus(Item(IDC_SELECT_TITLE));
    return true;
}

// ---- The summary of the selected drive --------------------------------------------

void CSelectDiskDlg::OnDriveSelected() {
    actionText_.clear();
    const auto index = static_cast<int>(SendMessageW(Item(IDC_SELECT_DRIVES), CB_GETCURSEL, 0, 0));
    const std::wstring text = EntryText(index);
    const wchar_t letter = DriveLetterOfEntry(text);
    if (letter == 0) {
        // Nothing selected (no fixed drive): the summary keeps its initial state.
        Invalidate(&select_layout::kSummaryDirty, false);
        return;
    }
    pages_.Host().Drives().CurrentDriveLetter = letter;
    selectedLabel_ = text;
    RefreshSummary(letter);
    Invalidate(&select_layout::kSummaryDirty, false);
}

void CSelectDiskDlg::RefreshSummary(wchar_t letter) {
    // A drive whose medium does not say (a virtual one, Wine's) counts as a hard disk.
    solidState_ = vantrel::engine::IsSolidState(probe_.Media(DriveRoot(letter)));
    const IndiVidualDriveInfo* record =
        FindDriveRecord(pages_.Host().Settings().DriveHistory, letter);
    if (record == nullptr) {
        return;
    }
    fragmentedCount_ = record->FragmentedFiles;
    const double fragmentation = FragmentationValueOf(record->Opt_PerCentag);
    // The age is this drive's own: a drive without a valid scan time has none, rather
    // than the age of the drive selected before it.
    daysSinceScan_ = -1;
    if (record->IsvalidScanTime) {
        FormatDaysAgo(OleDateFromSystemTime(record->LastScanSysTime), &daysSinceScan_);
    }
    status_ = EvaluateDriveStatus(record->Status, fragmentation, daysSinceScan_, solidState_);
    actionText_ = status_.action != 0 ? LoadPooledString(status_.action) : std::wstring();
    linkArea_ = status_.linkArmed ? select_layout::kLinkArea : RECT{};
    RefreshLink(LinkText());
    Invalidate(&select_layout::kStatusIconDirty, false);

    if (record->IsvalidScanTime) {
        lastStatus_ = LastStatusLine(status_.statusWord == IDS_STATUS_OPTIMIZED, fragmentedCount_,
                                     record->LastScanSysTime);
    } else {
        lastStatus_ = LoadPooledString(IDS_SCANNING_NOT_PERFORMED);
        ShowItem(IDC_SELECT_OPTIMIZE_NOW, false);
        ShowItem(IDC_SELECT_START_SCAN, true);
    }
    if (solidState_) {
        lastStatus_ = LoadPooledString(IDS_SSD_STATUS);
    }
}

COLORREF CSelectDiskDlg::ActionColour() const {
    return status_.actionGood ? select_layout::kGoodColour : select_layout::kBadColour;
}

std::wstring CSelectDiskDlg::LinkText() const {
    return LoadPooledString(LinkStartsScan(actionText_) ? IDS_START_SCAN_NOW : IDS_OPTIMIZE_NOW);
}

// ---- Starting a job -----------------------------------------------------------------

bool CSelectDiskDlg::CheckDriveCanStart(wchar_t letter) {
    if (!HasRoomToOptimize(QueryDiskSpace(letter))) {
        MessageBoxW(TopWindow(),
                    (selectedLabel_ + LoadPooledString(IDS_NOT_ENOUGH_FREE_SPACE)).c_str(),
                    pages_.Host().Title().c_str(), MB_OK | MB_ICONQUESTION);
        return false;
    }
    if (pages_.SendReset(letter) == 0) {
        MessageBoxW(TopWindow(), LoadPooledString(IDS_SERVICE_UNAVAILABLE).c_str(),
                    pages_.Host().Title().c_str(), MB_OK | MB_ICONINFORMATION);
        return false;
    }
    return true;
}

void CSelectDiskDlg::StartScan() {
    SetFocus(Item(IDC_SELECT_TITLE));
    const wchar_t letter = pages_.Host().CurrentDrive();
    if (letter == 0 || !CheckDriveCanStart(letter)) {
        return;
    }
    pages_.SendReset(letter);
    if (pages_.ProgressPage().StartJob(JobMode::Scan, letter, selectedLabel_)) {
        pages_.Host().SetWorkflowStep(2);
        SetFocus(TopWindow());
        pages_.ShowPage(pages_.ProgressPage());
    } else {
        SetFocus(Item(IDC_SELECT_TITLE));
        pages_.ShowPage(*this);
    }
}

void CSelectDiskDlg::StartOptimization() {
    const wchar_t letter = pages_.Host().CurrentDrive();
    if (letter == 0 || !CheckDriveCanStart(letter)) {
        return;
    }
    pages_.Host().SetWorkflowStep(4);
    pages_.SendReset(letter);
    pages_.ProgressPage().StartJob(JobMode::Optimize, letter, selectedLabel_);
    pages_.ShowPage(pages_.ProgressPage());
}

HWND CSelectDiskDlg::TopWindow() const {
    return GetAncestor(Handle(), GA_ROOT);
}

// ---- The action link ----------------------------------------------------------------------------

void CSelectDiskDlg::OnLinkClicked() {
    if (LinkStartsScan(actionText_)) {
        StartScan();
    } else {
        StartOptimization();
    }
}

// ---- Layout and painting ----------------------------------------------------------------

void CSelectDiskDlg::PlaceControls() {
    PlaceItems(select_layout::kPlaced);
}

void CSelectDiskDlg::OnPaint(HDC target) {
    CXTMemDC memory(target, ClientRect());
    const HDC dc = memory.Get();
    SkinPainter skin(dc);

    skin.Draw(IDB_SELECT_TITLE_ICON, select_layout::kTitleIcon.x, select_layout::kTitleIcon.y,
              select_layout::kTitleIconSize.cx, select_layout::kTitleIconSize.cy);
    skin.Draw(IDB_RULE, select_layout::kRule.x, select_layout::kRule.y, select_layout::kRuleSize.cx,
              select_layout::kRuleSize.cy);
    skin.Frame(select_layout::kDriveBox, select_layout::kBoxX, select_layout::kDriveBoxY,
               select_layout::kDriveBoxTiles);
    skin.Draw(IDB_DRIVE_ICON, select_layout::kDriveIcon.x, select_layout::kDriveIcon.y,
              select_layout::kDriveIconSize.cx, select_layout::kDriveIconSize.cy);
    skin.Frame(select_layout::kStatusBox, select_layout::kBoxX, select_layout::kStatusBoxY,
               select_layout::kStatusBoxTiles);
    skin.Draw(IDB_STATUS_BOX_RIGHT_END, select_layout::kStatusBoxEndX, select_layout::kStatusBoxY,
              select_layout::kStatusBoxEndSize.cx, select_layout::kStatusBoxEndSize.cy);
    skin.Draw(IDB_ATTENTION_ICON, select_layout::kAttentionIcon.x, select_layout::kAttentionIcon.y,
              select_layout::kAttentionIconSize.cx, select_layout::kAttentionIconSize.cy);
    for (const POINT& rule : select_layout::kStatusRules) {
        skin.Draw(IDB_STATUS_RULE, rule.x, rule.y, select_layout::kStatusRuleSize.cx,
                  select_layout::kStatusRuleSize.cy);
    }

    // The heading is wider than its place in the larger fonts; nothing else shares its
    // row, so it runs on to the right rather than being cut after its first word.
    DrawPageText(dc, LoadPooledString(IDS_ATTENTION_REQUIRED), select_layout::kAttentionText,
                 FontSegoe18, select_layout::kBlack, TextPlacement::Line);
    DrawPageText(dc, LoadPooledString(IDS_RECOMMENDED_ACTION), select_layout::kActionLabel,
                 FontTahoma11Bold, select_layout::kLabelColour);
    DrawPageText(dc, LoadPooledString(IDS_LAST_DEFRAG_STATUS), select_layout::kLastStatusLabel,
                 FontTahoma11Bold, select_layout::kLabelColour);
    DrawPageText(dc, actionText_, select_layout::kActionText, FontTahoma11Bold, ActionColour());
    if (!solidState_) {  // a solid-state drive is offered no optimization
        DrawPageText(dc, LinkText(), select_layout::kLinkText, FontTahoma11BoldUnderline,
                     select_layout::kLinkColour, TextPlacement::Right);
    }
    DrawPageText(dc, lastStatus_, select_layout::kLastStatusText, FontTahoma11Bold,
                 select_layout::kLastStatusColour);
}

HBRUSH CSelectDiskDlg::StaticColours(HDC dc, int id) {
    switch (id) {
        case IDC_SELECT_CAPTION:
        case IDC_SELECT_HINT:
            SetTextColor(dc, select_layout::kBlack);
            return HollowBrush();
        case IDC_SELECT_DESCRIPTION:
            SetTextColor(dc, select_layout::kDescriptionColour);
            return WhiteBrush();
        default:
            SetTextColor(dc, select_layout::kBlack);
            return WhiteBrush();
    }
}
