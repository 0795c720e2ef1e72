#include "app/AboutRules.h"

#include "res/resource.h"
#include "ui/format/FileVersionInfo.h"

namespace about {

namespace {

constexpr COLORREF kTitleColour = RGB(255, 95, 1);
constexpr COLORREF kNoticeColour = RGB(54, 72, 63);
constexpr COLORREF kLabelColour = RGB(120, 120, 120);
constexpr COLORREF kValueColour = RGB(0, 0, 0);
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

}  // namespace

const Text kTexts[10] = {
    {Source::String,
     IDS_ABOUT_TITLE,
     {15, 60, 500, 82},
     Face::Tahoma16Bold,
     kTitleColour,
     Align::Centre},
    {Source::String,
     IDS_ABOUT_VERSION_NUMBER,
     {368, 60, 398, 82},
     Face::Tahoma16,
     kTitleColour,
     Align::Left},
    {Source::String,
     IDS_VENDOR_NOTICE,
     {7, 169, 534, 189},
     Face::Tahoma11,
     kNoticeColour,
     Align::Centre},
    {Source::String,
     IDS_VERSION_LABEL,
     {46, 108, 236, 128},
     Face::Tahoma11,
     kLabelColour,
     Align::Right},
    {Source::FileVersion, 0, {236, 108, 496, 128}, Face::Tahoma11Bold, kValueColour, Align::Left},
    {Source::String,
     IDS_WEBSITE_LABEL,
     {46, 128, 236, 148},
     Face::Tahoma11,
     kLabelColour,
     Align::Right},
    {Source::WebAddress,
     0,
     {236, 127, 496, 147},
     Face::Tahoma11BoldUnderline,
     kLinkColour,
     Align::Left},
    {Source::String,
     IDS_EMAIL_LABEL,
     {46, 148, 217, 168},
     Face::Tahoma11,
     kLabelColour,
     Align::Right},
    {Source::EmailAddress,
     0,
     {217, 147, 477, 167},
     Face::Tahoma11BoldUnderline,
     kLinkColour,
     Align::Left},
    {Source::String,
     IDS_LEGAL_NOTICE,
     {21, 188, 519, 248},
     Face::Tahoma11,
     kLabelColour,
     Align::Centre},
};

UINT DrawFlags(Align align) {
    UINT flags = DT_WORDBREAK | DT_VCENTER;
    if (align == Align::Centre) {
        flags |= DT_CENTER;
    } else if (align == Align::Right) {
        flags |= DT_RIGHT;
    }
    return flags;
}

Link LinkAt(POINT client) {
    if (PtInRect(&kWebsiteLink, client)) {
        return Link::Website;
    }
    if (PtInRect(&kEmailLink, client)) {
        return Link::Email;
    }
    return Link::None;
}

bool InDragBand(POINT client, int clientWidth) {
    const RECT band = {0, 0, clientWidth, kDragBandHeight};
    return PtInRect(&band, client) != FALSE;
}

std::wstring FileVersionOf(const wchar_t* path) {
    CFileVersionInfo info;
    if (!info.Open(path)) {
        return {};
    }
    wchar_t value[kVersionStringCapacity] = {};
    if (!info.QueryStringValue(L"FileVersion", value)) {
        return {};
    }
    return value;
}

}  // namespace about
