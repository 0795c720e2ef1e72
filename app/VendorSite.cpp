#include "app/VendorSite.h"

#ifndef VANTREL_VENDOR_SITE
#error "VANTREL_VENDOR_SITE is set by the build"
#endif
#ifndef VANTREL_SUPPORT_EMAIL
#error "VANTREL_SUPPORT_EMAIL is set by the build"
#endif

#define VANTREL_WIDEN2(text) L##text
#define VANTREL_WIDEN(text) VANTREL_WIDEN2(text)

namespace {
constexpr wchar_t kMailSubject[] = L"vantrel";
}  // namespace

std::wstring VendorSiteAddress() {
    return VANTREL_WIDEN(VANTREL_VENDOR_SITE);
}

std::wstring HelpPageAddress() {
    return VendorSiteAddress() + L"/help/Vantrel/";
}

std::wstring VendorSiteDisplayAddress() {
    return WithoutScheme(VendorSiteAddress());
}

std::wstring SupportEmailAddress() {
    return VANTREL_WIDEN(VANTREL_SUPPORT_EMAIL);
}

std::wstring SupportMailLink() {
    return MailtoLink(SupportEmailAddress(), kMailSubject);
}

std::wstring WithoutScheme(const std::wstring& address) {
    const std::size_t separator = address.find(L"://");
    return separator == std::wstring::npos ? address : address.substr(separator + 3);
}

std::wstring MailtoLink(const std::wstring& address, const std::wstring& subject) {
    return L"mailto:" + address + L"?subject=" + subject;
}
