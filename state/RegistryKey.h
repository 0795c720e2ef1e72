// The holder through which every registry access goes. A read-only holder never
// creates a key; a writer creates a missing key. Values read from the registry may be
// damaged or written by another version, so every reader checks sizes and types and
// answers "missing" for what it cannot use.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Stored texts are short (dates, counts, percentages); a longer value is not ours.
inline constexpr std::size_t kMaxStoredTextCharacters = 4096;
// Largest binary or numeric value a reader accepts.
inline constexpr std::size_t kMaxStoredBinaryBytes = 1024;

inline constexpr REGSAM kRegistryReadAccess = KEY_READ;
inline constexpr REGSAM kRegistryReadWriteAccess = KEY_READ | KEY_WRITE;

class RegistryKey {
  public:
    explicit RegistryKey(REGSAM access) : access_(access) {}
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens `path` below `root` with the holder's access; when that fails and the
    // access is not exactly KEY_READ, creates the key. Closes any key opened before.
    bool OpenOrCreate(HKEY root, const std::wstring& path);
    void Close();

    bool IsOpen() const { return key_ != nullptr; }
    HKEY Handle() const { return key_; }
    const std::wstring& Path() const { return path_; }

    bool ValueExists(const wchar_t* name) const;

    // A REG_SZ or REG_EXPAND_SZ value, unexpanded, up to its first terminator; an odd
    // trailing byte is dropped. nullopt for another type, a missing value or one longer
    // than kMaxStoredTextCharacters.
    std::optional<std::wstring> ReadString(const wchar_t* name) const;

    // The first four bytes of a value of any type, little-endian; nullopt when the value
    // is missing or shorter than four bytes.
    std::optional<std::uint32_t> ReadDword(const wchar_t* name) const;

    // The raw bytes of a value of any type, at most kMaxStoredBinaryBytes.
    std::optional<std::vector<BYTE>> ReadBytes(const wchar_t* name) const;

    bool WriteString(const wchar_t* name, const std::wstring& text) const;
    bool WriteDword(const wchar_t* name, std::uint32_t value) const;
    bool WriteBinary(const wchar_t* name, const void* data, std::size_t size) const;

  private:
    // Reads value `name` whole when it is at most `limit` bytes; the type goes to *type.
    std::optional<std::vector<BYTE>> ReadRaw(const wchar_t* name, std::size_t limit,
                                             DWORD* type) const;

    REGSAM access_;
    HKEY key_ = nullptr;
    std::wstring path_;
};
