#include "flows/HDDScanContainer.h"

#include "flows/SelectDiskListing.h"
#include "res/resource.h"
#include "ui/widgets/SharedBrushes.h"
#include "ui/widgets/XTMemDC.h"

const fw::MessageTable CDlgHDDScan::kTable{&SkinnedPage::kTable,
                                           {
                                               fw::OnPaint(&CDlgHDDScan::OnPaint),
                                           }};

const fw::MessageTable& CDlgHDDScan::Messages() const {
    return kTable;
}

CDlgHDDScan::CDlgHDDScan(PageHost& host, DriveProbe& probe)
    : SkinnedPage(IDD_CONTAINER),
      host_(host),
      selection_(*this, probe),
      progress_(*this),
      scanResults_(*this, probe),
      defragResults_(*this, probe) {}

bool CDlgHDDScan::OnInitDialog() {
    // The container counts as the visible page until the first switch.
    visible_ = this;
    selection_.CreateModeless(Handle());
    progress_.CreateModeless(Handle());
    scanResults_.CreateModeless(Handle());
    defragResults_.CreateModeless(Handle());
    PlaceControls();
    ShowPage(selection_);
    return true;
}

int CDlgHDDScan::SendReset(wchar_t letter) {
    return host_.Service().SendJobCommand(MapCells(), vantrel::service::JobCommandCode::Reset,
                                          letter, 0);
}

void CDlgHDDScan::ShowPage(fw::Dialog& page) {
    if (visible_ == &page) {
        return;
    }
    if (visible_ != nullptr && visible_ != this) {
        visible_->Show(SW_HIDE);
    }
    visible_ = &page;
    page.Show(SW_SHOW);
    // The keyboard focus went with the page that was hidden: it moves to the new
    // page's first control, so that Tab and Enter act on what the user sees.
    const HWND focus = GetFocus();
    const HWND top = GetAncestor(page.Handle(), GA_ROOT);
    if (focus != nullptr && !IsWindowVisible(focus) && IsChild(top, focus)) {
        if (const HWND first = GetNextDlgTabItem(page.Handle(), nullptr, FALSE)) {
            SendMessageW(top, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
        }
    }
}

void CDlgHDDScan::PlaceControls() {
    const RECT client = ClientRect();
    for (fw::Dialog* page : std::initializer_list<fw::Dialog*>{&selection_, &progress_,
                                                               &scanResults_, &defragResults_}) {
        if (page->Handle() != nullptr) {
            MoveWindow(page->Handle(), 0, 0, client.right + 6, client.bottom, TRUE);
        }
    }
}

void CDlgHDDScan::OnPaint(HDC target) {
    CXTMemDC memory(target, ClientRect());
}

bool CDlgHDDScan::SelectDriveByLetter(wchar_t letter) {
    if (IsDriveLetter(letter) && selection_.SelectDriveByLetter(letter)) {
        return true;
    }
    // The caller may have made the letter the current drive already; the selected
    // drive takes that place again, so a scan that follows scans the drive shown.
    if (selection_.Handle() != nullptr) {
        selection_.OnDriveSelected();
    }
    return false;
}

void CDlgHDDScan::PostStartScan() {
    // Command 1085 is the selection page's scan button.
    if (selection_.Handle() != nullptr) {
        selection_.Post(WM_COMMAND, IDC_SELECT_START_SCAN);
    }
}
