#include "tools/artgen/Shapes.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace artgen {

namespace {

double DistanceToSegment(Point p, Point a, Point b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    double t = 0;
    if (lengthSquared > 0) {
        t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared, 0.0, 1.0);
    }
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

}  // namespace

Shape RoundedRect(double left, double top, double right, double bottom, double radius) {
    const double cx = (left + right) / 2;
    const double cy = (top + bottom) / 2;
    const double hx = (right - left) / 2 - radius;
    const double hy = (bottom - top) / 2 - radius;
    return [=](Point p) {
        const double qx = std::abs(p.x - cx) - hx;
        const double qy = std::abs(p.y - cy) - hy;
        const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
        return outside + std::min(std::max(qx, qy), 0.0) - radius;
    };
}

Shape Circle(Point centre, double radius) {
    return [=](Point p) { return std::hypot(p.x - centre.x, p.y - centre.y) - radius; };
}

Shape Segment(Point from, Point to, double width) {
    return [=](Point p) { return DistanceToSegment(p, from, to) - width / 2; };
}

Shape Polyline(const std::vector<Point>& points, double width) {
    return [points, width](Point p) {
        double nearest = 1e9;
        for (size_t i = 1; i < points.size(); ++i) {
            nearest = std::min(nearest, DistanceToSegment(p, points[i - 1], points[i]));
        }
        return nearest - width / 2;
    };
}

Shape Polygon(std::vector<Point> corners) {
    return [corners = std::move(corners)](Point p) {
        double nearest = 1e9;
        bool inside = false;
        for (size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
            const Point a = corners[i];
            const Point b = corners[j];
            nearest = std::min(nearest, DistanceToSegment(p, a, b));
            if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
                inside = !inside;
            }
        }
        return inside ? -nearest : nearest;
    };
}

Shape Union(Shape a, Shape b) {
    return [a = std::move(a), b = std::move(b)](Point p) { return std::min(a(p), b(p)); };
}

Shape Subtract(Shape from, Shape cut) {
    return [from = std::move(from), cut = std::move(cut)](Point p) {
        return std::max(from(p), -cut(p));
    };
}

Shape InnerStroke(Shape shape, double width) {
    return [shape = std::move(shape), width](Point p) {
        return std::abs(shape(p) + width / 2) - width / 2;
    };
}

Shape Offset(Shape shape, double dx, double dy) {
    return [shape = std::move(shape), dx, dy](Point p) { return shape({p.x - dx, p.y - dy}); };
}

}  // namespace artgen
