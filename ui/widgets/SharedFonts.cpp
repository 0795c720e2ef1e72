#include "ui/widgets/SharedFonts.h"

namespace {

// One shared font: how it is made and the object that owns it. The objects are
// written only by BuildSharedFonts; everyone else sees them through the const
// references of the header.
struct SharedFont {
    const wchar_t* face;
    int pixelHeight;  // character (em) height, requested as a negative height
    int weight;
    bool underline;
    fw::Font font;
};

constexpr const wchar_t* kTahoma = L"Tahoma";
constexpr const wchar_t* kSegoe = L"Segoe UI";

SharedFont gFonts[] = {
    {kTahoma, 10, FW_BOLD, false, {}},        // 0  FontTahoma10Bold
    {kTahoma, 11, FW_NORMAL, false, {}},      // 1  FontTahoma11
    {kTahoma, 11, FW_BOLD, false, {}},        // 2  FontTahoma11Bold
    {kTahoma, 11, FW_BOLD, true, {}},         // 3  FontTahoma11BoldUnderline
    {kTahoma, 12, FW_NORMAL, true, {}},       // 4  FontTahoma12Underline
    {kTahoma, 12, FW_BOLD, false, {}},        // 5  FontTahoma12Bold
    {kTahoma, 14, FW_BOLD, false, {}},        // 6  FontTahoma14Bold
    {kTahoma, 16, FW_NORMAL, false, {}},      // 7  FontTahoma16
    {kTahoma, 16, FW_BOLD, false, {}},        // 8  FontTahoma16Bold
    {kSegoe, 12, FW_NORMAL, false, {}},       // 9  FontSegoe12
    {kSegoe, 13, FW_NORMAL, false, {}},       // 10 FontSegoe13
    {kSegoe, 13, FW_BOLD, false, {}},         // 11 FontSegoe13Bold
    {kSegoe, 14, FW_NORMAL, false, {}},       // 12 FontSegoe14
    {kSegoe, 14, FW_BOLD, false, {}},         // 13 FontSegoe14Bold
    {kSegoe, 15, FW_NORMAL, false, {}},       // 14 FontSegoe15
    {kSegoe, 16, FW_NORMAL, false, {}},       // 15 FontSegoe16
    {kSegoe, 16, FW_BOLD, false, {}},         // 16 FontSegoe16Bold
    {kSegoe, 17, FW_NORMAL, false, {}},       // 17 FontSegoe17
    {kSegoe, 18, FW_NORMAL, false, {}},       // 18 FontSegoe18
    {L"segoe UI", 20, FW_NORMAL, false, {}},  // 19 FontSegoe20 (face names ignore case)
};

BYTE RunningFontQuality() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(&version)) {
        // Every Windows this program runs on is 5.1 or later.
        return CLEARTYPE_QUALITY;
    }
    return FontQualityFor(version.dwMajorVersion, version.dwMinorVersion);
}

}  // namespace

const fw::Font& FontTahoma10Bold = gFonts[0].font;
const fw::Font& FontTahoma11 = gFonts[1].font;
const fw::Font& FontTahoma11Bold = gFonts[2].font;
const fw::Font& FontTahoma11BoldUnderline = gFonts[3].font;
const fw::Font& FontTahoma12Underline = gFonts[4].font;
const fw::Font& FontTahoma12Bold = gFonts[5].font;
const fw::Font& FontTahoma14Bold = gFonts[6].font;
const fw::Font& FontTahoma16 = gFonts[7].font;
const fw::Font& FontTahoma16Bold = gFonts[8].font;
const fw::Font& FontSegoe12 = gFonts[9].font;
const fw::Font& FontSegoe13 = gFonts[10].font;
const fw::Font& FontSegoe13Bold = gFonts[11].font;
const fw::Font& FontSegoe14 = gFonts[12].font;
const fw::Font& FontSegoe14Bold = gFonts[13].font;
const fw::Font& FontSegoe15 = gFonts[14].font;
const fw::Font& FontSegoe16 = gFonts[15].font;
const fw::Font& FontSegoe16Bold = gFonts[16].font;
const fw::Font& FontSegoe17 = gFonts[17].font;
const fw::Font& FontSegoe18 = gFonts[18].font;
const fw::Font& FontSegoe20 = gFonts[19].font;

BYTE FontQualityFor(DWORD majorVersion, DWORD minorVersion) {
    const bool xpOrLater = majorVersion > 5 || (majorVersion == 5 && minorVersion > 0);
    return xpOrLater ? CLEARTYPE_QUALITY : PROOF_QUALITY;
}

void BuildSharedFonts() {
    static bool built = false;
    if (built) {
        return;
    }
    built = true;

    const BYTE quality = RunningFontQuality();
    for (SharedFont& shared : gFonts) {
        shared.font.Reset(CreateFontW(-shared.pixelHeight, 0, 0, 0, shared.weight, FALSE,
                                      shared.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, quality,
                                      DEFAULT_PITCH | FF_SWISS, shared.face));
    }
}
