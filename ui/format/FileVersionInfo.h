// The version resource of a file: its fixed record and its string values.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

// Capacity in characters of the buffer that QueryStringValue fills.
inline constexpr std::size_t kVersionStringCapacity = 1024;

class CFileVersionInfo {
  public:
    CFileVersionInfo() = default;
    virtual ~CFileVersionInfo() = default;
    CFileVersionInfo(const CFileVersionInfo&) = delete;
    CFileVersionInfo& operator=(const CFileVersionInfo&) = delete;

    // Reads the version resource of `path`. Valid when the resource has a fixed record
    // with the right signature and a translation table; a null path or a file without
    // a version resource leaves the object empty and invalid. Returns the valid flag.
    BOOL Open(const wchar_t* path);

    // Copies string value `name` (for example "FileVersion") of the first translation
    // into `value` (kVersionStringCapacity characters, always terminated). The output is
    // emptied first. Nonzero on success.
    BOOL QueryStringValue(const wchar_t* name, wchar_t* value) const;

    void Reset();

    BOOL IsValid() const { return valid_; }
    const VS_FIXEDFILEINFO& FixedInfo() const { return fixedInfo_; }
    DWORD TranslationCount() const { return translationCount_; }

  private:
    VS_FIXEDFILEINFO fixedInfo_ = {};
    std::unique_ptr<BYTE[]> resource_;
    // Points into resource_: pairs of 16-bit language and code page.
    const DWORD* translations_ = nullptr;
    DWORD translationIndex_ = 0;
    DWORD translationCount_ = 0;
    BOOL valid_ = FALSE;
};
