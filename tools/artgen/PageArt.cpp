#include "tools/artgen/PageArt.h"

#include <cmath>

#include "tools/artgen/Skin.h"
#include "tools/artgen/Symbols.h"

namespace artgen {

namespace {

constexpr int kBoxEnd = 6;
constexpr int kBoxSample = 40;  // width of the whole box the pieces are cut from

Canvas DrawWholeBox(int height, int band) {
    Canvas canvas(kBoxSample, height, skin::kWhite);
    const Shape outline = RoundedRect(0.5, 0.5, kBoxSample - 0.5, height - 0.5, 5);
    canvas.FillShape(outline, skin::kWhite);
    canvas.FillShape(
        Subtract(outline, RoundedRect(-10, band + 0.0, kBoxSample + 10, height + 10, 0)),
        skin::kBand);
    canvas.Fill({1, band, kBoxSample - 1, band + 1}, skin::kSoftLine);
    canvas.FillShape(InnerStroke(outline, 1), skin::kLine);
    return canvas;
}

// An icon drawn on the colour of what it sits on.
Canvas IconCanvas(int width, int height, Rgb background) {
    return Canvas(width, height, background);
}

Paint Vertical(double top, double bottom, Rgb from, Rgb to) {
    return [=](int, int y) { return Mix(from, to, (y + 0.5 - top) / (bottom - top)); };
}

Canvas DrawBadge(const Shape& glyph) {
    Canvas canvas(172, 53, skin::kWhite);
    const Shape card = RoundedRect(0.5, 0.5, 171.5, 51.5, 7);
    canvas.FillShape(Offset(card, 0, 1), Rgb{120, 20, 10}, 0.08);
    canvas.FillShape(card, Vertical(0.5, 51.5, {255, 250, 249}, {253, 236, 233}));
    canvas.FillShape(InnerStroke(card, 1), Rgb{240, 194, 188});
    DrawRoundIcon(canvas, {19.5, 25.5}, 12.5, {232, 72, 60}, {178, 14, 6}, glyph);
    return canvas;
}

}  // namespace

Canvas DrawBoxPiece(const BoxPiece& piece) {
    const Canvas whole = DrawWholeBox(piece.height, piece.band);
    switch (piece.part) {
        case BoxPiece::Left:
            return whole.Slice(0, kBoxEnd);
        case BoxPiece::Right:
            return whole.Slice(kBoxSample - kBoxEnd, kBoxEnd);
        case BoxPiece::Tile:
            break;
    }
    // Every column between the ends is the same, so a tile of any width fits.
    Canvas tile(piece.width, piece.height, skin::kWhite);
    const Canvas column = whole.Slice(kBoxSample / 2, 1);
    for (int x = 0; x < piece.width; ++x) {
        tile.Draw(column, x, 0);
    }
    return tile;
}

Canvas DrawStatusRule() {
    Canvas canvas(520, 1, skin::kWhite);
    canvas.FillHorizontal({0, 0, 60, 1}, skin::kWhite, skin::kSoftLine);
    canvas.Fill({60, 0, 460, 1}, skin::kSoftLine);
    canvas.FillHorizontal({460, 0, 520, 1}, skin::kSoftLine, skin::kWhite);
    return canvas;
}

Canvas DrawTitleRule() {
    Canvas canvas(583, 1, skin::kWhite);
    canvas.FillHorizontal({0, 0, 240, 1}, skin::kAccent, skin::kLine);
    canvas.FillHorizontal({240, 0, 583, 1}, skin::kLine, skin::kWhite);
    return canvas;
}

Canvas DrawFooterStrip() {
    Canvas canvas(2, skin::kFooterHeight, skin::kWhite);
    skin::PaintBackdrop(canvas, skin::Backdrop::Footer, 0);
    return canvas;
}

Canvas DrawSelectTitleIcon() {
    Canvas canvas = IconCanvas(25, 24, skin::kWhite);
    DrawRoundIcon(canvas, {12.5, 12}, 11.5, {70, 150, 236}, skin::kAccent,
                  DiskGlyph({12.5, 12}, 1.0));
    return canvas;
}

Canvas DrawDriveIcon() {
    // A hard disk seen from the front, on the drive box's header band.
    Canvas canvas = IconCanvas(28, 28, skin::kBand);
    const Shape body = RoundedRect(2.5, 7.5, 25.5, 21.5, 3);
    canvas.FillShape(Offset(body, 0, 1), Rgb{0, 0, 0}, 0.12);
    canvas.FillShape(body, Vertical(7.5, 21.5, {236, 241, 248}, {170, 184, 204}));
    canvas.FillShape(InnerStroke(body, 1), Rgb{112, 130, 156});
    canvas.FillShape(Segment({6.5, 17}, {15.5, 17}, 1.4), Rgb{112, 130, 156});
    canvas.FillShape(Circle({21, 17}, 1.7), skin::kCellColours[2].dark);
    canvas.FillShape(Segment({5, 10.5}, {23, 10.5}, 1), skin::kWhite, 0.8);
    return canvas;
}

Canvas DrawAttentionIcon() {
    Canvas canvas = IconCanvas(25, 24, skin::kBand);
    const Shape triangle = Polygon({{12.5, 4.5}, {21.5, 19.5}, {3.5, 19.5}});
    // Rounded corners: the triangle grown by a pixel and a half.
    const Shape rounded = [triangle](Point p) { return triangle(p) - 1.5; };
    canvas.FillShape(rounded, Vertical(2, 22, {255, 190, 72}, {232, 128, 8}));
    canvas.FillShape(ExclamationGlyph({12.5, 14.2}, 0.78), skin::kWhite);
    return canvas;
}

Canvas DrawScanIcon() {
    Canvas canvas = IconCanvas(25, 24, skin::kWhite);
    DrawRoundIcon(canvas, {12.5, 12}, 11.5, {70, 150, 236}, skin::kAccent,
                  MagnifierGlyph({12.5, 12}, 0.95));
    return canvas;
}

Canvas DrawOptimizeIcon() {
    Canvas canvas = IconCanvas(25, 24, skin::kWhite);
    DrawRoundIcon(canvas, {12.5, 12}, 11.5, {48, 186, 92}, skin::kGood,
                  ChevronsGlyph({12.5, 12}, 0.95));
    return canvas;
}

Canvas DrawRecommendIcon() {
    // Sits on the header band of the recommendation box.
    Canvas canvas = IconCanvas(25, 24, skin::kBand);
    DrawRoundIcon(canvas, {12.5, 12}, 11.5, {255, 178, 60}, {230, 118, 10},
                  BulbGlyph({12.5, 12}, 0.95));
    return canvas;
}

Canvas DrawFragmentedBadge() {
    return DrawBadge(ScatteredBlocksGlyph({19.5, 25.5}, 1.0));
}

Canvas DrawNonOptimizedBadge() {
    return DrawBadge(BarsGlyph({19.5, 25.5}, 1.0));
}

Canvas DrawResultsHeader(bool good) {
    constexpr int kWidth = 650;
    constexpr int kHeight = 105;
    constexpr int kFade = 10;  // rows at the bottom that fade into the white page
    Canvas canvas(kWidth, kHeight, skin::kWhite);
    const Rgb top = good ? Rgb{26, 150, 70} : Rgb{200, 38, 26};
    const Rgb bottom = good ? Rgb{0, 112, 38} : Rgb{150, 6, 2};
    canvas.FillVertical({0, 0, kWidth, kHeight - kFade}, top, bottom);
    canvas.FillVertical({0, kHeight - kFade, kWidth, kHeight}, Mix(bottom, skin::kWhite, 0.25),
                        skin::kWhite);
    // Cluster cells in the right half, below the line of the file count.
    for (int y = 30; y + 7 <= 86; y += 9) {
        for (int x = 430; x + 7 <= 636; x += 9) {
            const double fade = (x - 430) / 206.0;
            const unsigned hash =
                static_cast<unsigned>(x * 2654435761u) ^ static_cast<unsigned>(y * 97u);
            if (hash % 4 == 0) {
                continue;
            }
            canvas.FillShape(RoundedRect(x, y, x + 7, y + 7, 1.5), skin::kWhite, 0.05 + 0.12 * fade,
                             RECT{x - 1, y - 1, x + 8, y + 8});
        }
    }
    const Point mark{50, 46};
    canvas.FillShape(Offset(Circle(mark, 23), 0, 1.5), Rgb{0, 0, 0}, 0.15);
    canvas.FillShape(Circle(mark, 23), skin::kWhite);
    canvas.FillShape(good ? CheckGlyph(mark, 1.9) : ExclamationGlyph(mark, 2.0),
                     good ? skin::kGood : skin::kBad);
    canvas.Text(L"Scan Results", {90, 20, 420, 50}, {24, true, false}, skin::kWhite,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    canvas.Text(good ? L"No fragmentation found" : L"Fragmentation found", {92, 50, 420, 72},
                {13, false, false}, Mix(skin::kWhite, top, 0.15),
                DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    return canvas;
}

Canvas DrawMapSprites() {
    // Six 10 x 10 sprites at x = 0, 9, ... 45: neighbours share a white
    // column, and the top and bottom rows are white.
    Canvas canvas(55, 10, skin::kWhite);
    for (int state = 0; state < 6; ++state) {
        for (int row = 0; row < 8; ++row) {
            canvas.Fill({state * 9 + 1, row + 1, state * 9 + 9, row + 2},
                        skin::CellRow(state, row, 8));
        }
    }
    return canvas;
}

Canvas DrawLegend(int state) {
    Canvas canvas(10, 10, skin::kWhite);
    for (int row = 0; row < 10; ++row) {
        canvas.Fill({0, row, 10, row + 1}, skin::CellRow(state, row, 10));
    }
    return canvas;
}

}  // namespace artgen
