// The volume map's geometry, apart from any window: how the control's client
// area divides into cells and where each cell and each state's sprite lie. The
// state a cell shows comes from vantrel::service::CellStateOf (service/JobRecords.h).
#pragma once

#include <windows.h>

#include <array>
#include <span>

#include "service/JobRecords.h"

// Cells are placed 9 pixels apart and drawn 10 pixels wide, so the white frames
// of neighbours overlap into single one-pixel lines.
inline constexpr int kCellPitch = 9;
inline constexpr int kSpriteSize = 10;

// The grid of a map control: columns and rows of whole cells.
struct MapGrid {
    int columns = 0;
    int rows = 0;

    // columns x rows, or 0 when the grid is empty or its map would not fit the
    // service interface (see vantrel::service::kMaxMapCells).
    int CellCount() const;
    // Where cell `index` (row-major, row 0 first) is drawn in the control.
    POINT CellOrigin(int index) const;
};

// The grid that fits a client area of width x height pixels.
MapGrid GridForClientSize(int width, int height);

// How many of `cells` show each state, in percent of all cells (indexed by
// CellState), rounded to whole percents; all zero for no cells.
std::array<int, 5> CellStateShares(std::span<const vantrel::service::MapCell> cells);

// The left edge of a state's sprite in the sprite sheet: the state is the
// sprite's index.
constexpr int SpriteLeft(vantrel::service::CellState state) {
    return static_cast<int>(state) * kCellPitch;
}
