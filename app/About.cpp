#include "app/About.h"

#include <shellapi.h>

#include "app/AboutRules.h"
#include "app/VendorSite.h"
#include "app/WindowShape.h"
#include "framework/Gdi.h"
#include "res/resource.h"
#include "ui/widgets/SkinPainter.h"
#include "ui/widgets/SharedFonts.h"
#include "ui/widgets/SkinBitmaps.h"
#include "ui/format/StringPool.h"

namespace {

const fw::Font& FontFor(about::Face face) {
    switch (face) {
        case about::Face::Tahoma16Bold:
            return FontTahoma16Bold;
        case about::Face::Tahoma16:
            return FontTahoma16;
        case about::Face::Tahoma11Bold:
            return FontTahoma11Bold;
        case about::Face::Tahoma11BoldUnderline:
            return FontTahoma11BoldUnderline;
        case about::Face::Tahoma11:
            break;
    }
    return FontTahoma11;
}

// The system's hand cursor, loaded on first need and kept.
HCURSOR HandCursor() {
    static const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    return hand;
}

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

}  // namespace

const fw::MessageTable CDlgAbout::kTable{
    &fw::Dialog::kTable,
    {
        fw::OnCommand(IDC_ABOUT_OK, &CDlgAbout::OnOkButton),
        fw::OnCommand(IDC_ABOUT_WEBSITE_LINK, &CDlgAbout::OpenWebsite),
        fw::OnCommand(IDC_ABOUT_EMAIL_LINK, &CDlgAbout::OpenMail),
        fw::OnPaint(&CDlgAbout::OnPaint),
        fw::OnMouse(WM_LBUTTONDOWN, &CDlgAbout::OnLButtonDown),
        fw::OnMouse(WM_MOUSEMOVE, &CDlgAbout::OnMouseMove),
        fw::OnMouse(WM_LBUTTONUP, &CDlgAbout::OnLButtonUp),
    }};

const fw::MessageTable& CDlgAbout::Messages() const {
    return kTable;
}

CDlgAbout::CDlgAbout() : fw::Dialog(IDD_ABOUT) {}

bool CDlgAbout::OnInitDialog() {
    MoveWindow(Handle(), 0, 0, about::kWidth, about::kHeight, FALSE);
    CenterWindow(Handle(), GetParent(Handle()));

    versionText_ = about::FileVersionOf(ProgramPath().c_str());
    if (versionText_.empty()) {
        versionText_ = LoadPooledString(IDS_ABOUT_UNKNOWN_VERSION);
    }

    ApplyRoundedRegion(Handle());

    okButton_.Attach(Handle(), IDC_ABOUT_OK);
    okButton_.LoadStrip(IDB_BUTTON_OK);
    okButton_.SetCaption(IDS_CAPTION_OK);
    MoveItem(IDC_ABOUT_OK, about::kOkX, about::kOkY, about::kOkWidth, about::kOkHeight);
    websiteLink_.Create(Handle(), IDC_ABOUT_WEBSITE_LINK, about::kWebsiteLink,
                        VendorSiteDisplayAddress());
    emailLink_.Create(Handle(), IDC_ABOUT_EMAIL_LINK, about::kEmailLink, SupportEmailAddress());
    SetTabOrder({websiteLink_.Handle(), emailLink_.Handle(), okButton_.Handle()});
    return true;
}

void CDlgAbout::OnOkButton() {
    EndDialog(IDOK);
}

void CDlgAbout::OnPaint(HDC dc) {
    // The only skinned window that draws straight onto the screen.
    SetBkMode(dc, TRANSPARENT);
    SkinPainter(dc).Draw(IDB_ABOUT_BACKGROUND, 0, 0, about::kWidth, about::kHeight);
    for (const about::Text& text : about::kTexts) {
        std::wstring content;
        switch (text.source) {
            case about::Source::String:
                content = LoadPooledString(text.stringId);
                break;
            case about::Source::FileVersion:
                content = versionText_;
                break;
            case about::Source::WebAddress:
                content = VendorSiteDisplayAddress();
                break;
            case about::Source::EmailAddress:
                content = SupportEmailAddress();
                break;
        }
        fw::SelectGuard font(dc, FontFor(text.face));
        SetTextColor(dc, text.colour);
        RECT rect = text.rect;
        DrawTextW(dc, content.c_str(), static_cast<int>(content.size()), &rect,
                  about::DrawFlags(text.align));
    }
}

void CDlgAbout::OnLButtonDown(POINT point) {
    if (about::InDragBand(point, ClientRect().right)) {
        Send(WM_NCLBUTTONDOWN, HTCAPTION, 0);
    }
}

void CDlgAbout::OnMouseMove(POINT point) {
    static const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(about::LinkAt(point) == about::Link::None ? arrow : HandCursor());
}

void CDlgAbout::OnLButtonUp(POINT point) {
    switch (about::LinkAt(point)) {
        case about::Link::Website:
            OpenWebsite();
            break;
        case about::Link::Email:
            OpenMail();
            break;
        case about::Link::None:
            break;
    }
}

void CDlgAbout::OpenWebsite() {
    ShellExecuteW(Handle(), L"open", VendorSiteAddress().c_str(), nullptr, nullptr,
                  SW_SHOWMAXIMIZED);
}

void CDlgAbout::OpenMail() {
    ShellExecuteW(Handle(), L"open", SupportMailLink().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
