// The key holder against the real registry, with values as another version or a
// damaged hive might have left them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "state/RegistryKey.h"
#include "tests/state/TestRegistry.h"

namespace {

std::vector<BYTE> Bytes(std::initializer_list<BYTE> bytes) {
    return bytes;
}

std::vector<BYTE> WideBytes(const std::wstring& text, std::size_t extraBytes = 0) {
    std::vector<BYTE> bytes(text.size() * sizeof(wchar_t) + extraBytes, 0x41);
    memcpy(bytes.data(), text.data(), text.size() * sizeof(wchar_t));
    return bytes;
}

TEST(RegistryKey, ReadersNeverCreateKeysAndWritersDo) {
    TestRegistryPath root;
    const std::wstring path = root.Path() + L"\\Made";

    RegistryKey reader(kRegistryReadAccess);
    EXPECT_FALSE(reader.OpenOrCreate(HKEY_CURRENT_USER, path));
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_FALSE(KeyExists(path));

    RegistryKey writer(kRegistryReadWriteAccess);
    EXPECT_TRUE(writer.OpenOrCreate(HKEY_CURRENT_USER, path));
    EXPECT_TRUE(KeyExists(path));
    EXPECT_EQ(path, writer.Path());
    writer.Close();
    EXPECT_FALSE(writer.IsOpen());

    EXPECT_TRUE(reader.OpenOrCreate(HKEY_CURRENT_USER, path));
}

TEST(RegistryKey, WritesStringsWithTheirTerminatorCounted) {
    TestRegistryPath root;
    RegistryKey writer(kRegistryReadWriteAccess);
    ASSERT_TRUE(writer.OpenOrCreate(HKEY_CURRENT_USER, root.Path()));
    for (const std::wstring& text :
         {std::wstring(), std::wstring(L"0.00%"), std::wstring(L" 12.50% ")}) {
        ASSERT_TRUE(writer.WriteString(L"Text", text));
        const std::optional<StoredValue> stored = ReadStored(root.Path(), L"Text");
        ASSERT_TRUE(stored.has_value());
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored->type);
        EXPECT_EQ((text.size() + 1) * 2, stored->bytes.size());
        EXPECT_EQ(text, writer.ReadString(L"Text").value_or(L"<missing>"));
    }
}

TEST(RegistryKey, ReadsStoredTextSafely) {
    TestRegistryPath root;
    const std::wstring longest(kMaxStoredTextCharacters, L'w');
    const std::wstring tooLong(kMaxStoredTextCharacters + 1, L'w');
    const struct {
        const char* name;
        DWORD type;
        std::vector<BYTE> data;
        std::optional<std::wstring> expected;
    } cases[] = {
        {"terminated", REG_SZ, WideBytes(std::wstring(L"abc", 4)), L"abc"},
        {"no terminator", REG_SZ, WideBytes(L"abc"), L"abc"},
        {"odd byte length", REG_SZ, WideBytes(L"abc", 1), L"abc"},
        {"single byte", REG_SZ, Bytes({0x41}), L""},
        {"no bytes", REG_SZ, {}, L""},
        {"embedded terminator", REG_SZ, WideBytes(std::wstring(L"ab\0cd", 5)), L"ab"},
        {"expandable, read literally", REG_EXPAND_SZ, WideBytes(std::wstring(L"%TEMP%\\x", 9)),
         L"%TEMP%\\x"},
        {"longest accepted", REG_SZ, WideBytes(longest), longest},
        {"one character too long", REG_SZ, WideBytes(tooLong), std::nullopt},
        {"far too long", REG_SZ, WideBytes(std::wstring(100000, L'z')), std::nullopt},
        {"multi-string", REG_MULTI_SZ, WideBytes(std::wstring(L"a\0b\0", 5)), std::nullopt},
        {"number", REG_DWORD, Bytes({1, 0, 0, 0}), std::nullopt},
        {"binary", REG_BINARY, WideBytes(L"abc"), std::nullopt},
    };
    RegistryKey reader(kRegistryReadAccess);
    for (const auto& c : cases) {
        PlantValue(root.Path(), L"Value", c.type, c.data.data(), c.data.size());
        ASSERT_TRUE(reader.OpenOrCreate(HKEY_CURRENT_USER, root.Path()));
        EXPECT_EQ(c.expected, reader.ReadString(L"Value")) << c.name;
    }
    EXPECT_EQ(std::nullopt, reader.ReadString(L"Absent"));
}

TEST(RegistryKey, ReadsTheFirstFourBytesOfAnyNumber) {
    TestRegistryPath root;
    const struct {
        const char* name;
        DWORD type;
        std::vector<BYTE> data;
        std::optional<std::uint32_t> expected;
    } cases[] = {
        {"dword", REG_DWORD, Bytes({0x78, 0x56, 0x34, 0x12}), 0x12345678u},
        {"eight bytes", REG_QWORD, Bytes({7, 0, 0, 0, 9, 9, 9, 9}), 7u},
        {"string of another version", REG_SZ, WideBytes(std::wstring(L"1", 2)), 0x31u},
        {"three bytes", REG_DWORD, Bytes({1, 2, 3}), std::nullopt},
        {"no bytes", REG_BINARY, {}, std::nullopt},
        {"huge", REG_BINARY, std::vector<BYTE>(100000, 1), std::nullopt},
    };
    RegistryKey reader(kRegistryReadAccess);
    for (const auto& c : cases) {
        PlantValue(root.Path(), L"Number", c.type, c.data.data(), c.data.size());
        ASSERT_TRUE(reader.OpenOrCreate(HKEY_CURRENT_USER, root.Path()));
        EXPECT_EQ(c.expected, reader.ReadDword(L"Number")) << c.name;
    }
    EXPECT_EQ(std::nullopt, reader.ReadDword(L"Absent"));
}

TEST(RegistryKey, AClosedHolderReadsAndWritesNothing) {
    RegistryKey key(kRegistryReadWriteAccess);
    EXPECT_FALSE(key.ValueExists(L"x"));
    EXPECT_EQ(std::nullopt, key.ReadString(L"x"));
    EXPECT_EQ(std::nullopt, key.ReadDword(L"x"));
    EXPECT_FALSE(key.WriteString(L"x", L"y"));
    EXPECT_FALSE(key.WriteDword(L"x", 1));
}

}  // namespace
