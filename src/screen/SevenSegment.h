#pragma once

#include <QImage>
#include <QPoint>
#include <array>
#include <cstdint>
#include <vector>

#include "screen/Surface.h"

// The drawing of one seven-segment digit, widget-free: the segment shapes scale with the size of
// the bitmap, and each segment is painted as an outline plus a border-bounded fill in either the
// "on" or the "off" colour.
namespace sevenseg {

// Segments in the usual naming: a top, b upper right, c lower right, d bottom, e lower left,
// f upper left, g middle.
enum Segment : int { A, B, C, D, E, F, G };
constexpr int SegmentCount = 7;

// The order the segments are painted in. Later segments may touch earlier ones; the order decides
// which colour a shared pixel ends up with.
constexpr std::array<Segment, SegmentCount> PaintOrder = {F, E, B, C, G, A, D};

// Whether `segment` is lit for the digit `value` (0..9). Values outside 0..9 light nothing.
bool isLit(int value, Segment segment);

// The ten x and fifteen y coordinates of the shapes for a digit of w x h pixels: fixed fractions of
// the size cut toward zero. x[0] is X1, y[0] is Y1.
struct Coordinates {
    std::array<int, 10> x{};
    std::array<int, 15> y{};
};
Coordinates coordinates(int w, int h);

// The closed outline of a segment (first point not repeated) and the point its fill starts from.
struct Shape {
    std::vector<QPoint> outline;
    QPoint fill;
};
Shape shape(Segment segment, const Coordinates& c);

// Paints the digit over the whole surface: background first, then every segment in PaintOrder
// in `on` if it is lit for `value`, else in `off`. Leaves the surface's pen and brush as it found them.
void paint(Surface& surface, int value, Colour on, Colour off, Colour back);

// The digit as an image of w x h pixels (Format_RGB32); an empty image when w or h is not positive.
QImage render(int w, int h, int value, Colour on, Colour off, Colour back);

}  // namespace sevenseg
