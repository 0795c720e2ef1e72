#include "tools/artgen/WindowArt.h"

#include <cmath>
#include <string>

#include "tools/artgen/Skin.h"
#include "tools/artgen/Symbols.h"

namespace artgen {

namespace {

using skin::Backdrop;

constexpr int kWindowHeight = 599;
constexpr int kFooterTop = 582;  // the footer band starts 6 rows into the bottom edge
constexpr int kPanelTop = 80;    // where the window draws the panel background
constexpr int kStepTop = 92;     // the first workflow item
constexpr int kStepPitch = 40;
constexpr int kLinkPlateTop = 27;  // the About and Help links sit at rows 31-49

Rgb FooterBand(int row) {
    if (row == 0) {
        return {196, 212, 234};
    }
    return Mix({246, 249, 253}, {226, 235, 247}, row / 16.0);
}

// One column of the window's side edges: the banner's colours at the top,
// white along the pages, the footer band at the bottom.
Rgb EdgeRow(int y) {
    if (y < skin::kBannerHeight) {
        return skin::BackdropRow(Backdrop::Banner, y);
    }
    if (y < kFooterTop) {
        return skin::kWhite;
    }
    return FooterBand(y - kFooterTop);
}

Canvas DrawEdge(int width, int outlineColumn) {
    Canvas canvas(width, kWindowHeight, skin::kWhite);
    for (int y = 0; y < kWindowHeight; ++y) {
        canvas.Fill({0, y, width, y + 1}, EdgeRow(y));
    }
    canvas.Fill({outlineColumn, 0, outlineColumn + 1, kWindowHeight}, skin::kOutline);
    return canvas;
}

void DrawOutline(Canvas& canvas) {
    const int w = canvas.Width();
    const int h = canvas.Height();
    canvas.Fill({0, 0, w, 1}, skin::kOutline);
    canvas.Fill({0, h - 1, w, h}, skin::kOutline);
    canvas.Fill({0, 0, 1, h}, skin::kOutline);
    canvas.Fill({w - 1, 0, w, h}, skin::kOutline);
}

// A blue band across the top of a small window, as the banner.
void DrawTitleBand(Canvas& canvas, int height) {
    canvas.FillVertical({0, 0, canvas.Width(), height}, skin::kBannerTop, skin::kBannerBottom);
}

void DrawFooter(Canvas& canvas, int top) {
    canvas.FillVertical({0, top, canvas.Width(), canvas.Height()}, {246, 249, 253},
                        {228, 237, 248});
    canvas.Fill({0, top, canvas.Width(), top + 1}, {206, 221, 241});
}

}  // namespace

// A faint field of cluster cells, brightest at its centre, as a backdrop motif.
void DrawCellField(Canvas& canvas, RECT area, double strength) {
    const double cx = (area.left + area.right) / 2.0;
    const double cy = (area.top + area.bottom) / 2.0;
    const double reach = (area.right - area.left) / 2.0;
    for (int y = area.top; y + 7 <= area.bottom; y += 9) {
        for (int x = area.left; x + 7 <= area.right; x += 9) {
            // A fixed scatter so that the field looks irregular but never changes.
            const unsigned hash =
                static_cast<unsigned>(x * 73856093u) ^ static_cast<unsigned>(y * 19349663u);
            const double fade = 1.0 - std::hypot((x - cx) / reach, (y - cy) / reach * 2.2);
            if (fade <= 0 || hash % 5 == 0) {
                continue;
            }
            const double opacity = strength * fade * (0.5 + (hash % 7) / 12.0);
            canvas.FillShape(RoundedRect(x, y, x + 7, y + 7, 1.5), skin::kWhite, opacity,
                             RECT{x - 1, y - 1, x + 8, y + 8});
        }
    }
}

void DrawWordmark(Canvas& canvas, int left, int top, int size) {
    const int nameHeight = size;
    const int vendorHeight = std::max(11, size * 2 / 5);
    canvas.Text(L"Vantrel", {left + 1, top + 1, left + 400, top + nameHeight + 8},
                {nameHeight, true, false}, {8, 44, 100}, DT_LEFT | DT_TOP | DT_SINGLELINE);
    canvas.Text(L"Vantrel", {left, top, left + 400, top + nameHeight + 8},
                {nameHeight, true, false}, skin::kWhite, DT_LEFT | DT_TOP | DT_SINGLELINE);
    canvas.Text(L"Brenlow",
                {left + 2, top + nameHeight + 2, left + 400, top + nameHeight + vendorHeight + 8},
                {vendorHeight, false, false}, skin::kVendorText, DT_LEFT | DT_TOP | DT_SINGLELINE);
}

Canvas DrawBanner() {
    Canvas canvas(842, skin::kBannerHeight, skin::kWhite);
    skin::PaintBackdrop(canvas, Backdrop::Banner, 0);
    DrawCellField(canvas, {360, 6, 680, 68}, 0.14);
    DrawLogo(canvas, 16, 14, 44);
    DrawWordmark(canvas, 70, 12, 30);
    // The plate behind the About and Help links, which are drawn in black.
    const Shape plate = RoundedRect(717.5, kLinkPlateTop + 0.5, 834.5, 51.5, 6);
    canvas.FillShape(Offset(plate, 0, 1), Rgb{0, 0, 0}, 0.15);
    canvas.FillShape(plate, [](int, int y) {
        return Mix(skin::kWhite, {236, 243, 252}, (y - kLinkPlateTop) / 24.0);
    });
    canvas.Fill({780, 33, 781, 46}, {206, 220, 238});
    return canvas;
}

Canvas DrawFrameLeft() {
    return DrawEdge(6, 0);
}

Canvas DrawFrameRight() {
    return DrawEdge(7, 6);
}

Canvas DrawFrameBottom() {
    Canvas canvas(842, 23, skin::kWhite);
    for (int y = 6; y < 23; ++y) {
        canvas.Fill({0, y, 842, y + 1}, FooterBand(y - 6));
    }
    canvas.Fill({0, 22, 842, 23}, skin::kOutline);
    return canvas;
}

Canvas DrawPanelBackground() {
    Canvas canvas(1, skin::kPanelHeight, skin::kWhite);
    skin::PaintBackdrop(canvas, Backdrop::Panel, 0);
    return canvas;
}

Canvas DrawPanelSeparator() {
    Canvas canvas(2, skin::kPanelHeight, skin::kWhite);
    canvas.Fill({0, 0, 1, skin::kPanelHeight}, {192, 210, 234});
    canvas.Fill({1, 0, 2, skin::kPanelHeight}, {238, 244, 251});
    return canvas;
}

Canvas DrawWorkflowStep(int step, bool current) {
    Canvas canvas(191, 40, skin::kWhite);
    skin::PaintBackdrop(canvas, Backdrop::Panel, kStepTop - kPanelTop + (step - 1) * kStepPitch);
    const Point badge{34, 20};
    // The line that joins the badges of neighbouring steps.
    const Rgb joint{196, 210, 230};
    if (step > 1) {
        canvas.FillShape(Segment({badge.x, -2}, {badge.x, badge.y}, 2), joint);
    }
    if (step < 4) {
        canvas.FillShape(Segment({badge.x, badge.y}, {badge.x, 42}, 2), joint);
    }
    if (current) {
        const Shape card = RoundedRect(8.5, 3.5, 184.5, 36.5, 6);
        canvas.FillShape(Offset(card, 0, 1), Rgb{20, 60, 120}, 0.10);
        canvas.FillShape(card, skin::kWhite);
        canvas.FillShape(InnerStroke(card, 1), skin::kLine);
        canvas.FillShape(RoundedRect(8.5, 3.5, 12.5, 36.5, 2), skin::kAccent);
        canvas.FillShape(Polyline({{174, 15.5}, {178.5, 20}, {174, 24.5}}, 1.8), skin::kAccent);
        DrawRoundIcon(canvas, badge, 11, {70, 150, 236}, skin::kAccent, [](Point) { return 1.0; });
    } else {
        canvas.FillShape(Circle(badge, 11), skin::kWhite);
        canvas.FillShape(InnerStroke(Circle(badge, 11), 1.2), Rgb{164, 182, 206});
    }
    const std::wstring number = std::to_wstring(step);
    canvas.Text(number, {23, 9, 46, 31}, {13, true, false},
                current ? skin::kWhite : Rgb{116, 132, 154},
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return canvas;
}

Canvas DrawAboutLinkIcon() {
    Canvas canvas(16, 16, skin::kWhite);
    DrawRoundIcon(canvas, {8, 8}, 7.5, {70, 150, 236}, skin::kAccent, InfoGlyph({8, 8.3}, 0.72));
    return canvas;
}

Canvas DrawHelpLinkIcon() {
    Canvas canvas(16, 16, skin::kWhite);
    DrawRoundIcon(canvas, {8, 8}, 7.5, {70, 150, 236}, skin::kAccent,
                  QuestionGlyph({8, 8.2}, 0.78));
    return canvas;
}

Canvas DrawSplash() {
    Canvas canvas(424, 231, skin::kWhite);
    canvas.FillVertical({0, 0, 424, 231}, {36, 116, 208}, {10, 56, 126});
    DrawCellField(canvas, {200, 10, 420, 130}, 0.14);
    DrawLogo(canvas, 36, 44, 60);
    DrawWordmark(canvas, 112, 46, 42);
    // A strip of the volume map as the program draws it: 9-pixel cells in
    // white frames, the volume filling up from the left.
    const int columns = 38;
    const int rows = 4;
    const int left = (424 - (columns * 9 + 1)) / 2;
    const int top = 156;
    canvas.FillShape(
        RoundedRect(left - 4.5, top - 4.5, left + columns * 9 + 5.5, top + rows * 9 + 5.5, 4),
        skin::kWhite, 0.95);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const unsigned hash =
                static_cast<unsigned>(c * 2654435761u) ^ static_cast<unsigned>(r * 40503u);
            int state = c < 14 ? 2 : (c < 27 ? 1 : 0);
            if (hash % 11 == 0) {
                state = 3;
            } else if (c < 2 && r < 2) {
                state = 4;
            } else if (c >= 27 && hash % 5 == 0) {
                state = 1;
            }
            for (int y = 0; y < 8; ++y) {
                canvas.Fill(
                    {left + c * 9 + 1, top + r * 9 + 1 + y, left + c * 9 + 9, top + r * 9 + 2 + y},
                    skin::CellRow(state, y, 8));
            }
        }
    }
    DrawOutline(canvas);
    return canvas;
}

Canvas DrawAboutBackground() {
    Canvas canvas(537, 309, skin::kWhite);
    DrawTitleBand(canvas, 48);
    DrawCellField(canvas, {300, 4, 530, 46}, 0.14);
    DrawLogo(canvas, 14, 9, 30);
    canvas.Text(L"Vantrel", {53, 0, 300, 48}, {20, true, false}, skin::kWhite,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    // A light plate behind the version, web site and e-mail lines.
    const Shape plate = RoundedRect(40.5, 100.5, 496.5, 174.5, 6);
    canvas.FillShape(plate, skin::kBand);
    canvas.FillShape(InnerStroke(plate, 1), skin::kLine);
    DrawFooter(canvas, 284);
    canvas.Text(L"Brenlow", {16, 285, 300, 308}, {11, false, false}, {120, 134, 154},
                DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    DrawOutline(canvas);
    return canvas;
}

Canvas DrawPopupBackground() {
    Canvas canvas(254, 193, skin::kWhite);
    DrawTitleBand(canvas, 26);
    DrawLogo(canvas, 7, 5, 16);
    canvas.Text(L"Vantrel", {28, 0, 200, 26}, {12, true, false}, skin::kWhite,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    // The close mark; the popup closes on a click in (220, 6)-(250, 18).
    canvas.FillShape(RoundedRect(222.5, 5.5, 248.5, 18.5, 3), skin::kWhite, 0.18);
    canvas.FillShape(CrossGlyph({235.5, 12}, 3.2, 1.6), skin::kWhite);
    DrawLogo(canvas, 113, 33, 28);
    DrawFooter(canvas, 172);
    DrawOutline(canvas);
    return canvas;
}

}  // namespace artgen
