#include "tools/artgen/Symbols.h"

#include <cmath>

#include "tools/artgen/Skin.h"

namespace artgen {

namespace {

Paint VerticalPaint(double top, double bottom, Rgb from, Rgb to) {
    return [=](int, int y) { return Mix(from, to, (y + 0.5 - top) / (bottom - top)); };
}

RECT Around(Point c, double radius) {
    return {static_cast<LONG>(std::floor(c.x - radius - 2)),
            static_cast<LONG>(std::floor(c.y - radius - 2)),
            static_cast<LONG>(std::ceil(c.x + radius + 2)),
            static_cast<LONG>(std::ceil(c.y + radius + 2))};
}

}  // namespace

void DrawLogo(Canvas& canvas, double left, double top, double size) {
    const double right = left + size;
    const double bottom = top + size;
    const double radius = size * 0.2;
    canvas.FillShape(Offset(RoundedRect(left, top, right, bottom, radius), 0, size * 0.04),
                     Rgb{0, 0, 0}, 0.18);
    canvas.FillShape(RoundedRect(left, top, right, bottom, radius),
                     VerticalPaint(top, bottom, skin::kWhite, {226, 236, 248}));
    // Cells of a volume being put in order: used and optimized data in front,
    // one fragment left over, free space behind.
    static constexpr int kStates[3][3] = {{1, 1, 2}, {2, 2, 3}, {2, 0, 0}};
    const double margin = size * 0.17;
    const double gap = size * 0.06;
    const double cell = (size - 2 * margin - 2 * gap) / 3;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const double x = left + margin + column * (cell + gap);
            const double y = top + margin + row * (cell + gap);
            const skin::CellColours colours = skin::kCellColours[kStates[row][column]];
            canvas.FillShape(RoundedRect(x, y, x + cell, y + cell, cell * 0.22),
                             VerticalPaint(y, y + cell, colours.light, colours.dark));
        }
    }
}

void DrawRoundIcon(Canvas& canvas, Point centre, double radius, Rgb top, Rgb bottom,
                   const Shape& glyph) {
    const RECT area = Around(centre, radius);
    canvas.FillShape(Circle(centre, radius),
                     VerticalPaint(centre.y - radius, centre.y + radius, top, bottom), 1.0, area);
    canvas.FillShape(glyph, skin::kWhite, 1.0, area);
}

Shape CrossGlyph(Point c, double half, double width) {
    return Union(Segment({c.x - half, c.y - half}, {c.x + half, c.y + half}, width),
                 Segment({c.x - half, c.y + half}, {c.x + half, c.y - half}, width));
}

Shape CheckGlyph(Point c, double s) {
    return Polyline({{c.x - 5 * s, c.y + 0.2 * s},
                     {c.x - 1.6 * s, c.y + 3.6 * s},
                     {c.x + 5 * s, c.y - 3.4 * s}},
                    2.4 * s);
}

Shape ExclamationGlyph(Point c, double s) {
    return Union(Segment({c.x, c.y - 5 * s}, {c.x, c.y + 1.2 * s}, 2.4 * s),
                 Circle({c.x, c.y + 4.6 * s}, 1.4 * s));
}

Shape MagnifierGlyph(Point c, double s) {
    const Point lens{c.x - 1.2 * s, c.y - 1.2 * s};
    return Union(
        InnerStroke(Circle(lens, 4.6 * s), 1.8 * s),
        Segment({lens.x + 3.6 * s, lens.y + 3.6 * s}, {c.x + 5.2 * s, c.y + 5.2 * s}, 2.4 * s));
}

Shape ChevronsGlyph(Point c, double s) {
    auto chevron = [&](double dx) {
        return Polyline({{c.x + dx - 2.2 * s, c.y - 4.4 * s},
                         {c.x + dx + 2.2 * s, c.y},
                         {c.x + dx - 2.2 * s, c.y + 4.4 * s}},
                        2.2 * s);
    };
    return Union(chevron(-2.4 * s), chevron(2.6 * s));
}

Shape BulbGlyph(Point c, double s) {
    const Shape bulb = Circle({c.x, c.y - 1.6 * s}, 4.2 * s);
    const Shape neck =
        RoundedRect(c.x - 2.2 * s, c.y + 1.6 * s, c.x + 2.2 * s, c.y + 4.2 * s, 0.6 * s);
    const Shape base =
        RoundedRect(c.x - 1.6 * s, c.y + 4.8 * s, c.x + 1.6 * s, c.y + 6.0 * s, 0.6 * s);
    return Union(Union(bulb, neck), base);
}

Shape DiskGlyph(Point c, double s) {
    // A platter with its hub and one groove.
    const Shape platter = Subtract(Circle(c, 6.2 * s), Circle(c, 1.6 * s));
    const Shape groove = InnerStroke(Circle(c, 3.6 * s), 0.9 * s);
    return Subtract(platter, groove);
}

Shape InfoGlyph(Point c, double s) {
    return Union(Segment({c.x, c.y - 0.6 * s}, {c.x, c.y + 4.4 * s}, 2.2 * s),
                 Circle({c.x, c.y - 4.0 * s}, 1.3 * s));
}

Shape QuestionGlyph(Point c, double s) {
    // A hook: most of a circle's ring, then a short stem and the dot.
    const Point centre{c.x, c.y - 2.4 * s};
    const double r = 2.9 * s;
    std::vector<Point> hook;
    for (int i = 0; i <= 12; ++i) {
        const double angle = 3.4 - i * (3.4 + 1.1) / 12;  // from the left round to below right
        hook.push_back({centre.x + r * std::cos(angle), centre.y - r * std::sin(angle)});
    }
    hook.push_back({c.x, c.y + 1.9 * s});
    return Union(Polyline(hook, 2.0 * s), Circle({c.x, c.y + 4.6 * s}, 1.25 * s));
}

Shape ScatteredBlocksGlyph(Point c, double s) {
    const double h = 2.4 * s;
    auto block = [&](double dx, double dy) {
        return RoundedRect(c.x + dx - h, c.y + dy - h, c.x + dx + h, c.y + dy + h, 0.9 * s);
    };
    return Union(Union(block(-3.0 * s, -2.6 * s), block(3.0 * s, -0.6 * s)),
                 block(-1.2 * s, 3.4 * s));
}

Shape BarsGlyph(Point c, double s) {
    auto bar = [&](double dy, double length) {
        return RoundedRect(c.x - 5 * s, c.y + dy - 1.1 * s, c.x - 5 * s + length,
                           c.y + dy + 1.1 * s, 1.1 * s);
    };
    return Union(Union(bar(-3.6 * s, 10 * s), bar(0, 6.5 * s)), bar(3.6 * s, 8.5 * s));
}

Shape DownArrowGlyph(Point c, double s) {
    return Union(
        Segment({c.x, c.y - 4 * s}, {c.x, c.y + 3 * s}, 1.6 * s),
        Polyline({{c.x - 3.2 * s, c.y}, {c.x, c.y + 3.4 * s}, {c.x + 3.2 * s, c.y}}, 1.6 * s));
}

}  // namespace artgen
