#include "service/JobRecords.h"

#include <algorithm>
#include <cwchar>

namespace vantrel::service {

std::wstring BoundedText(const wchar_t* field, std::size_t capacity) {
    if (field == nullptr || capacity == 0) {
        return {};
    }
    return std::wstring(field, wcsnlen(field, capacity));
}

void WriteFieldText(wchar_t* field, std::size_t capacity, std::wstring_view text) {
    if (field == nullptr || capacity == 0) {
        return;
    }
    const std::size_t units = std::min(text.size(), capacity - 1);
    std::copy_n(text.data(), units, field);
    std::fill(field + units, field + capacity, L'\0');
}

JobCommand MakeJobCommand(std::int32_t code, wchar_t driveLetter, std::int32_t cellCount,
                          std::int32_t flag) {
    JobCommand command{};
    command.Command = code;
    command.DriveLetter = static_cast<std::uint16_t>(driveLetter);
    command.Padding = 0;
    command.MapCellCount = cellCount;
    command.FixedValue = kJobCommandFixedValue;
    command.Flag = flag;
    return command;
}

CellState CellStateOf(const MapCell& cell) {
    const std::uint64_t special = cell.Optimized + cell.Fragmented + cell.Mft;
    if (cell.Used != 0 && cell.Used >= cell.Free && cell.Used >= special) {
        return CellState::Used;
    }
    if (special < cell.Free) {
        return CellState::Free;
    }
    if (cell.Optimized != 0 && cell.Optimized >= cell.Fragmented && cell.Optimized >= cell.Mft) {
        return CellState::Optimized;
    }
    if (cell.Fragmented != 0 && cell.Fragmented >= cell.Mft) {
        return CellState::Fragmented;
    }
    if (cell.Mft != 0) {
        return CellState::Mft;
    }
    return CellState::Free;
}

FileEntry FileEntryFromRecord(const FileRecord& record) {
    FileEntry entry;
    entry.Path = FieldText(record.Path);
    entry.Unused = record.Unused10000;
    entry.FragmentsBefore = record.FragmentsBefore;
    entry.FragmentsAfter = record.FragmentsAfter;
    entry.LocalClusters = record.LocalClusters;
    entry.VirtualClusters = record.VirtualClusters;
    entry.FileSize = record.FileSize;
    entry.ResultCode = record.ResultCode;
    return entry;
}

}  // namespace vantrel::service
