// The volume map: slices cover the volume exactly, counters land in the right
// slices, and every cell's counters add up to its slice.
#include "defragsvc/ClusterMap.h"

#include <gtest/gtest.h>

namespace vantrel::defragsvc {
namespace {

std::uint64_t SumOf(const service::MapCell& cell) {
    return cell.Free + cell.Used + cell.Optimized + cell.Fragmented + cell.Mft;
}

TEST(ClusterMap, CellsAddUpToTheirSlicesAndTheVolume) {
    struct Case {
        std::uint64_t clusters;
        std::uint32_t cells;
    };
    for (const Case test : {Case{1000, 7}, Case{5, 9}, Case{16777216, 1472}, Case{1, 1}}) {
        ClusterMap map(test.clusters, test.cells);
        map.Add(ClusterKind::Used, 0, test.clusters / 2);
        map.Add(ClusterKind::Fragmented, test.clusters / 2, test.clusters / 4);
        const auto cells = map.Cells();
        ASSERT_EQ(cells.size(), test.cells);
        std::uint64_t total = 0;
        for (std::uint32_t i = 0; i < test.cells; ++i) {
            EXPECT_EQ(SumOf(cells[i]), map.SliceStart(i + 1) - map.SliceStart(i));
            total += SumOf(cells[i]);
        }
        EXPECT_EQ(total, test.clusters) << test.clusters << "/" << test.cells;
    }
}

TEST(ClusterMap, ExtentsLandInTheirSlices) {
    ClusterMap map(100, 10);                  // slices of 10 clusters
    map.Add(ClusterKind::Mft, 5, 20);         // 5 in cell 0, 10 in cell 1, 5 in cell 2
    map.Add(ClusterKind::Optimized, 99, 10);  // clipped at the volume end
    map.Add(ClusterKind::Used, 200, 5);       // beyond the volume: ignored
    const auto cells = map.Cells();
    EXPECT_EQ(cells[0].Mft, 5u);
    EXPECT_EQ(cells[0].Free, 5u);
    EXPECT_EQ(cells[1].Mft, 10u);
    EXPECT_EQ(cells[1].Free, 0u);
    EXPECT_EQ(cells[2].Mft, 5u);
    EXPECT_EQ(cells[9].Optimized, 1u);
    EXPECT_EQ(cells[9].Free, 9u);
}

TEST(ClusterMap, RemoveUndoesAdd) {
    ClusterMap map(1000, 13);
    map.Add(ClusterKind::Fragmented, 17, 400);
    map.Remove(ClusterKind::Fragmented, 17, 400);
    for (const auto& cell : map.Cells()) {
        EXPECT_EQ(cell.Fragmented, 0u);
        EXPECT_EQ(cell.Free, SumOf(cell));
    }
}

TEST(ClusterMap, CellCountIsKeptInBounds) {
    EXPECT_EQ(ClusterMap(100, 0).CellCount(), 1u);
    EXPECT_EQ(ClusterMap(100, kMaxMapCells + 1).CellCount(), kMaxMapCells);
}

}  // namespace
}  // namespace vantrel::defragsvc
