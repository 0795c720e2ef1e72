// The volume map control on a real window: its grid, the sprites it copies for
// each cell, what a fetch leaves in the map cache; the map cache itself; and a
// legend swatch.
#include "flows/VolumeMap.h"

#include <gtest/gtest.h>

#include <vector>

#include "flows/Legend.h"
#include "flows/MapCache.h"
#include "res/resource.h"
#include "tests/support/Accessibility.h"
#include "tests/support/FakeJobService.h"
#include "tests/ui/widgets/DibCanvas.h"
#include "ui/widgets/SkinPainter.h"
#include "ui/widgets/SkinBitmaps.h"

namespace {

using vantrel::service::CellState;
using vantrel::service::MapCell;

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A cell whose counters give `state`.
MapCell CellOf(CellState state) {
    switch (state) {
        case CellState::Used:
            return MapCell{0, 5, 0, 0, 0};
        case CellState::Optimized:
            return MapCell{0, 0, 5, 0, 0};
        case CellState::Fragmented:
            return MapCell{0, 0, 0, 5, 0};
        case CellState::Mft:
            return MapCell{0, 0, 0, 0, 5};
        default:
            return MapCell{5, 0, 0, 0, 0};
    }
}

CellState PatternState(int index) {
    return static_cast<CellState>((index * 7 + index / 64) % 5);
}

class VolumeMapTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(host_.CreateEx(0, L"map host", WS_OVERLAPPEDWINDOW, 0, 0, 700, 320, nullptr));
        button_ = CreateWindowExW(
            0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_OWNERDRAW, 0, 0, 577, 208,
            host_.Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS_MAP)),
            GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, button_);
        map_.UseService(&service_);
        map_.UseCache(&cache_);
    }

    void TearDown() override { host_.Destroy(); }

    void ServePattern() {
        service_.map.clear();
        for (int i = 0; i < 1472; ++i) {
            service_.map.push_back(CellOf(PatternState(i)));
        }
    }

    fw::Window host_;
    HWND button_ = nullptr;
    MapCache cache_;
    vantrel::testsupport::FakeJobService service_;
    CVolmeMap map_;
};

TEST_F(VolumeMapTest, GridIsFixedAtTheFirstRequestAfterAttaching) {
    EXPECT_EQ(0, map_.GetCellCount()) << "no window, no grid";
    ASSERT_TRUE(map_.Attach(button_));
    EXPECT_EQ(1472, map_.GetCellCount());
    MoveWindow(button_, 0, 0, 100, 100, FALSE);
    EXPECT_EQ(1472, map_.GetCellCount()) << "computed once";
    EXPECT_EQ(64, map_.Grid().columns);
    EXPECT_EQ(23, map_.Grid().rows);
}

TEST_F(VolumeMapTest, CopiesEachCellsSpriteNinePixelsApart) {
    ASSERT_TRUE(map_.Attach(button_));
    ServePattern();
    ASSERT_TRUE(map_.FetchMap());
    EXPECT_EQ(1472, service_.lastMapCount);

    DibCanvas sheet(55, 10, kMagenta);
    ASSERT_TRUE(sheet.Valid());
    SkinPainter(sheet.Dc()).Draw(IDB_MAP_SPRITES, 0, 0, 55, 10);
    DibCanvas canvas(577, 208, kMagenta);
    ASSERT_TRUE(canvas.Valid());
    map_.DrawCells(canvas.Dc());

    for (int i = 0; i < 1472; ++i) {
        const int x = (i % 64) * 9;
        const int y = (i / 64) * 9;
        const int sprite = SpriteLeft(PatternState(i));
        // Inside: the sprite's own colours, top band and bottom band.
        ASSERT_EQ(sheet.Pixel(sprite + 3, 2), canvas.Pixel(x + 3, y + 2)) << "cell " << i;
        ASSERT_EQ(sheet.Pixel(sprite + 6, 7), canvas.Pixel(x + 6, y + 7)) << "cell " << i;
        // The shared frame lines are white.
        ASSERT_EQ(kWhite, canvas.Pixel(x, y + 4)) << "cell " << i;
        ASSERT_EQ(kWhite, canvas.Pixel(x + 4, y)) << "cell " << i;
    }
    // The last cell's right and bottom frame lines are the control's last pixels.
    EXPECT_EQ(kWhite, canvas.Pixel(576, 203));
    EXPECT_EQ(kWhite, canvas.Pixel(571, 207));
    EXPECT_NE(kWhite, sheet.Pixel(SpriteLeft(CellState::Fragmented) + 4, 4));
}

TEST_F(VolumeMapTest, ScreenReadersHearItsNameAndTheShareOfEachCellState) {
    using vantrel::testsupport::AccessibleField;
    using vantrel::testsupport::ReadAccessible;
    ASSERT_TRUE(map_.Attach(button_));
    EXPECT_EQ(L"Cluster map", ReadAccessible(button_, AccessibleField::Name));
    EXPECT_EQ(L"Not scanned yet", ReadAccessible(button_, AccessibleField::Value));

    // A quarter fragmented, half used, a quarter free (the remaining cell rounds away).
    service_.map.assign(1472, CellOf(CellState::Used));
    for (int i = 0; i < 368; ++i) {
        service_.map[static_cast<std::size_t>(i)] = CellOf(CellState::Fragmented);
        service_.map[static_cast<std::size_t>(1471 - i)] = CellOf(CellState::Free);
    }
    service_.map[500] = CellOf(CellState::Mft);
    ASSERT_TRUE(map_.FetchMap());
    EXPECT_EQ(L"Fragmented 25%, Optimized 0%, Used space 50%, MFT 0%, Free space 25%",
              ReadAccessible(button_, AccessibleField::Value));
    EXPECT_EQ(L"Cluster map", ReadAccessible(button_, AccessibleField::Name));
}

TEST_F(VolumeMapTest, FetchedMapGoesToTheCacheUnderTheJobsDrive) {
    ASSERT_TRUE(map_.Attach(button_));
    ServePattern();
    map_.SetDriveLetter(L'D');
    ASSERT_TRUE(map_.FetchMap());
    ASSERT_EQ(1472, cache_.CellCount());
    EXPECT_EQ(L'D', cache_.DriveLetter);
    EXPECT_TRUE(cache_.HoldsMapOf(L'D'));
    EXPECT_FALSE(cache_.HoldsMapOf(L'C'));
    EXPECT_EQ(0, memcmp(service_.map.data(), cache_.Cells(), 1472 * sizeof(MapCell)));
}

TEST_F(VolumeMapTest, FailedFetchShowsFreeSpaceAndKeepsTheCachedMap) {
    ASSERT_TRUE(map_.Attach(button_));
    ServePattern();
    map_.SetDriveLetter(L'C');
    ASSERT_TRUE(map_.FetchMap());

    service_.answers = false;
    map_.SetDriveLetter(L'E');
    EXPECT_FALSE(map_.FetchMap());
    ASSERT_EQ(1472u, map_.Cells().size());
    for (const MapCell& cell : map_.Cells()) {
        ASSERT_EQ(CellState::Free, vantrel::service::CellStateOf(cell));
    }
    DibCanvas sheet(55, 10, kMagenta);
    SkinPainter(sheet.Dc()).Draw(IDB_MAP_SPRITES, 0, 0, 55, 10);
    DibCanvas canvas(577, 208, kMagenta);
    map_.DrawCells(canvas.Dc());
    EXPECT_EQ(sheet.Pixel(4, 4), canvas.Pixel(9 * 10 + 4, 9 * 5 + 4));

    EXPECT_TRUE(cache_.HoldsMapOf(L'C')) << "the last map received stays cached";
    EXPECT_EQ(0, memcmp(service_.map.data(), cache_.Cells(), 1472 * sizeof(MapCell)));
}

TEST_F(VolumeMapTest, EveryPaintOfTheControlFetchesTheMap) {
    ASSERT_TRUE(map_.Attach(button_));
    ServePattern();
    map_.SetDriveLetter(L'C');
    ShowWindow(host_.Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(host_.Handle());
    const int afterShow = service_.mapCalls;
    EXPECT_GE(afterShow, 1);
    EXPECT_EQ(L'C', cache_.DriveLetter);

    map_.Invalidate(nullptr, false);
    UpdateWindow(button_);
    EXPECT_EQ(afterShow + 1, service_.mapCalls);
}

TEST(MapCache, HoldsAMapOnlyOfItsOwnDrive) {
    MapCache cache;
    EXPECT_FALSE(cache.HoldsMapOf(L'C'));
    cache.DriveLetter = L'C';
    EXPECT_FALSE(cache.HoldsMapOf(L'C')) << "a letter without cells";
    const std::vector<MapCell> cells(3, MapCell{1, 2, 3, 4, 5});
    cache.Store(cells, L'C');
    EXPECT_TRUE(cache.HoldsMapOf(L'C'));
    EXPECT_FALSE(cache.HoldsMapOf(0));
    cache.Store(std::vector<MapCell>(5), L'D');
    EXPECT_EQ(5, cache.CellCount());
    EXPECT_FALSE(cache.HoldsMapOf(L'C'));
    cache.Store({}, L'D');
    EXPECT_FALSE(cache.HoldsMapOf(L'D')) << "an empty map is no map";
}

TEST(MapCache, ScanOfAnotherDriveDropsTheMap) {
    MapCache cache;
    cache.Store(std::vector<MapCell>(4, MapCell{1, 2, 3, 4, 5}), L'D');
    cache.StartScanOf(L'D');
    EXPECT_TRUE(cache.HoldsMapOf(L'D')) << "the same drive keeps its last map";
    cache.StartScanOf(L'C');
    EXPECT_EQ(L'C', cache.DriveLetter);
    EXPECT_EQ(0, cache.CellCount());
    EXPECT_FALSE(cache.HoldsMapOf(L'C')) << "D's map is never handed back as C's";
    EXPECT_FALSE(cache.HoldsMapOf(L'D'));
}

TEST(Legend, DrawsItsSwatchInTheControlOrNothing) {
    CLegend legend;
    DibCanvas canvas(12, 12, kMagenta);
    DRAWITEMSTRUCT item{};
    item.hDC = canvas.Dc();
    item.rcItem = RECT{0, 0, 10, 10};
    legend.DrawItem(item);
    EXPECT_EQ(kMagenta, canvas.Pixel(5, 5)) << "no bitmap, nothing drawn";

    legend.SetBitmap(IDB_LEGEND_FRAGMENTED);
    legend.DrawItem(item);
    const COLORREF middle = canvas.Pixel(5, 5);
    EXPECT_GT(GetRValue(middle), GetGValue(middle)) << "the fragmented swatch is red";
    EXPECT_EQ(kMagenta, canvas.Pixel(10, 10)) << "not beyond the control";
}

}  // namespace
