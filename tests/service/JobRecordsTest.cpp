// The wire records: the bytes the client sends, and the bounded copies it makes
// of what it receives.
#include "service/JobRecords.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace vantrel::service {
namespace {

TEST(JobCommand, IsBuiltByteForByte) {
    struct Case {
        std::int32_t code;
        wchar_t letter;
        std::int32_t cells;
        std::int32_t flag;
        unsigned char bytes[20];
    };
    const Case cases[] = {
        {JobCommandCode::Reset, L'C', 1472, 0, {5, 0, 0, 0, 0x43, 0, 0, 0, 0xC0, 0x05,
                                                0, 0, 2, 0, 0,    0, 0, 0, 0,    0}},
        {JobCommandCode::Optimize, L'D', 1472, 1, {1, 0, 0, 0, 0x44, 0, 0, 0, 0xC0, 0x05,
                                                   0, 0, 2, 0, 0,    0, 1, 0, 0,    0}},
        {JobCommandCode::Analyze, L'Z', 0, 0, {6, 0, 0, 0, 0x5A, 0, 0, 0, 0, 0,
                                               0, 0, 2, 0, 0,    0, 0, 0, 0, 0}},
    };
    for (const Case& test : cases) {
        const JobCommand command = MakeJobCommand(test.code, test.letter, test.cells, test.flag);
        EXPECT_EQ(std::memcmp(&command, test.bytes, sizeof test.bytes), 0) << test.code;
    }
}

TEST(FieldText, StopsAtTheNulOrTheFieldEnd) {
    struct Case {
        const char* name;
        std::size_t fill;   // units of 'x' written from the start
        std::size_t nulAt;  // where a NUL is put, or capacity for none
        std::size_t expected;
    };
    constexpr std::size_t capacity = kPathUnits;
    const Case cases[] = {
        {"empty", 0, 0, 0},
        {"short", 5, 5, 5},
        {"longest that fits with its NUL", capacity - 1, capacity - 1, capacity - 1},
        {"no NUL anywhere", capacity, capacity, capacity},
    };
    for (const Case& test : cases) {
        // One record with a neighbour after the path that must never show up.
        auto record = std::make_unique<FileRecord>();
        std::fill_n(record->Path, test.fill, L'x');
        if (test.nulAt < capacity) {
            record->Path[test.nulAt] = L'\0';
        }
        record->Unused10000 = 0x00790079;  // "yy" if misread as text
        const FileEntry entry = FileEntryFromRecord(*record);
        EXPECT_EQ(entry.Path.size(), test.expected) << test.name;
        EXPECT_EQ(entry.Path.find(L'y'), std::wstring::npos) << test.name;
    }
}

TEST(FieldText, VolumeTextAndCurrentFileAreBounded) {
    auto statistics = std::make_unique<JobStatistics>();
    std::fill_n(statistics->VolumeText, kVolumeTextUnits, L'v');
    std::fill_n(statistics->CurrentFile, 3, L'f');
    EXPECT_EQ(FieldText(statistics->VolumeText).size(), kVolumeTextUnits);
    EXPECT_EQ(FieldText(statistics->CurrentFile), L"fff");
}

TEST(FieldText, WritingTruncatesAndTerminates) {
    wchar_t field[4];
    std::fill_n(field, 4, L'#');
    WriteFieldText(field, L"abcdef");
    EXPECT_EQ(std::wstring(field), L"abc");
    WriteFieldText(field, L"z");
    EXPECT_EQ(field[1], L'\0');
    EXPECT_EQ(field[3], L'\0');
}

TEST(FileEntry, CopiesEveryNumericField) {
    auto record = std::make_unique<FileRecord>();
    WriteFieldText(record->Path, L"C:\\a.bin");
    record->Unused10000 = 7;
    record->FragmentsBefore = 12;
    record->FragmentsAfter = 1;
    record->LocalClusters = 0x1'0000'0001ull;
    record->VirtualClusters = 0x2'0000'0002ull;
    record->FileSize = 0x3'0000'0003ull;
    record->ResultCode = FileResult::Locked;
    const FileEntry entry = FileEntryFromRecord(*record);
    EXPECT_EQ(entry.Path, L"C:\\a.bin");
    EXPECT_EQ(entry.Unused, 7);
    EXPECT_EQ(entry.FragmentsBefore, 12);
    EXPECT_EQ(entry.FragmentsAfter, 1);
    EXPECT_EQ(entry.LocalClusters, 0x1'0000'0001ull);
    EXPECT_EQ(entry.VirtualClusters, 0x2'0000'0002ull);
    EXPECT_EQ(entry.FileSize, 0x3'0000'0003ull);
    EXPECT_EQ(entry.ResultCode, FileResult::Locked);
}

TEST(JobStatistics, IsZeroWhenFreshlyMade) {
    auto statistics = std::make_unique<JobStatistics>();
    const auto* bytes = reinterpret_cast<const unsigned char*>(statistics.get());
    EXPECT_EQ(std::count(bytes, bytes + sizeof(JobStatistics), 0),
              static_cast<std::ptrdiff_t>(sizeof(JobStatistics)));
}

TEST(CellStateOf, FollowsTheDominantKindWithItsTieRules) {
    struct Case {
        const char* name;
        MapCell cell;  // free, used, optimized, fragmented, mft
        CellState expected;
    };
    const Case cases[] = {
        {"all zero", {0, 0, 0, 0, 0}, CellState::Free},
        {"used ties free and special", {10, 10, 4, 3, 3}, CellState::Used},
        {"used below special", {0, 5, 6, 0, 0}, CellState::Optimized},
        {"special ties free: optimized ties fragmented", {10, 0, 5, 5, 0}, CellState::Optimized},
        {"special below free", {11, 0, 5, 5, 0}, CellState::Free},
        {"fragmented ties mft", {0, 0, 0, 3, 3}, CellState::Fragmented},
        {"mft alone", {0, 0, 0, 0, 3}, CellState::Mft},
        {"fragmented over optimized", {0, 1, 2, 3, 0}, CellState::Fragmented},
        {"free only", {7, 0, 0, 0, 0}, CellState::Free},
        {"used alone", {0, 1, 0, 0, 0}, CellState::Used},
        {"counters near the top of the range",
         {0, 0, ~0ull / 2, ~0ull / 2, 0},
         CellState::Optimized},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(CellStateOf(test.cell), test.expected) << test.name;
    }
}

}  // namespace
}  // namespace vantrel::service
