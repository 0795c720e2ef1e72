// The product's mark and the small glyphs of the icons, buttons and badges.
#pragma once

#include "tools/artgen/Canvas.h"
#include "tools/artgen/Shapes.h"

namespace artgen {

// The mark: a white rounded tile holding a 3 x 3 grid of cluster cells in the
// map's colours, with a soft shadow below it.
void DrawLogo(Canvas& canvas, double left, double top, double size);

// A filled circle with a vertical gradient and a white glyph on it.
void DrawRoundIcon(Canvas& canvas, Point centre, double radius, Rgb top, Rgb bottom,
                   const Shape& glyph);

// Glyphs drawn around a centre; `s` scales them (1 = sized for a 23-pixel circle).
Shape CrossGlyph(Point c, double half, double width);
Shape CheckGlyph(Point c, double s);
Shape ExclamationGlyph(Point c, double s);
Shape MagnifierGlyph(Point c, double s);
Shape ChevronsGlyph(Point c, double s);
Shape BulbGlyph(Point c, double s);
Shape DiskGlyph(Point c, double s);
Shape InfoGlyph(Point c, double s);
Shape QuestionGlyph(Point c, double s);
Shape ScatteredBlocksGlyph(Point c, double s);
Shape BarsGlyph(Point c, double s);
Shape DownArrowGlyph(Point c, double s);

}  // namespace artgen
