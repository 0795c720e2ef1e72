#include "flows/VolumeMapCells.h"

#include "service/DefragClient.h"

int MapGrid::CellCount() const {
    if (columns <= 0 || rows <= 0) {
        return 0;
    }
    const long long count = static_cast<long long>(columns) * rows;
    return count > vantrel::service::kMaxMapCells ? 0 : static_cast<int>(count);
}

POINT MapGrid::CellOrigin(int index) const {
    if (columns <= 0 || index < 0) {
        return POINT{0, 0};
    }
    return POINT{(index % columns) * kCellPitch, (index / columns) * kCellPitch};
}

MapGrid GridForClientSize(int width, int height) {
    if (width <= 0 || height <= 0) {
        return MapGrid{};
    }
    return MapGrid{width / kCellPitch, height / kCellPitch};
}

std::array<int, 5> CellStateShares(std::span<const vantrel::service::MapCell> cells) {
    std::array<std::size_t, 5> counts = {};
    for (const vantrel::service::MapCell& cell : cells) {
        ++counts[static_cast<std::size_t>(vantrel::service::CellStateOf(cell))];
    }
    std::array<int, 5> shares = {};
    if (cells.empty()) {
        return shares;
    }
    for (std::size_t state = 0; state < counts.size(); ++state) {
        shares[state] = static_cast<int>((counts[state] * 200 + cells.size()) / (cells.size() * 2));
    }
    return shares;
}
