#include "ui/widgets/SharedFonts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct QualityCase {
    DWORD major;
    DWORD minor;
    BYTE expected;
};

constexpr QualityCase kQualityCases[] = {
    {4, 0, PROOF_QUALITY},     {4, 90, PROOF_QUALITY},     {5, 0, PROOF_QUALITY},
    {5, 1, CLEARTYPE_QUALITY}, {5, 2, CLEARTYPE_QUALITY},  {6, 0, CLEARTYPE_QUALITY},
    {6, 1, CLEARTYPE_QUALITY}, {10, 0, CLEARTYPE_QUALITY},
};

TEST(FontQualityFor, ProofUpTo50AndClearTypeFrom51) {
    for (const QualityCase& c : kQualityCases) {
        EXPECT_EQ(FontQualityFor(c.major, c.minor), c.expected) << c.major << "." << c.minor;
    }
}

struct FontCase {
    const char* name;
    const fw::Font& font;
    const wchar_t* face;
    LONG pixelHeight;
    LONG weight;
    bool underline;
};

const FontCase kFontCases[] = {
    {"FontTahoma10Bold", FontTahoma10Bold, L"Tahoma", 10, 700, false},
    {"FontTahoma11", FontTahoma11, L"Tahoma", 11, 400, false},
    {"FontTahoma11Bold", FontTahoma11Bold, L"Tahoma", 11, 700, false},
    {"FontTahoma11BoldUnderline", FontTahoma11BoldUnderline, L"Tahoma", 11, 700, true},
    {"FontTahoma12Underline", FontTahoma12Underline, L"Tahoma", 12, 400, true},
    {"FontTahoma12Bold", FontTahoma12Bold, L"Tahoma", 12, 700, false},
    {"FontTahoma14Bold", FontTahoma14Bold, L"Tahoma", 14, 700, false},
    {"FontTahoma16", FontTahoma16, L"Tahoma", 16, 400, false},
    {"FontTahoma16Bold", FontTahoma16Bold, L"Tahoma", 16, 700, false},
    {"FontSegoe12", FontSegoe12, L"Segoe UI", 12, 400, false},
    {"FontSegoe13", FontSegoe13, L"Segoe UI", 13, 400, false},
    {"FontSegoe13Bold", FontSegoe13Bold, L"Segoe UI", 13, 700, false},
    {"FontSegoe14", FontSegoe14, L"Segoe UI", 14, 400, false},
    {"FontSegoe14Bold", FontSegoe14Bold, L"Segoe UI", 14, 700, false},
    {"FontSegoe15", FontSegoe15, L"Segoe UI", 15, 400, false},
    {"FontSegoe16", FontSegoe16, L"Segoe UI", 16, 400, false},
    {"FontSegoe16Bold", FontSegoe16Bold, L"Segoe UI", 16, 700, false},
    {"FontSegoe17", FontSegoe17, L"Segoe UI", 17, 400, false},
    {"FontSegoe18", FontSegoe18, L"Segoe UI", 18, 400, false},
    {"FontSegoe20", FontSegoe20, L"Segoe UI", 20, 400, false},
};

LOGFONTW Describe(const fw::Font& font) {
    LOGFONTW description{};
    GetObjectW(font.Get(), sizeof description, &description);
    return description;
}

TEST(SharedFonts, EveryFontIsBuiltAsListed) {
    BuildSharedFonts();
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExW(&version));
    const BYTE quality = FontQualityFor(version.dwMajorVersion, version.dwMinorVersion);

    for (const FontCase& c : kFontCases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.font) << "not created";
        const LOGFONTW f = Describe(c.font);
        EXPECT_EQ(_wcsicmp(f.lfFaceName, c.face), 0);
        EXPECT_EQ(f.lfHeight, -c.pixelHeight) << "a character height, not a cell height";
        EXPECT_EQ(f.lfWidth, 0);
        EXPECT_EQ(f.lfEscapement, 0);
        EXPECT_EQ(f.lfOrientation, 0);
        EXPECT_EQ(f.lfWeight, c.weight);
        EXPECT_EQ(f.lfItalic, 0);
        EXPECT_EQ(f.lfUnderline != 0, c.underline);
        EXPECT_EQ(f.lfStrikeOut, 0);
        EXPECT_EQ(f.lfCharSet, DEFAULT_CHARSET);
        EXPECT_EQ(f.lfOutPrecision, OUT_DEFAULT_PRECIS);
        EXPECT_EQ(f.lfClipPrecision, CLIP_DEFAULT_PRECIS);
        EXPECT_EQ(f.lfQuality, quality);
        EXPECT_EQ(f.lfPitchAndFamily, DEFAULT_PITCH | FF_SWISS);
    }
}

TEST(SharedFonts, ASecondBuildKeepsTheFirstFonts) {
    BuildSharedFonts();
    HFONT before[std::size(kFontCases)];
    for (size_t i = 0; i < std::size(kFontCases); ++i) {
        before[i] = kFontCases[i].font.Get();
    }
    BuildSharedFonts();
    for (size_t i = 0; i < std::size(kFontCases); ++i) {
        EXPECT_EQ(kFontCases[i].font.Get(), before[i]) << kFontCases[i].name;
        // Still a live font: a rebuild that deleted it would leave GetObject nothing to read.
        LOGFONTW f{};
        EXPECT_EQ(GetObjectW(before[i], sizeof f, &f), static_cast<int>(sizeof f))
            << kFontCases[i].name;
    }
}

}  // namespace
