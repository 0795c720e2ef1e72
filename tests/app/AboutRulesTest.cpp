// What the About window shows and where it reacts: the file version read from a real
// version resource, the vendor's links, the link areas and the drag band.
#include "app/AboutRules.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/VendorSite.h"
#include "tests/ui/format/TempFolder.h"

namespace {

// The version fixture DLL (FileVersion 1.2.30.400 in the 040904B0 block), built by
// the ui tests.
std::wstring FixturePath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.resize(path.find_last_of(L'\\') + 1);
    return path + VANTREL_VERSION_FIXTURE_RELATIVE;
}

TEST(AboutVersion, ReadsTheFileVersionOfAVersionResource) {
    EXPECT_EQ(L"1.2.30.400", about::FileVersionOf(FixturePath().c_str()));

    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::string expected = VANTREL_VERSION_TEXT;
    EXPECT_EQ(std::wstring(expected.begin(), expected.end()), about::FileVersionOf(self))
        << "the program's own version resource";
}

TEST(AboutVersion, IsEmptyWithoutAReadableVersionResource) {
    TempFolder folder;
    const std::wstring text = folder.Path() + L"\\plain.txt";
    HANDLE file = CreateFileW(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, "no resources", 12, &written, nullptr);
    CloseHandle(file);
    EXPECT_EQ(L"", about::FileVersionOf(text.c_str()));
    EXPECT_EQ(L"", about::FileVersionOf((folder.Path() + L"\\missing.exe").c_str()));
    EXPECT_EQ(L"", about::FileVersionOf(nullptr));
}

TEST(AboutLinks, AreWellFormed) {
    EXPECT_EQ(L"mailto:support@brenlow.example?subject=vantrel",
              MailtoLink(L"support@brenlow.example", L"vantrel"));
    const std::wstring mail = SupportMailLink();
    EXPECT_EQ(0u, mail.find(L"mailto:" + SupportEmailAddress()));
    EXPECT_EQ(mail.size() - 16, mail.find(L"?subject=vantrel"));
    EXPECT_EQ(std::wstring::npos, mail.find(L' ')) << "no blanks in the link";

    EXPECT_EQ(L"www.brenlow.example", WithoutScheme(L"https://www.brenlow.example"));
    EXPECT_EQ(L"www.brenlow.example", WithoutScheme(L"www.brenlow.example"));
    EXPECT_EQ(std::wstring::npos, VendorSiteDisplayAddress().find(L"://"));
    EXPECT_NE(std::wstring::npos, VendorSiteAddress().find(VendorSiteDisplayAddress()));
}

TEST(AboutMouse, LinksAndDragBand) {
    const struct {
        POINT p;
        about::Link link;
        bool drag;
    } cases[] = {
        {{236, 127}, about::Link::Website, false}, {{385, 146}, about::Link::Website, false},
        {{386, 140}, about::Link::None, false},    {{230, 147}, about::Link::Email, false},
        {{386, 166}, about::Link::Email, false},   {{217, 167}, about::Link::None, false},
        {{0, 0}, about::Link::None, true},         {{536, 47}, about::Link::None, true},
        {{100, 48}, about::Link::None, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.link, about::LinkAt(c.p)) << c.p.x << "," << c.p.y;
        EXPECT_EQ(c.drag, about::InDragBand(c.p, about::kWidth)) << c.p.x << "," << c.p.y;
    }
}

}  // namespace
