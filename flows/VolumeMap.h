// CVolmeMap, the cluster map of the progress page: an owner-drawn button
// (created disabled, so it takes no clicks) that shows the volume as a grid of
// 10 x 10 sprites, one per map cell, 9 pixels apart.
//
// Every drawing fetches the whole map from the service (one GetVolumeMap for
// the grid's cell count), draws it, and copies a successful fetch into the map
// cache (flows/MapCache.h) under the drive of the job being shown. Without a
// service the map shows free space.
//
// The grid is fixed at the first request for the cell count after the control
// is attached: columns and rows from its client size, and the sprite sheet
// (bitmap IDB_MAP_SPRITES) is loaded then into a memory DC that the control keeps
// for its life, so drawing creates no GDI object. The parent owns the window;
// the control owns the sprite bitmap, its memory DC and the off-screen picture.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "flows/MapCache.h"
#include "flows/VolumeMapCells.h"
#include "framework/Control.h"
#include "framework/DeviceContexts.h"
#include "framework/Gdi.h"
#include "service/CellCountSource.h"
#include "service/JobRecords.h"
#include "service/JobService.h"

class CVolmeMap : public fw::Control, public vantrel::service::CellCountSource {
  public:
    CVolmeMap();
    ~CVolmeMap() override;

    // columns x rows; 0 while the control has no window (the grid is not fixed then).
    int GetCellCount() override;
    const MapGrid& Grid() const { return grid_; }

    // The service the map comes from and the cache every fetched map is copied
    // into (both borrowed; null: none), and the drive whose map the control shows.
    void UseService(vantrel::service::JobService* service) { service_ = service; }
    void UseCache(MapCache* cache) { cache_ = cache; }
    void SetDriveLetter(wchar_t letter) { driveLetter_ = letter; }

    // Fetches the whole map into the control's buffer, zeroed first so that a
    // failed fetch shows free space, and copies a successful one into the cache.
    bool FetchMap();
    // Draws the buffer's cells onto `dc` at the control's origin.
    void DrawCells(HDC dc);
    const std::vector<vantrel::service::MapCell>& Cells() const { return cells_; }

    void DrawItem(const DRAWITEMSTRUCT& item) override;

    // What assistive technology reads as the map's value: the share of each cell
    // state in the last map drawn, or that none was read yet.
    std::wstring AccessibleValue() const;

  protected:
    static const fw::MessageTable kTable;
    const fw::MessageTable& Messages() const override;

  private:
    bool OnGetObject(fw::Message& m);
    bool EnsureGrid();

    vantrel::service::JobService* service_ = nullptr;
    MapCache* cache_ = nullptr;
    wchar_t driveLetter_ = 0;
    bool gridFixed_ = false;
    MapGrid grid_;
    std::vector<vantrel::service::MapCell> cells_;
    // Declared before their DCs so that each DC puts its original bitmap back first.
    fw::Bitmap sprites_;
    std::optional<fw::MemoryDC> spriteDc_;
    fw::Bitmap picture_;
    std::optional<fw::MemoryDC> pictureDc_;
};
