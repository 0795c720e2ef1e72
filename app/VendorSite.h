// The vendor's web addresses. The site is a build-time constant (VANTREL_VENDOR_SITE).
#pragma once

#include <string>

// The site's address with its scheme, without a trailing slash.
std::wstring VendorSiteAddress();
// The help page: "/help/Vantrel/" on the vendor's site.
std::wstring HelpPageAddress();
