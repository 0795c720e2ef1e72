#include "tools/artgen/Skin.h"

#include <algorithm>

namespace artgen::skin {

Rgb BackdropRow(Backdrop backdrop, int row) {
    switch (backdrop) {
        case Backdrop::White:
            return kWhite;
        case Backdrop::Banner:
            return Mix(kBannerTop, kBannerBottom, row / double(kBannerHeight - 1));
        case Backdrop::Footer:
            // A rule, a white line below it, then a light gradient.
            if (row <= 0) {
                return {208, 224, 244};
            }
            if (row == 1) {
                return kWhite;
            }
            return Mix({250, 252, 255}, {234, 241, 250}, (row - 2) / double(kFooterHeight - 3));
        case Backdrop::Panel:
            return Mix(kWhite, {228, 238, 250},
                       std::clamp(row / double(kPanelHeight - 1), 0.0, 1.0));
    }
    return kWhite;
}

void PaintBackdrop(Canvas& canvas, Backdrop backdrop, int firstRow) {
    for (int y = 0; y < canvas.Height(); ++y) {
        canvas.Fill({0, y, canvas.Width(), y + 1}, BackdropRow(backdrop, firstRow + y));
    }
}

Rgb CellRow(int state, int row, int rows) {
    const CellColours& cell = kCellColours[state];
    const int half = rows / 2;
    constexpr double kBandSpread = 0.18;
    const double within = half > 1 ? (row % half) / double(half - 1) : 0.0;
    const double t = row < half ? kBandSpread * within : 1 - kBandSpread + kBandSpread * within;
    return Mix(cell.light, cell.dark, t);
}

}  // namespace artgen::skin
