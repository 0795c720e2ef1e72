#include "flows/HDDScanContainer.h"

#include "flows/SelectDiskListing.h"
#include "res/resource.h"
#include "ui/SharedBrushes.h"
#include "ui/XTMemDC.h"

namespace {
// Controls draw with a transparent background on the white brush of the program.
bool AnswerWhite(fw::Message& m) {
    SetBkMode(reinterpret_cast<HDC>(m.wParam), TRANSPARENT);
    m.result = reinterpret_cast<LRESULT>(WhiteBrush());
    return true;
}
}  // namespace

const fw::MessageTable CDlgHDDScan::kTable{
    &fw::Dialog::kTable,
    {
        fw::OnMessage(WM_SIZE, &CDlgHDDScan::OnSize),
        fw::OnPaint(&CDlgHDDScan::OnPaint),
        fw::OnMessage(WM_ERASEBKGND, &CDlgHDDScan::OnEraseBackground),
        fw::OnMessage(WM_CTLCOLORDLG, &CDlgHDDScan::OnCtlColor),
        fw::OnMessage(WM_CTLCOLORSTATIC, &CDlgHDDScan::OnCtlColor),
        fw::OnMessage(WM_CTLCOLORBTN, &CDlgHDDScan::OnCtlColor),
    }};

const fw::MessageTable& CDlgHDDScan::Messages() const {
    return kTable;
}

CDlgHDDScan::CDlgHDDScan(PageHost& host)
    : fw::Dialog(IDD_CONTAINER),
      host_(host),
      selection_(*this),
      progress_(*this),
      scanResults_(*this),
      defragResults_(*this) {}

bool CDlgHDDScan::OnInitDialog() {
    // The container counts as the visible page until the first switch.
    visible_ = this;
    selection_.CreateModeless(Handle());
    progress_.CreateModeless(Handle());
    scanResults_.CreateModeless(Handle());
    defragResults_.CreateModeless(Handle());
    OnSize();
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
}

void CDlgHDDScan::OnSize() {
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

bool CDlgHDDScan::OnEraseBackground(fw::Message& m) {
    m.result = 1;
    return true;
}

bool CDlgHDDScan::OnCtlColor(fw::Message& m) {
    return AnswerWhite(m);
}

void CDlgHDDScan::SelectDriveByLetter(wchar_t letter) {
    if (IsDriveLetter(letter) && selection_.SelectDriveByLetter(letter)) {
        return;
    }
    // The caller may have made the letter the current drive already; the selected
    // drive takes that place again, so a scan that follows scans the drive shown.
    if (selection_.Handle() != nullptr) {
        selection_.OnDriveSelected();
    }
}

void CDlgHDDScan::PostStartScan() {
    // Command 1085 is the selection page's scan button.
    if (selection_.Handle() != nullptr) {
        selection_.Post(WM_COMMAND, IDC_SELECT_START_SCAN);
    }
}
