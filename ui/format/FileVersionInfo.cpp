#include "ui/format/FileVersionInfo.h"

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;

}  // namespace

BOOL CFileVersionInfo::Open(const wchar_t* path) {
    if (path == nullptr) {
        return FALSE;
    }
    Reset();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) {
        return FALSE;
    }
    resource_ = std::make_unique<BYTE[]>(size);
    if (!GetFileVersionInfoW(path, 0, size, resource_.get())) {
        Reset();
        return FALSE;
    }

    void* fixed = nullptr;
    UINT fixedLength = 0;
    if (VerQueryValueW(resource_.get(), L"\\", &fixed, &fixedLength) && fixed != nullptr &&
        fixedLength >= sizeof(VS_FIXEDFILEINFO)) {
        fixedInfo_ = *static_cast<const VS_FIXEDFILEINFO*>(fixed);
        valid_ = fixedInfo_.dwSignature == kFixedInfoSignature;
    }

    void* table = nullptr;
    UINT tableLength = 0;
    if (VerQueryValueW(resource_.get(), L"\\VarFileInfo\\Translation", &table, &tableLength) &&
        table != nullptr) {
        translations_ = static_cast<const DWORD*>(table);
        translationCount_ = tableLength / sizeof(DWORD);
    }
    if (!valid_ || translations_ == nullptr) {
        Reset();
    }
    return valid_;
}

BOOL CFileVersionInfo::QueryStringValue(const wchar_t* name, wchar_t* value) const {
    if (value != nullptr) {
        value[0] = L'\0';
    }
    if (!valid_ || name == nullptr || value == nullptr) {
        return FALSE;
    }
    // Low word: language; high word: code page.
    const DWORD translation =
        translationIndex_ < translationCount_ ? translations_[translationIndex_] : 0;
    wchar_t subBlock[64] = {};
    _snwprintf_s(subBlock, std::size(subBlock), _TRUNCATE, L"\\StringFileInfo\\%04X%04X\\",
                 LOWORD(translation), HIWORD(translation));
    const std::wstring query = std::wstring(subBlock) + name;

    void* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(resource_.get(), query.c_str(), &text, &length) || text == nullptr) {
        return FALSE;
    }
    // The length comes from the file: copy no further than it, nor past the output.
    const wchar_t* source = static_cast<const wchar_t*>(text);
    std::size_t count = wcsnlen(source, length);
    if (count > kVersionStringCapacity - 1) {
        count = kVersionStringCapacity - 1;
    }
    wmemcpy(value, source, count);
    value[count] = L'\0';
    return TRUE;
}

void CFileVersionInfo::Reset() {
    fixedInfo_ = {};
    translations_ = nullptr;
    translationIndex_ = 0;
    translationCount_ = 0;
    valid_ = FALSE;
    resource_.reset();
}
