#include "flows/MapCache.h"

void MapCache::Store(std::span<const vantrel::service::MapCell> cells, wchar_t letter) {
    cells_.assign(cells.begin(), cells.end());
    DriveLetter = letter;
}

void MapCache::StartScanOf(wchar_t letter) {
    if (letter != DriveLetter) {
        cells_.clear();
    }
    DriveLetter = letter;
}

bool MapCache::HoldsMapOf(wchar_t letter) const {
    return letter != 0 && letter == DriveLetter && !cells_.empty();
}
