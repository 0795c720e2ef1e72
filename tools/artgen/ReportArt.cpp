#include "tools/artgen/ReportArt.h"

#include "tools/artgen/Skin.h"
#include "tools/artgen/Symbols.h"
#include "tools/artgen/WindowArt.h"

namespace artgen {

namespace {

// The header pieces share one gradient, row for row, so that they meet without a seam.
void PaintHeader(Canvas& canvas) {
    for (int y = 0; y < canvas.Height(); ++y) {
        canvas.Fill({0, y, canvas.Width(), y + 1}, Mix(skin::kBannerTop, skin::kBannerBottom,
                                                       y / double(kReportHeaderHeight - 1)));
    }
}

constexpr Rgb kMenuBackground{236, 243, 252};
constexpr Rgb kMenuOrange{255, 78, 0};

}  // namespace

Canvas DrawReportHeaderLeftImage() {
    Canvas canvas(80, kReportHeaderHeight, skin::kWhite);
    PaintHeader(canvas);
    DrawLogo(canvas, 20, 12, 44);
    return canvas;
}

Canvas DrawReportHeaderLeftText() {
    Canvas canvas(253, kReportHeaderHeight, skin::kWhite);
    PaintHeader(canvas);
    DrawWordmark(canvas, 4, 11, 30);
    return canvas;
}

Canvas DrawReportHeaderTopMiddle() {
    Canvas canvas(16, kReportHeaderHeight, skin::kWhite);
    PaintHeader(canvas);
    return canvas;
}

Canvas DrawReportHeaderTopRight() {
    Canvas canvas(156, kReportHeaderHeight, skin::kWhite);
    PaintHeader(canvas);
    DrawCellField(canvas, {-60, 6, 150, 66}, 0.16);
    return canvas;
}

Canvas DrawReportMenuBackground() {
    Canvas canvas(187, 1, skin::kWhite);
    canvas.FillHorizontal({0, 0, 186, 1}, skin::kWhite, kMenuBackground);
    canvas.Fill({186, 0, 187, 1}, skin::kLine);
    return canvas;
}

Canvas DrawReportMenuSeparator() {
    Canvas canvas(176, 2, skin::kWhite);
    canvas.FillHorizontal({0, 0, 176, 1}, skin::kWhite, skin::kSoftLine);
    return canvas;
}

Canvas DrawReportMenuArrow() {
    Canvas canvas(11, 11, skin::kWhite);
    canvas.FillShape(Polygon({{3, 1.5}, {8.5, 5.5}, {3, 9.5}}), kMenuOrange);
    return canvas;
}

Canvas DrawReportHeadingBar() {
    Canvas canvas(650, 30, skin::kWhite);
    canvas.FillVertical({0, 0, 650, 29}, skin::kBand, {224, 236, 250});
    canvas.Fill({0, 29, 650, 30}, skin::kLine);
    canvas.Fill({0, 0, 4, 29}, skin::kAccent);
    return canvas;
}

Canvas DrawReportFooterBar() {
    Canvas canvas(16, 25, skin::kWhite);
    canvas.FillVertical({0, 0, 16, 25}, skin::kBannerTop, skin::kBannerBottom);
    return canvas;
}

Canvas DrawReportSpacer() {
    return Canvas(1, 1, skin::kWhite);
}

}  // namespace artgen
