// The tray menu, the hand cursor, the icon, the version resource and the
// manifest, read from the module the way Windows and the program read them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "res/resource.h"

namespace {

HMODULE Module() {
    return GetModuleHandleW(nullptr);
}

std::string_view ResourceBytes(const wchar_t* type, int id) {
    HRSRC found = FindResourceW(Module(), MAKEINTRESOURCEW(id), type);
    if (found == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(Module(), found);
    return {static_cast<const char*>(LockResource(loaded)), SizeofResource(Module(), found)};
}

TEST(TrayMenu, HasRestoreAboutSeparatorExitInOrder) {
    HMENU menu = LoadMenuW(Module(), MAKEINTRESOURCEW(IDR_TRAY_MENU));
    ASSERT_NE(nullptr, menu);
    HMENU items = GetSubMenu(menu, 0);
    ASSERT_NE(nullptr, items);
    struct Item {
        UINT id;
        const wchar_t* text;  // nullptr for the separator
    };
    const Item expected[] = {{ID_TRAY_RESTORE, L"Restore"},
                             {ID_TRAY_ABOUT, L"About Vantrel"},
                             {0, nullptr},
                             {ID_TRAY_EXIT, L"Exit"}};
    ASSERT_EQ(4, GetMenuItemCount(items));
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        wchar_t text[64] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 64;
        ASSERT_TRUE(GetMenuItemInfoW(items, static_cast<UINT>(i), TRUE, &info));
        if (expected[i].text == nullptr) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR);
        } else {
            EXPECT_EQ(expected[i].id, info.wID);
            EXPECT_STREQ(expected[i].text, text);
        }
    }
    DestroyMenu(menu);
}

TEST(HandCursor, IsAMonochromePointerWithItsHotSpotOnTheFingertip) {
    HCURSOR cursor = LoadCursorW(Module(), MAKEINTRESOURCEW(IDC_HAND_CURSOR));
    ASSERT_NE(nullptr, cursor);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(7u, info.xHotspot);
    EXPECT_EQ(0u, info.yHotspot);
    EXPECT_EQ(nullptr, info.hbmColor);  // monochrome: the mask holds AND and XOR halves
    BITMAP mask{};
    ASSERT_TRUE(GetObjectW(info.hbmMask, sizeof(mask), &mask));
    EXPECT_EQ(32, mask.bmWidth);
    EXPECT_EQ(64, mask.bmHeight);
    std::vector<uint8_t> bits(static_cast<size_t>(mask.bmWidthBytes) * mask.bmHeight);
    ASSERT_GT(GetBitmapBits(info.hbmMask, static_cast<LONG>(bits.size()), bits.data()), 0);
    auto transparent = [&](int x, int y) {  // AND mask, top half, 1 = screen shows through
        return (bits[static_cast<size_t>(y * mask.bmWidthBytes + x / 8)] & (0x80 >> (x % 8))) != 0;
    };
    EXPECT_FALSE(transparent(7, 0)) << "the hot spot must be on the hand";
    EXPECT_TRUE(transparent(0, 0));
    EXPECT_TRUE(transparent(31, 31));
    DeleteObject(info.hbmMask);
}

#pragma pack(push, 2)
struct IconDirectoryEntry {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
struct IconDirectory {
    WORD reserved;
    WORD type;
    WORD count;
    IconDirectoryEntry entries[1];
};
#pragma pack(pop)

TEST(AppIcon, CarriesSmallAndLarge32BitImages) {
    const std::string_view group = ResourceBytes(RT_GROUP_ICON, IDI_APP);
    ASSERT_GE(group.size(), sizeof(IconDirectory));
    const auto* directory = reinterpret_cast<const IconDirectory*>(group.data());
    ASSERT_EQ(2, directory->count);
    ASSERT_GE(group.size(), 6 + 14u * directory->count);
    EXPECT_EQ(16, directory->entries[0].width);
    EXPECT_EQ(32, directory->entries[1].width);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(32, directory->entries[i].bitCount);
    }
    for (int size : {16, 32}) {
        HANDLE icon = LoadImageW(Module(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, 0);
        EXPECT_NE(nullptr, icon) << size;
        DestroyIcon(static_cast<HICON>(icon));
    }
}

std::wstring VersionValue(const std::vector<char>& block, const wchar_t* path) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), path, &value, &length) || length == 0) {
        return L"<missing>";
    }
    return static_cast<const wchar_t*>(value);
}

TEST(VersionResource, NamesTheProductAndVersionInUsEnglish) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));

    const struct {
        const wchar_t* name;
        const wchar_t* value;
    } strings[] = {
        {L"FileVersion", L"1.0.0.1"},          {L"ProductVersion", L"1.0.0.1"},
        {L"CompanyName", L"Brenlow"},          {L"ProductName", L"Vantrel"},
        {L"OriginalFilename", L"vantrel.exe"}, {L"InternalName", L"Vantrel"},
    };
    for (const auto& expected : strings) {
        const std::wstring sub = std::wstring(L"\\StringFileInfo\\040904B0\\") + expected.name;
        EXPECT_EQ(expected.value, VersionValue(block, sub.c_str()));
    }
    EXPECT_NE(L"<missing>", VersionValue(block, L"\\StringFileInfo\\040904B0\\FileDescription"));
    EXPECT_NE(L"<missing>", VersionValue(block, L"\\StringFileInfo\\040904B0\\LegalCopyright"));

    void* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &translation, &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x0409, static_cast<const WORD*>(translation)[0]);
    EXPECT_EQ(0x04B0, static_cast<const WORD*>(translation)[1]);

    void* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &fixed, &length));
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    EXPECT_EQ(0xFEEF04BDu, info->dwSignature);
    EXPECT_EQ(MAKELONG(0, 1), static_cast<LONG>(info->dwFileVersionMS));  // 1.0
    EXPECT_EQ(MAKELONG(1, 0), static_cast<LONG>(info->dwFileVersionLS));  // .0.1
}

TEST(Manifest, AsksForThemedControlsWithoutElevationOrNewerVersionReports) {
    const std::string_view manifest = ResourceBytes(RT_MANIFEST, 1);
    ASSERT_FALSE(manifest.empty());
    const std::string_view present[] = {
        R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")",
        R"(level="asInvoker")",
        R"(<dpiAware)",
    };
    for (std::string_view text : present) {
        EXPECT_NE(std::string_view::npos, manifest.find(text)) << text;
    }
    // Declaring Windows 8.1 or 10 would make the version query answer 10 and
    // silence the elevation rule that looks for major version 6.
    const std::string_view absent[] = {
        "requireAdministrator", "highestAvailable",
        "1f676c76-80e1-4239-95bb-83d0f6d0da78",  // Windows 8.1
        "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a",  // Windows 10 and 11
    };
    for (std::string_view text : absent) {
        EXPECT_EQ(std::string_view::npos, manifest.find(text)) << text;
    }
}

}  // namespace
