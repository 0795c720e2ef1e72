// Every bitmap loads at the size the windows draw it at, the strips divide
// into their frames, and the pieces that windows put side by side meet
// without a seam.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "res/resource.h"

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

void PrintTo(const Rgb& c, std::ostream* os) {
    *os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// A bitmap resource read back as the DIB that windres stored.
class LoadedBitmap {
  public:
    explicit LoadedBitmap(int id)
        : handle_(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))) {
        if (handle_ != nullptr) {
            GetObjectW(handle_, sizeof(dib_), &dib_);
        }
    }
    ~LoadedBitmap() {
        if (handle_ != nullptr) {
            DeleteObject(handle_);
        }
    }
    LoadedBitmap(const LoadedBitmap&) = delete;
    LoadedBitmap& operator=(const LoadedBitmap&) = delete;

    bool Loaded() const { return handle_ != nullptr; }
    int Width() const { return dib_.dsBm.bmWidth; }
    int Height() const { return dib_.dsBm.bmHeight; }
    int BitsPerPixel() const { return dib_.dsBm.bmBitsPixel; }

    Rgb At(int x, int y) const {
        // 24-bit rows, bottom-up, padded to four bytes.
        const int stride = (Width() * 3 + 3) & ~3;
        const auto* row = static_cast<const uint8_t*>(dib_.dsBm.bmBits) +
                          static_cast<size_t>(Height() - 1 - y) * stride;
        return {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
    }

  private:
    HBITMAP handle_;
    DIBSECTION dib_{};
};

struct BitmapSize {
    int id;
    int width;  // of one frame
    int height;
    int frames;
};

constexpr BitmapSize kBitmaps[] = {
    {IDB_PANEL_SEPARATOR, 2, 502, 1},
    {IDB_ABOUT_ICON, 16, 16, 1},
    {IDB_HELP_ICON, 16, 16, 1},
    {IDB_BANNER, 842, 74, 1},
    {IDB_STEP_WELCOME, 191, 40, 1},
    {IDB_STEP_WELCOME_CURRENT, 191, 40, 1},
    {IDB_STEP_SCAN, 191, 40, 1},
    {IDB_STEP_SCAN_CURRENT, 191, 40, 1},
    {IDB_STEP_RESULTS, 191, 40, 1},
    {IDB_STEP_RESULTS_CURRENT, 191, 40, 1},
    {IDB_STEP_OPTIMIZE, 191, 40, 1},
    {IDB_STEP_OPTIMIZE_CURRENT, 191, 40, 1},
    {IDB_FRAME_BOTTOM, 842, 23, 1},
    {IDB_FRAME_LEFT, 6, 599, 1},
    {IDB_FRAME_RIGHT, 7, 599, 1},
    {IDB_PANEL_BACKGROUND, 1, 502, 1},
    {IDB_SPLASH, 424, 231, 1},
    {IDB_BUTTON_CLOSE, 40, 17, 3},
    {IDB_BUTTON_MINIMIZE, 33, 17, 3},
    {IDB_BUTTON_OK, 103, 26, 3},
    {IDB_BUTTON_CANCEL, 118, 34, 3},
    {IDB_BUTTON_UPDATE, 150, 20, 3},
    {IDB_BUTTON_BACK, 156, 35, 3},
    {IDB_BUTTON_DEFRAG, 156, 35, 4},
    {IDB_BUTTON_START_SCAN, 146, 34, 3},
    {IDB_BUTTON_STOP, 62, 22, 3},
    {IDB_BUTTON_SEE_RESULTS, 152, 34, 3},
    {IDB_BUTTON_VIEW_REPORT, 152, 34, 4},
    {IDB_BUTTON_POPUP_SCAN, 143, 29, 3},
    {IDB_BUTTON_OPTIMIZE_NOW, 146, 34, 3},
    {IDB_SELECT_TITLE_ICON, 25, 24, 1},
    {IDB_DRIVE_BOX_LEFT, 6, 150, 1},
    {IDB_DRIVE_BOX_RIGHT, 6, 150, 1},
    {IDB_DRIVE_BOX_TILE, 1, 150, 1},
    {IDB_DRIVE_ICON, 28, 28, 1},
    {IDB_ATTENTION_ICON, 25, 24, 1},
    {IDB_STATUS_BOX_TILE, 1, 170, 1},
    {IDB_STATUS_BOX_RIGHT_END, 6, 170, 1},
    {IDB_STATUS_BOX_LEFT, 6, 170, 1},
    {IDB_STATUS_BOX_RIGHT, 72, 170, 1},
    {IDB_STATUS_RULE, 520, 1, 1},
    {IDB_RULE, 583, 1, 1},
    {IDB_FOOTER_STRIP, 2, 64, 1},
    {IDB_SCAN_ICON, 25, 24, 1},
    {IDB_OPTIMIZE_ICON, 25, 24, 1},
    {IDB_RECOMMEND_ICON, 25, 24, 1},
    {IDB_FRAGMENTED_BADGE, 172, 53, 1},
    {IDB_NON_OPTIMIZED_BADGE, 172, 53, 1},
    {IDB_BOX_TILE, 1, 109, 1},
    {IDB_BOX_LEFT, 6, 109, 1},
    {IDB_BOX_RIGHT, 6, 109, 1},
    {IDB_RESULTS_HEADER_BAD, 650, 105, 1},
    {IDB_RESULTS_HEADER_GOOD, 650, 105, 1},
    {IDB_MAP_SPRITES, 55, 10, 1},
    {IDB_LEGEND_FREE, 10, 10, 1},
    {IDB_LEGEND_OPTIMIZED, 10, 10, 1},
    {IDB_LEGEND_USED, 10, 10, 1},
    {IDB_LEGEND_FRAGMENTED, 10, 10, 1},
    {IDB_LEGEND_MFT, 10, 10, 1},
    {IDB_LEGEND_PROCESSING, 10, 10, 1},
    {IDB_ABOUT_BACKGROUND, 537, 309, 1},
    {IDB_POPUP_BACKGROUND, 254, 193, 1},
};

TEST(Bitmaps, EveryBitmapLoadsAsA24BitImageOfItsSize) {
    for (const BitmapSize& expected : kBitmaps) {
        SCOPED_TRACE(expected.id);
        const LoadedBitmap bitmap(expected.id);
        ASSERT_TRUE(bitmap.Loaded());
        EXPECT_EQ(expected.width * expected.frames, bitmap.Width());
        EXPECT_EQ(expected.height, bitmap.Height());
        EXPECT_EQ(24, bitmap.BitsPerPixel());
    }
}

TEST(Bitmaps, EveryFrameOfAStripLooksDifferent) {
    for (const BitmapSize& strip : kBitmaps) {
        if (strip.frames == 1) {
            continue;
        }
        SCOPED_TRACE(strip.id);
        const LoadedBitmap bitmap(strip.id);
        ASSERT_TRUE(bitmap.Loaded());
        for (int a = 0; a < strip.frames; ++a) {
            for (int b = a + 1; b < strip.frames; ++b) {
                int differing = 0;
                for (int y = 0; y < strip.height; ++y) {
                    for (int x = 0; x < strip.width; ++x) {
                        differing +=
                            bitmap.At(a * strip.width + x, y) != bitmap.At(b * strip.width + x, y);
                    }
                }
                EXPECT_GT(differing, strip.width) << "frames " << a << " and " << b;
            }
        }
    }
}

// Cell colours of the volume map in sprite order (free, used, optimized,
// fragmented, MFT, processing), with the legend swatch of each state.
struct CellColours {
    int legendId;
    Rgb light;
    Rgb dark;
};
constexpr CellColours kCells[] = {
    {IDB_LEGEND_FREE, {244, 245, 247}, {180, 181, 185}},
    {IDB_LEGEND_USED, {46, 132, 188}, {0, 56, 131}},
    {IDB_LEGEND_OPTIMIZED, {117, 240, 89}, {12, 146, 47}},
    {IDB_LEGEND_FRAGMENTED, {245, 46, 46}, {180, 0, 1}},
    {IDB_LEGEND_MFT, {254, 198, 62}, {252, 125, 20}},
    {IDB_LEGEND_PROCESSING, {254, 255, 126}, {233, 216, 11}},
};
constexpr Rgb kWhite{255, 255, 255};

TEST(Bitmaps, MapSpritesAreEightByEightCellsInSharedWhiteFrames) {
    const LoadedBitmap sheet(IDB_MAP_SPRITES);
    ASSERT_TRUE(sheet.Loaded());
    for (int x = 0; x < 55; ++x) {
        EXPECT_EQ(kWhite, sheet.At(x, 0)) << x;
        EXPECT_EQ(kWhite, sheet.At(x, 9)) << x;
    }
    for (int state = 0; state < 6; ++state) {
        SCOPED_TRACE(state);
        const int left = state * 9;
        for (int y = 0; y < 10; ++y) {
            EXPECT_EQ(kWhite, sheet.At(left, y));
            EXPECT_EQ(kWhite, sheet.At(left + 9, y));
        }
        for (int x = left + 1; x < left + 9; ++x) {
            EXPECT_EQ(kCells[state].light, sheet.At(x, 1));
            EXPECT_EQ(kCells[state].dark, sheet.At(x, 8));
        }
        // Two bands: the lower band starts well below the upper band's end.
        const Rgb upperEnd = sheet.At(left + 4, 4);
        const Rgb lowerStart = sheet.At(left + 4, 5);
        EXPECT_GT(std::abs(upperEnd.r - lowerStart.r) + std::abs(upperEnd.g - lowerStart.g) +
                      std::abs(upperEnd.b - lowerStart.b),
                  std::abs(kCells[state].light.g - kCells[state].dark.g) / 3);
    }
}

TEST(Bitmaps, LegendSwatchesRepeatTheirSpriteWithoutTheFrame) {
    for (const CellColours& cell : kCells) {
        SCOPED_TRACE(cell.legendId);
        const LoadedBitmap legend(cell.legendId);
        ASSERT_TRUE(legend.Loaded());
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(cell.light, legend.At(x, 0));
            EXPECT_EQ(cell.dark, legend.At(x, 9));
        }
    }
}

// A pixel of one bitmap that must equal a pixel of another, because the
// windows draw the two next to or on top of each other.
struct Seam {
    const char* what;
    int id;
    int x, y;
    int otherId;
    int otherX, otherY;
};

constexpr Seam kSeams[] = {
    // Buttons take on the surface they are placed on at their corners.
    {"close button on the banner", IDB_BUTTON_CLOSE, 0, 16, IDB_BANNER, 794, 17},
    {"minimise button on the banner", IDB_BUTTON_MINIMIZE, 32, 0, IDB_BANNER, 801, 1},
    {"update tab on the banner", IDB_BUTTON_UPDATE, 0, 0, IDB_BANNER, 693, 54},
    {"cancel on the footer", IDB_BUTTON_CANCEL, 0, 0, IDB_FOOTER_STRIP, 0, 16},
    {"cancel on the footer, bottom", IDB_BUTTON_CANCEL, 117, 33, IDB_FOOTER_STRIP, 1, 49},
    {"defrag on the footer", IDB_BUTTON_DEFRAG, 0, 0, IDB_FOOTER_STRIP, 0, 16},
    {"disabled defrag on the footer", IDB_BUTTON_DEFRAG, 3 * 156, 34, IDB_FOOTER_STRIP, 0, 50},
    {"back on the footer", IDB_BUTTON_BACK, 155, 0, IDB_FOOTER_STRIP, 0, 13},
    {"see results on the footer", IDB_BUTTON_SEE_RESULTS, 0, 33, IDB_FOOTER_STRIP, 0, 46},
    {"view report on the footer", IDB_BUTTON_VIEW_REPORT, 0, 0, IDB_FOOTER_STRIP, 0, 13},
    // Workflow items on the panel background, which starts at y 80.
    {"welcome on the panel", IDB_STEP_WELCOME, 190, 0, IDB_PANEL_BACKGROUND, 0, 12},
    {"current welcome on the panel", IDB_STEP_WELCOME_CURRENT, 190, 39, IDB_PANEL_BACKGROUND, 0,
     51},
    {"scan on the panel", IDB_STEP_SCAN_CURRENT, 190, 0, IDB_PANEL_BACKGROUND, 0, 52},
    {"results on the panel", IDB_STEP_RESULTS, 190, 20, IDB_PANEL_BACKGROUND, 0, 112},
    {"optimize on the panel", IDB_STEP_OPTIMIZE_CURRENT, 190, 39, IDB_PANEL_BACKGROUND, 0, 171},
    // The side edges carry the banner's colours across the window's top.
    {"left edge beside the banner", IDB_FRAME_LEFT, 5, 40, IDB_BANNER, 0, 40},
    {"right edge beside the banner", IDB_FRAME_RIGHT, 0, 70, IDB_BANNER, 841, 70},
    {"left edge beside the footer", IDB_FRAME_LEFT, 5, 590, IDB_FRAME_BOTTOM, 0, 14},
    {"right edge beside the footer", IDB_FRAME_RIGHT, 0, 590, IDB_FRAME_BOTTOM, 841, 14},
    // Box ends meet their tiles, top band and body alike.
    {"drive box left end", IDB_DRIVE_BOX_LEFT, 5, 20, IDB_DRIVE_BOX_TILE, 0, 20},
    {"drive box right end", IDB_DRIVE_BOX_RIGHT, 0, 100, IDB_DRIVE_BOX_TILE, 0, 100},
    {"status box left end", IDB_STATUS_BOX_LEFT, 5, 100, IDB_STATUS_BOX_TILE, 0, 100},
    {"status box middle piece", IDB_STATUS_BOX_RIGHT, 0, 10, IDB_STATUS_BOX_TILE, 0, 10},
    {"status box middle piece, end", IDB_STATUS_BOX_RIGHT, 71, 169, IDB_STATUS_BOX_TILE, 0, 169},
    {"status box right end", IDB_STATUS_BOX_RIGHT_END, 0, 10, IDB_STATUS_BOX_RIGHT, 71, 10},
    {"results frame left end", IDB_BOX_LEFT, 5, 2, IDB_BOX_TILE, 0, 2},
    {"results frame right end", IDB_BOX_RIGHT, 0, 60, IDB_BOX_TILE, 0, 60},
    // Icons on a box's header band.
    {"drive icon on the drive box band", IDB_DRIVE_ICON, 0, 0, IDB_DRIVE_BOX_TILE, 0, 8},
    {"attention icon on the status band", IDB_ATTENTION_ICON, 0, 0, IDB_STATUS_BOX_TILE, 0, 5},
    {"recommend icon on the frame band", IDB_RECOMMEND_ICON, 0, 0, IDB_BOX_TILE, 0, 4},
};

TEST(Bitmaps, PiecesDrawnTogetherMeetWithoutASeam) {
    for (const Seam& seam : kSeams) {
        SCOPED_TRACE(seam.what);
        const LoadedBitmap one(seam.id);
        const LoadedBitmap other(seam.otherId);
        ASSERT_TRUE(one.Loaded() && other.Loaded());
        EXPECT_EQ(other.At(seam.otherX, seam.otherY), one.At(seam.x, seam.y));
    }
}

}  // namespace
