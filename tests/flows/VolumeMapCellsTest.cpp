// The volume map's geometry: the grid a control's size gives and where cells lie.
#include "flows/VolumeMapCells.h"

#include <gtest/gtest.h>

namespace {

TEST(MapGeometry, ProgressPageControlHas1472Cells) {
    const MapGrid grid = GridForClientSize(577, 208);
    EXPECT_EQ(64, grid.columns);
    EXPECT_EQ(23, grid.rows);
    EXPECT_EQ(1472, grid.CellCount());

    // The last cell covers x 567-576 and y 198-207: inside the control.
    const POINT last = grid.CellOrigin(1471);
    EXPECT_EQ(567, last.x);
    EXPECT_EQ(198, last.y);
    EXPECT_LE(last.x + kSpriteSize, 577);
    EXPECT_LE(last.y + kSpriteSize, 208);

    const POINT secondRow = grid.CellOrigin(64);
    EXPECT_EQ(0, secondRow.x);
    EXPECT_EQ(9, secondRow.y);
}

TEST(MapGeometry, PartialCellsAndEmptyAreas) {
    struct SizeCase {
        int width, height, columns, rows, cells;
    };
    const SizeCase cases[] = {
        {9, 9, 1, 1, 1},    {17, 17, 1, 1, 1}, {18, 9, 2, 1, 2},  {8, 100, 0, 11, 0},
        {100, 8, 11, 0, 0}, {0, 0, 0, 0, 0},   {-9, 90, 0, 0, 0}, {90, -9, 0, 0, 0},
    };
    for (const SizeCase& c : cases) {
        const MapGrid grid = GridForClientSize(c.width, c.height);
        EXPECT_EQ(c.columns, grid.columns) << c.width << " x " << c.height;
        EXPECT_EQ(c.rows, grid.rows) << c.width << " x " << c.height;
        EXPECT_EQ(c.cells, grid.CellCount()) << c.width << " x " << c.height;
    }
}

TEST(MapGeometry, MapsTooLargeForTheInterfaceHaveNoCells) {
    // 53,687,091 cells of 40 bytes still fit a 32-bit size; one more row does not.
    EXPECT_EQ(53687091, (MapGrid{53687091, 1}.CellCount()));
    EXPECT_EQ(0, (MapGrid{53687092, 1}.CellCount()));
    EXPECT_EQ(0, (MapGrid{40000, 40000}.CellCount()));
}

}  // namespace
