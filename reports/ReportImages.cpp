#include "reports/ReportImages.h"

#include <cstring>
#include <iterator>
#include <memory>

#include "reports/ReportFile.h"
#include "res/resource.h"
#include "ui/format/Paths.h"

namespace {

constexpr ReportImage kPageImages[] = {
    {L"REPORT_HEADER_TOP_MIDDLE.JPG", L"Report_header_top_middle.jpg"},
    {L"REPORT_HEADER_LEFT_IMAGE.JPG", L"Report_header_left_image.jpg"},
    {L"REPORT_HEADER_LEFTTEXT.JPG", L"Report_header_leftText.jpg"},
    {L"REPORT_HEADER_TOP_RIGHT.JPG", L"Report_header_top_right.jpg"},
    {L"LEFTMENU_BGSINGLEPX.JPG", L"leftmenu_bgSinglepx.jpg"},
    {L"ARROW_LEFTMENU.JPG", L"arrow_leftmenu.jpg"},
    {L"HEADING_BG.JPG", L"heading_BG.jpg"},
    {L"FOOTER_MIDDLE.JPG", L"footer_middle.jpg"},
};

struct Bytes {
    const void* data = nullptr;
    DWORD size = 0;
};

Bytes ImageResource(HMODULE module, const wchar_t* name) {
    HRSRC found = FindResourceW(module, name, MAKEINTRESOURCEW(RT_REPORT_IMAGE));
    if (found == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr || size == 0) {
        return {};
    }
    return {data, size};
}

bool FileHolds(const std::wstring& path, const Bytes& expected) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size = {};
    bool same = GetFileSizeEx(file, &size) && size.QuadPart == expected.size;
    if (same) {
        const auto content = std::make_unique<char[]>(expected.size);
        DWORD read = 0;
        same = ReadFile(file, content.get(), expected.size, &read, nullptr) &&
               read == expected.size && std::memcmp(content.get(), expected.data, read) == 0;
    }
    CloseHandle(file);
    return same;
}

bool WriteAll(HANDLE file, const Bytes& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data, bytes.size, &written, nullptr) && written == bytes.size;
}

}  // namespace

std::span<const ReportImage> PageImages() {
    return kPageImages;
}

bool PlaceReportImages(const std::wstring& folder, HMODULE module) {
    bool allPlaced = true;
    for (const ReportImage& image : kPageImages) {
        const Bytes bytes = ImageResource(module, image.resourceName);
        if (bytes.data == nullptr) {
            allPlaced = false;
            continue;
        }
        std::wstring path = folder;
        AppendPathComponent(path, image.fileName);
        if (FileHolds(path, bytes)) {
            continue;
        }
        if (!ReplaceFileThroughTemporary(path, bytes.size,
                                         [&bytes](HANDLE file) { WriteAll(file, bytes); })) {
            allPlaced = false;
        }
    }
    return allPlaced;
}
