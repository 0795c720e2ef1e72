// The last volume map the progress page fetched, kept by the application object
// between jobs so that it can be handed back to the service when an
// optimization of the same drive starts.
#pragma once

#include <span>
#include <vector>

#include "service/JobRecords.h"

class MapCache {
  public:
    // Replaces the cached cells with `cells`, a map of drive `letter` (the buffer
    // is reallocated only when the count changes).
    void Store(std::span<const vantrel::service::MapCell> cells, wchar_t letter);

    // A scan of drive `letter` starts: the cache belongs to that drive from now on,
    // and a map of another drive is dropped rather than handed back as this one's.
    void StartScanOf(wchar_t letter);

    // True when the cache holds a map of drive `letter`: the same letter and a
    // non-empty buffer.
    bool HoldsMapOf(wchar_t letter) const;

    const vantrel::service::MapCell* Cells() const { return cells_.data(); }
    int CellCount() const { return static_cast<int>(cells_.size()); }

    // The drive the cached map belongs to: set when a scan starts and with every
    // map stored; 0 before the first.
    wchar_t DriveLetter = 0;

  private:
    std::vector<vantrel::service::MapCell> cells_;
};
