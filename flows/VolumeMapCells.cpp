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
