// Report text written to a real file and read back byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/format/TempFolder.h"
#include "ui/format/Utf8Writer.h"

namespace {

// The platform's own conversion of the whole text at once is the reference.
std::string ReferenceUtf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

std::string ReadWholeFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<unreadable>";
    }
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

std::wstring Repeat(const std::wstring& piece, std::size_t units) {
    std::wstring text;
    while (text.size() < units) {
        text += piece;
    }
    return text;
}

class WriteUtf8Test : public testing::Test {
  protected:
    // Writes each part in turn to a new file and returns the file's bytes.
    std::string WriteParts(std::initializer_list<std::wstring> parts) {
        const std::wstring path = folder_.Path() + L"\\out" + std::to_wstring(++files_) + L".txt";
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, file);
        for (const std::wstring& part : parts) {
            WriteUtf8(file, part);
        }
        CloseHandle(file);
        return ReadWholeFile(path);
    }

    TempFolder folder_;
    int files_ = 0;
};

TEST_F(WriteUtf8Test, WritesTextOfAnyLengthWhole) {
    const std::wstring grinning = L"\xD83D\xDE00";  // U+1F600, a surrogate pair
    // The writer converts in pieces of 21,844 units; these texts put pairs and three-byte
    // characters on and around every piece boundary.
    const struct {
        const char* name;
        std::wstring text;
    } cases[] = {
        {"empty", L""},
        {"ascii", L"<html>\r\n"},
        {"accents and euro", L"D\x00E9j\x00E0 vu \x20AC 5"},
        {"40,000 mixed characters", Repeat(L"ab\x20AC" + grinning + L"\x00E9", 40000)},
        {"40,000 units of pairs", Repeat(grinning, 40000)},
        {"40,000 three-byte characters", Repeat(L"\x20AC", 40000)},
        {"pair across the first boundary", std::wstring(21843, L'x') + grinning + L"end"},
        {"pair right after the first boundary", std::wstring(21844, L'x') + grinning},
        {"pair across the second boundary", std::wstring(21843 * 2, L'x') + grinning + L"!"},
        {"lone high surrogate at the end", std::wstring(10, L'y') + L"\xD83D"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReferenceUtf8(c.text), WriteParts({c.text})) << c.name;
    }
}

TEST_F(WriteUtf8Test, AppendsAtTheFilePosition) {
    EXPECT_EQ("<p>\xC3\xA9</p>\r\n", WriteParts({L"<p>", L"\x00E9", L"</p>\r\n"}));
}

TEST_F(WriteUtf8Test, IgnoresAFileThatIsNotOpen) {
    WriteUtf8(INVALID_HANDLE_VALUE, L"nothing");
    WriteUtf8(nullptr, L"nothing");
    SUCCEED();
}

}  // namespace
