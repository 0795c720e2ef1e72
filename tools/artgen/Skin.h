// The skin's palette and the backgrounds that pieces drawn in different
// bitmaps must share pixel for pixel (a button on the banner, a workflow item
// on the panel).
#pragma once

#include "tools/artgen/Canvas.h"
#include "tools/artgen/Colour.h"

namespace artgen::skin {

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBannerTop{31, 108, 200};
inline constexpr Rgb kBannerBottom{12, 64, 140};
inline constexpr Rgb kOutline{30, 80, 150};
inline constexpr Rgb kAccent{14, 75, 153};      // headings, the current workflow step
inline constexpr Rgb kIdleText{82, 82, 82};     // labels of the other steps
inline constexpr Rgb kLine{177, 218, 255};      // box borders, as the map frame
inline constexpr Rgb kBand{243, 249, 255};      // box header bands, as the status band
inline constexpr Rgb kSoftLine{214, 226, 242};  // rules inside boxes
inline constexpr Rgb kVendorText{178, 206, 244};
inline constexpr Rgb kGood{0, 130, 44};
inline constexpr Rgb kBad{190, 4, 0};
inline constexpr Rgb kAttention{243, 156, 18};
inline constexpr Rgb kButtonTop{66, 148, 236};
inline constexpr Rgb kButtonBottom{22, 98, 196};

// Colours of the volume map's cell states, in sprite order: free space, used
// space, optimized, fragmented, MFT, processing. Each cell is two bands, light
// above and dark below.
struct CellColours {
    Rgb light;
    Rgb dark;
};
inline constexpr CellColours kCellColours[6] = {
    {{244, 245, 247}, {180, 181, 185}}, {{46, 132, 188}, {0, 56, 131}},
    {{117, 240, 89}, {12, 146, 47}},    {{245, 46, 46}, {180, 0, 1}},
    {{254, 198, 62}, {252, 125, 20}},   {{254, 255, 126}, {233, 216, 11}},
};
// Row `row` of `rows` coloured rows of a cell: the first row is exactly the
// light colour, the last exactly the dark one, each band a slight gradient.
Rgb CellRow(int state, int row, int rows);

// Surfaces that several bitmaps sit on; rows count from the surface's top.
enum class Backdrop { White, Banner, Footer, Panel };

inline constexpr int kBannerHeight = 74;
inline constexpr int kFooterHeight = 64;
inline constexpr int kPanelHeight = 502;

Rgb BackdropRow(Backdrop backdrop, int row);
// Fills the whole canvas with the backdrop, the canvas's row 0 being `firstRow`.
void PaintBackdrop(Canvas& canvas, Backdrop backdrop, int firstRow);

}  // namespace artgen::skin
