#include "screen/SevenSegment.h"

namespace sevenseg {

namespace {

// Lit segments per digit, bit n for segment n (A = bit 0 ... G = bit 6). The 6 carries the top bar,
// the 7 has no upper-left bar and the 9 carries the bottom bar.
constexpr std::array<uint8_t, 10> Lit = {
    0b0111111,  // 0: a b c d e f
    0b0000110,  // 1: b c
    0b1011011,  // 2: a b d e g
    0b1001111,  // 3: a b c d g
    0b1100110,  // 4: b c f g
    0b1101101,  // 5: a c d f g
    0b1111101,  // 6: a c d e f g
    0b0000111,  // 7: a b c
    0b1111111,  // 8: all
    0b1101111,  // 9: a b c d f g
};

// The fractions of the size, in thousandths. Integer arithmetic keeps the cut toward zero exact:
// 0.6 x 70 is 42, where a double product would land just below it.
constexpr std::array<int, 10> XPerMille = {100, 125, 150, 225, 275, 750, 800, 875, 900, 925};
constexpr std::array<int, 15> YPerMille = {70, 86, 143, 157, 429, 470, 500, 514, 529, 557, 600, 870, 886, 942, 957};

}  // namespace

bool isLit(int value, Segment segment)
{
    if (value < 0 || value > 9)
        return false;
    return (Lit[static_cast<size_t>(value)] >> segment) & 1;
}

Coordinates coordinates(int w, int h)
{
    Coordinates c;
    for (size_t i = 0; i < c.x.size(); ++i)
        c.x[i] = static_cast<int>(int64_t(w) * XPerMille[i] / 1000);
    for (size_t i = 0; i < c.y.size(); ++i)
        c.y[i] = static_cast<int>(int64_t(h) * YPerMille[i] / 1000);
    return c;
}

Shape shape(Segment segment, const Coordinates& c)
{
    // Names as in the drawing: X1 is c.x[0], Y1 is c.y[0].
    const auto X = [&c](int n) { return c.x[static_cast<size_t>(n - 1)]; };
    const auto Y = [&c](int n) { return c.y[static_cast<size_t>(n - 1)]; };
    switch (segment) {
        case F:
            return {{{X(1), Y(2)}, {X(4), Y(4)}, {X(4), Y(5)}, {X(1), Y(7)}}, {(X(1) + X(4)) / 2, (Y(2) + Y(7)) / 2}};
        case E:
            return {{{X(1), Y(9)}, {X(4), Y(11)}, {X(4), Y(12)}, {X(1), Y(14)}},
                    {(X(1) + X(4)) / 2, (Y(9) + Y(14)) / 2}};
        case B:
            return {{{X(10), Y(2)}, {X(7), Y(4)}, {X(7), Y(5)}, {X(10), Y(7)}},
                    {(X(10) + X(7)) / 2, (Y(2) + Y(7)) / 2}};
        case C:
            return {{{X(10), Y(9)}, {X(7), Y(11)}, {X(7), Y(12)}, {X(10), Y(14)}},
                    {(X(10) + X(7)) / 2, (Y(9) + Y(14)) / 2}};
        case G:
            return {{{X(3), Y(8)}, {X(4), Y(6)}, {X(7), Y(6)}, {X(8), Y(8)}, {X(7), Y(10)}, {X(4), Y(10)}},
                    {(X(3) + X(8)) / 2, Y(8)}};
        case A:
            return {{{X(2), Y(1)}, {X(9), Y(1)}, {X(6), Y(3)}, {X(5), Y(3)}}, {(X(2) + X(9)) / 2, (Y(1) + Y(3)) / 2}};
        case D:
            return {{{X(2), Y(15)}, {X(9), Y(15)}, {X(6), Y(13)}, {X(5), Y(13)}},
                    {(X(2) + X(9)) / 2, (Y(15) + Y(13)) / 2}};
    }
    return {};
}

void paint(Surface& surface, int value, Colour on, Colour off, Colour back)
{
    const Colour savedPen = surface.penColour, savedBrush = surface.brushColour;
    const Surface::PenMode savedMode = surface.penMode;
    const Surface::PenStyle savedStyle = surface.penStyle;

    surface.fillRect(0, 0, surface.width(), surface.height(), back);
    surface.penMode = Surface::PenMode::Copy;
    surface.penStyle = Surface::PenStyle::Solid;
    const Coordinates c = coordinates(surface.width(), surface.height());
    for (const Segment segment : PaintOrder) {
        const Colour colour = isLit(value, segment) ? on : off;
        Shape s = shape(segment, c);
        s.outline.push_back(s.outline.front());  // closed: back to the first point
        surface.penColour = colour;
        surface.brushColour = colour;
        surface.polyline(s.outline);
        // The outline just drawn is the border. A segment in the background colour starts its fill
        // on a border pixel and so stays invisible.
        surface.floodFill(s.fill.x(), s.fill.y(), colour);
    }

    surface.penColour = savedPen;
    surface.brushColour = savedBrush;
    surface.penMode = savedMode;
    surface.penStyle = savedStyle;
}

QImage render(int w, int h, int value, Colour on, Colour off, Colour back)
{
    if (w <= 0 || h <= 0)
        return {};
    Surface surface(w, h);
    paint(surface, value, on, off, back);
    return surface.image();
}

}  // namespace sevenseg
