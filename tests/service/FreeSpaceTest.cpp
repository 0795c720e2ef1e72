// Free space bookkeeping: merging, the MFT zone border, and the allocation rules.
#include "defragsvc/FreeSpace.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantrel::defragsvc {
namespace {

using Extents = std::vector<std::pair<std::uint64_t, std::uint64_t>>;

Extents ExtentsOf(const FreeSpace& space) {
    return Extents(space.Extents().begin(), space.Extents().end());
}

TEST(FreeSpace, ReleasingMergesNeighboursOnTheSameSideOfTheZone) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::uint64_t, std::uint64_t>> releases;
        Extents expected;
    };
    // Zone is [100, 200).
    const Case cases[] = {
        {"apart", {{0, 10}, {20, 10}}, {{0, 10}, {20, 10}}},
        {"touching", {{0, 10}, {10, 10}}, {{0, 20}}},
        {"filling a hole", {{0, 10}, {20, 10}, {10, 10}}, {{0, 30}}},
        {"across the zone start", {{90, 20}}, {{90, 10}, {100, 10}}},
        {"not merged over the zone end", {{150, 50}, {200, 10}}, {{150, 50}, {200, 10}}},
        {"spanning the zone", {{50, 200}}, {{50, 50}, {100, 100}, {200, 50}}},
        {"empty", {{5, 0}}, {}},
    };
    for (const Case& test : cases) {
        FreeSpace space(100, 200);
        std::uint64_t total = 0;
        for (const auto& [start, length] : test.releases) {
            space.Release(start, length);
            total += length;
        }
        EXPECT_EQ(ExtentsOf(space), test.expected) << test.name;
        EXPECT_EQ(space.TotalClusters(), total) << test.name;

        FreeSpace assigned(100, 200);
        assigned.Assign({test.releases.rbegin(), test.releases.rend()});
        EXPECT_EQ(ExtentsOf(assigned), test.expected) << test.name << " (assigned)";
        EXPECT_EQ(assigned.TotalClusters(), total) << test.name << " (assigned)";
        EXPECT_EQ(assigned.LargestExtent(), space.LargestExtent()) << test.name;
    }
}

TEST(FreeSpace, AllocationFollowsTheRules) {
    struct Case {
        const char* name;
        std::uint64_t length;
        AllocationRules rules;
        std::optional<std::uint64_t> expected;
    };
    // Free: [0,5) [10,30) zone [100,200) [300,1000).
    const Case cases[] = {
        {"smallest extent that fits", 4, {}, 0},
        {"skips extents too small", 6, {}, 10},
        {"zone kept back", 150, {}, 300},
        {"zone allowed", 100, {.allowZone = true}, 100},
        {"below the limit", 20, {.limit = 30}, 10},
        {"limit excludes the end", 21, {.limit = 300}, std::nullopt},
        {"too large", 701, {.allowZone = true}, std::nullopt},
        {"nothing", 0, {}, std::nullopt},
    };
    for (const Case& test : cases) {
        FreeSpace space(100, 200);
        space.Release(0, 5);
        space.Release(10, 20);
        space.Release(100, 100);
        space.Release(300, 700);
        const std::uint64_t before = space.TotalClusters();
        EXPECT_EQ(space.Allocate(test.length, test.rules), test.expected) << test.name;
        EXPECT_EQ(space.TotalClusters(), before - (test.expected ? test.length : 0)) << test.name;
    }
}

TEST(FreeSpace, AllocatedSpaceIsGoneUntilReleased) {
    FreeSpace space;
    space.Release(0, 10);
    EXPECT_EQ(space.Allocate(6, {}), 0u);
    EXPECT_EQ(space.LargestExtent(), 4u);
    EXPECT_EQ(space.Allocate(6, {}), std::nullopt);
    space.Release(0, 6);
    EXPECT_EQ(ExtentsOf(space), (Extents{{0, 10}}));
}

}  // namespace
}  // namespace vantrel::defragsvc
