// The vendor's addresses. The site and the support e-mail address are build-time
// constants (VANTREL_VENDOR_SITE, VANTREL_SUPPORT_EMAIL).
#pragma once

#include <string>

// The site's address with its scheme, without a trailing slash.
std::wstring VendorSiteAddress();
// The help page: "/help/Vantrel/" on the vendor's site.
std::wstring HelpPageAddress();
// The site as the About window shows it: without its scheme.
std::wstring VendorSiteDisplayAddress();
// The support e-mail address.
std::wstring SupportEmailAddress();
// The link that opens a mail to support: "mailto:", the address, "?subject=vantrel".
std::wstring SupportMailLink();

// `address` without a leading "scheme://".
std::wstring WithoutScheme(const std::wstring& address);
// A well-formed mailto link with a subject (no blanks around the question mark).
std::wstring MailtoLink(const std::wstring& address, const std::wstring& subject);
