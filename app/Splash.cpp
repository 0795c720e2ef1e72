#include "app/Splash.h"

#include "app/WindowShape.h"
#include "res/resource.h"
#include "ui/widgets/SkinPainter.h"
#include "ui/widgets/SkinBitmaps.h"
#include "ui/widgets/XTMemDC.h"

namespace {
constexpr int kSplashWidth = 424;
constexpr int kSplashHeight = 231;
}  // namespace

const fw::MessageTable CDlgSplash::kTable{
    &fw::Dialog::kTable,
    {
        fw::OnPaint(&CDlgSplash::OnPaint),
        fw::OnEraseBackground(&CDlgSplash::OnEraseBackground),
        fw::OnMessage(WM_QUERYENDSESSION, &CDlgSplash::OnQueryEndSession),
    }};

const fw::MessageTable& CDlgSplash::Messages() const {
    return kTable;
}

CDlgSplash::CDlgSplash(std::wstring title) : fw::Dialog(IDD_SPLASH), title_(std::move(title)) {}

bool CDlgSplash::OnInitDialog() {
    MoveWindow(Handle(), 0, 0, kSplashWidth, kSplashHeight, FALSE);
    CenterWindow(Handle());
    SetText(title_.c_str());
    ApplyRoundedRegion(Handle());
    return true;
}

void CDlgSplash::OnPaint(HDC target) {
    CXTMemDC memory(target, ClientRect());
    SetBkMode(memory.Get(), TRANSPARENT);
    SkinPainter(memory.Get()).Draw(IDB_SPLASH, 0, 0, kSplashWidth, kSplashHeight);
}

bool CDlgSplash::OnEraseBackground(HDC) {
    return true;
}

bool CDlgSplash::OnQueryEndSession(fw::Message& m) {
    Post(WM_CLOSE);
    m.result = DefaultProcessing(m);
    return true;
}
