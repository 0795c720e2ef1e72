// The records that travel through the defrag service interface, byte for byte.
// Both the client and the stand-in service use these definitions; every offset
// the client reads is pinned below, so a layout change fails the build.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel::service {

// Job states answered by GetJobState. Any other value means "none of these".
namespace JobState {
inline constexpr long Idle = 0;
inline constexpr long Running = 1;
inline constexpr long Finished = 2;
}  // namespace JobState

// Command codes of a JobCommand.
namespace JobCommandCode {
inline constexpr std::int32_t Optimize = 1;
inline constexpr std::int32_t Reset = 5;
inline constexpr std::int32_t Analyze = 6;
}  // namespace JobCommandCode

// Per-file results of an optimization (FileRecord::ResultCode).
namespace FileResult {
inline constexpr std::int32_t Ok = 0;
inline constexpr std::int32_t NoFreeSpace = 1;
inline constexpr std::int32_t CannotMoveData = 2;
inline constexpr std::int32_t StoppedByUser = 3;
inline constexpr std::int32_t Locked = 4;
inline constexpr std::int32_t CannotMoveOnFat = 5;
inline constexpr std::int32_t SafeFile = 6;
}  // namespace FileResult

// Every JobCommand carries this value in its fixed field.
inline constexpr std::int32_t kJobCommandFixedValue = 2;

inline constexpr std::size_t kVolumeTextUnits = 64;
inline constexpr std::size_t kPathUnits = 32768;

struct JobCommand {
    std::int32_t Command;
    std::uint16_t DriveLetter;
    std::uint16_t Padding;
    std::int32_t MapCellCount;
    std::int32_t FixedValue;
    std::int32_t Flag;
};

// One slice of the volume: clusters of free space, used space, optimized file
// data, fragmented file data and the MFT, in that order.
struct MapCell {
    std::uint64_t Free;
    std::uint64_t Used;
    std::uint64_t Optimized;
    std::uint64_t Fragmented;
    std::uint64_t Mft;
};

// What a map cell shows; the value is also the sprite's index in the sheet.
// Processing has a legend entry but is never shown by a cell.
enum class CellState : int { Free = 0, Used = 1, Optimized = 2, Fragmented = 3, Mft = 4 };

// The kind that dominates a cell: used space when it is at least the free space
// and the optimized, fragmented and MFT clusters together; else free space when
// those are fewer than the free clusters; else the largest of optimized,
// fragmented and MFT, ties in that order. A cell of zeros shows free space.
CellState CellStateOf(const MapCell& cell);

struct JobStatistics {
    SYSTEMTIME StartTime;
    SYSTEMTIME EndTime;
    std::uint64_t TotalFiles;
    std::uint64_t TotalDirs;
    std::uint64_t Unused30;
    std::uint64_t FragmentedFiles;
    std::uint64_t NonOptimizedBytes;
    std::uint64_t DeFragmentedFiles;
    std::uint64_t Unused50[2];
    std::uint64_t TotalClusters;
    std::uint64_t UsedClusters;
    std::uint64_t FreeClusters;
    std::uint64_t ProcessedClusters;
    std::uint64_t Unused80;
    std::int32_t SectorsPerCluster;
    std::int32_t BytesPerSector;
    std::uint64_t Unused90[3];
    std::uint64_t LargestFreeExtent;
    std::int32_t UnusedB0;
    wchar_t DriveLetter;
    wchar_t VolumeText[kVolumeTextUnits];
    wchar_t CurrentFile[kPathUnits];
    std::int32_t Unused10138;
};

struct FileRecord {
    wchar_t Path[kPathUnits];
    std::int32_t Unused10000;
    std::int32_t FragmentsBefore;
    std::int32_t FragmentsAfter;
    std::uint64_t LocalClusters;
    std::uint64_t VirtualClusters;
    std::uint64_t FileSize;
    std::int32_t ResultCode;
};

static_assert(sizeof(wchar_t) == 2);
static_assert(sizeof(JobCommand) == 20);
static_assert(offsetof(JobCommand, DriveLetter) == 4);
static_assert(offsetof(JobCommand, MapCellCount) == 8);
static_assert(offsetof(JobCommand, FixedValue) == 12);
static_assert(offsetof(JobCommand, Flag) == 16);

static_assert(sizeof(MapCell) == 40);
static_assert(offsetof(MapCell, Mft) == 32);

static_assert(sizeof(JobStatistics) == 65856);
static_assert(offsetof(JobStatistics, EndTime) == 0x10);
static_assert(offsetof(JobStatistics, TotalFiles) == 0x20);
static_assert(offsetof(JobStatistics, TotalDirs) == 0x28);
static_assert(offsetof(JobStatistics, FragmentedFiles) == 0x38);
static_assert(offsetof(JobStatistics, NonOptimizedBytes) == 0x40);
static_assert(offsetof(JobStatistics, DeFragmentedFiles) == 0x48);
static_assert(offsetof(JobStatistics, TotalClusters) == 0x60);
static_assert(offsetof(JobStatistics, UsedClusters) == 0x68);
static_assert(offsetof(JobStatistics, FreeClusters) == 0x70);
static_assert(offsetof(JobStatistics, ProcessedClusters) == 0x78);
static_assert(offsetof(JobStatistics, SectorsPerCluster) == 0x88);
static_assert(offsetof(JobStatistics, BytesPerSector) == 0x8C);
static_assert(offsetof(JobStatistics, LargestFreeExtent) == 0xA8);
static_assert(offsetof(JobStatistics, DriveLetter) == 0xB4);
static_assert(offsetof(JobStatistics, VolumeText) == 0xB6);
static_assert(offsetof(JobStatistics, CurrentFile) == 0x136);
static_assert(offsetof(JobStatistics, Unused10138) == 0x10138);

static_assert(sizeof(FileRecord) == 65584);
static_assert(offsetof(FileRecord, Unused10000) == 0x10000);
static_assert(offsetof(FileRecord, FragmentsBefore) == 0x10004);
static_assert(offsetof(FileRecord, FragmentsAfter) == 0x10008);
static_assert(offsetof(FileRecord, LocalClusters) == 0x10010);
static_assert(offsetof(FileRecord, VirtualClusters) == 0x10018);
static_assert(offsetof(FileRecord, FileSize) == 0x10020);
static_assert(offsetof(FileRecord, ResultCode) == 0x10028);

// The client's own copy of one FileRecord.
struct FileEntry {
    std::wstring Path;
    std::int32_t Unused = 0;
    std::int32_t FragmentsBefore = 0;
    std::int32_t FragmentsAfter = 0;
    std::uint64_t LocalClusters = 0;
    std::uint64_t VirtualClusters = 0;
    std::uint64_t FileSize = 0;
    std::int32_t ResultCode = 0;
};

// The text of a fixed-size field: up to its first NUL, and never past the field
// when a peer filled it without one.
std::wstring BoundedText(const wchar_t* field, std::size_t capacity);

template <std::size_t N>
std::wstring FieldText(const wchar_t (&field)[N]) {
    return BoundedText(field, N);
}

// Writes text into a fixed-size field, truncated so that a NUL always fits.
void WriteFieldText(wchar_t* field, std::size_t capacity, std::wstring_view text);

template <std::size_t N>
void WriteFieldText(wchar_t (&field)[N], std::wstring_view text) {
    WriteFieldText(field, N, text);
}

JobCommand MakeJobCommand(std::int32_t code, wchar_t driveLetter, std::int32_t cellCount,
                          std::int32_t flag);

FileEntry FileEntryFromRecord(const FileRecord& record);

}  // namespace vantrel::service
