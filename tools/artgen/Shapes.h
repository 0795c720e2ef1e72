// Shapes as signed distance fields (negative inside, in pixels). GDI draws
// its ellipses and rounded rectangles without anti-aliasing; a distance field
// gives every edge pixel its exact coverage, so the small glyphs stay clean.
#pragma once

#include <functional>
#include <vector>

namespace artgen {

struct Point {
    double x = 0;
    double y = 0;
};

using Shape = std::function<double(Point)>;

Shape RoundedRect(double left, double top, double right, double bottom, double radius);
Shape Circle(Point centre, double radius);
// A stroke of the given width along the segment, with round ends.
Shape Segment(Point from, Point to, double width);
// A stroke along a chain of points (a check mark, a chevron).
Shape Polyline(const std::vector<Point>& points, double width);
Shape Polygon(std::vector<Point> corners);
Shape Union(Shape a, Shape b);
Shape Subtract(Shape from, Shape cut);
// The band of the given width just inside the outline of a shape.
Shape InnerStroke(Shape shape, double width);
Shape Offset(Shape shape, double dx, double dy);

}  // namespace artgen
