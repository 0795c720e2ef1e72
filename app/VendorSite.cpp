#include "app/VendorSite.h"

#ifndef VANTREL_VENDOR_SITE
#error "VANTREL_VENDOR_SITE is set by the build"
#endif

#define VANTREL_WIDEN2(text) L##text
#define VANTREL_WIDEN(text) VANTREL_WIDEN2(text)

std::wstring VendorSiteAddress() {
    return VANTREL_WIDEN(VANTREL_VENDOR_SITE);
}

std::wstring HelpPageAddress() {
    return VendorSiteAddress() + L"/help/Vantrel/";
}
