// The seven-segment digit on the bitmap: coordinates at the DVM's 35 x 55 and the default 40 x 70,
// lit and unlit segments of every digit, filled shapes, and the over-range pattern.
#include <gtest/gtest.h>

#include <QRect>

#include "screen/SevenSegment.h"

namespace {

using namespace sevenseg;

constexpr Colour Navy = 0x800000, White = 0xFFFFFF, Grey = 0x808080, Lime = 0x00FF00;

Colour at(const QImage& image, int x, int y)
{
    return Surface::fromRgb(image.pixel(x, y));
}

// The pixels of `colour`, and whether all of them lie in `box`.
int count(const QImage& image, Colour colour, const QRect& box = {})
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (at(image, x, y) == colour && (box.isNull() || box.contains(x, y)))
                ++n;
    return n;
}

QRect bounds(const Shape& s)
{
    QRect r(s.outline.front(), s.outline.front());
    for (const QPoint& p : s.outline)
        r = r.united(QRect(p, p));
    return r;
}

TEST(SevenSegment, CoordinatesAtBothSizes)
{
    const Coordinates small = coordinates(35, 55);
    EXPECT_EQ(small.x, (std::array<int, 10>{3, 4, 5, 7, 9, 26, 28, 30, 31, 32}));
    EXPECT_EQ(small.y, (std::array<int, 15>{3, 4, 7, 8, 23, 25, 27, 28, 29, 30, 33, 47, 48, 51, 52}));
    const Coordinates large = coordinates(40, 70);
    EXPECT_EQ(large.x, (std::array<int, 10>{4, 5, 6, 9, 11, 30, 32, 35, 36, 37}));
    EXPECT_EQ(large.y, (std::array<int, 15>{4, 6, 10, 10, 30, 32, 35, 35, 37, 38, 42, 60, 62, 65, 66}));

    const Shape f = shape(F, small);
    EXPECT_EQ(f.outline, (std::vector<QPoint>{{3, 4}, {7, 8}, {7, 23}, {3, 27}}));
    EXPECT_EQ(f.fill, QPoint(5, 15));
    const Shape g = shape(G, small);
    EXPECT_EQ(g.outline, (std::vector<QPoint>{{5, 28}, {7, 25}, {28, 25}, {30, 28}, {28, 30}, {7, 30}}));
    EXPECT_EQ(g.fill, QPoint(17, 28));
}

TEST(SevenSegment, EveryDigitLightsItsSegmentsAndGreysTheOthers)
{
    const char* lit[10] = {"abcdef", "bc", "abdeg", "abcdg", "bcfg", "acdfg", "acdefg", "abc", "abcdefg", "abcdfg"};
    for (const QSize size : {QSize(35, 55), QSize(40, 70)}) {
        const Coordinates c = coordinates(size.width(), size.height());
        for (int value = 0; value <= 9; ++value) {
            const QImage image = render(size.width(), size.height(), value, White, Grey, Navy);
            ASSERT_EQ(image.size(), size);
            EXPECT_EQ(at(image, 0, 0), Navy);
            EXPECT_EQ(at(image, size.width() - 1, size.height() - 1), Navy);
            for (int s = 0; s < SegmentCount; ++s) {
                const bool on = QString::fromLatin1(lit[value]).contains(QChar('a' + s));
                EXPECT_EQ(isLit(value, Segment(s)), on) << value << char('a' + s);
                const Shape sh = shape(Segment(s), c);
                EXPECT_EQ(at(image, sh.fill.x(), sh.fill.y()), on ? White : Grey)
                    << size.width() << " digit " << value << " segment " << char('a' + s);
                for (const QPoint& p : sh.outline)
                    EXPECT_NE(at(image, p.x(), p.y()), Navy) << value << char('a' + s);
            }
        }
    }
    EXPECT_FALSE(isLit(10, A));
}

TEST(SevenSegment, SegmentsAreFilledOutlines)
{
    // Rows through f and g at 35 x 55: outline and interior in the segment colour, nothing outside.
    const QImage eight = render(35, 55, 8, Lime, Grey, Navy);
    for (int x = 3; x <= 7; ++x)
        EXPECT_EQ(at(eight, x, 15), Lime) << x;
    EXPECT_EQ(at(eight, 2, 15), Navy);
    EXPECT_EQ(at(eight, 8, 15), Navy);
    for (int x = 5; x <= 30; ++x)
        EXPECT_EQ(at(eight, x, 28), Lime) << x;
    EXPECT_EQ(at(eight, 4, 28), Navy);
    EXPECT_EQ(at(eight, 31, 28), Navy);

    // At 40 x 70, f spans x = 4..9 halfway down its straight part.
    const QImage big = render(40, 70, 8, Lime, Grey, Navy);
    for (int x = 4; x <= 9; ++x)
        EXPECT_EQ(at(big, x, 20), Lime) << x;
    EXPECT_EQ(at(big, 3, 20), Navy);
    EXPECT_EQ(at(big, 10, 20), Navy);
}

TEST(SevenSegment, SegmentsInTheBackgroundColourAreInvisible)
{
    for (const QSize size : {QSize(35, 55), QSize(40, 70)}) {
        const Coordinates c = coordinates(size.width(), size.height());
        // The DVM's over-range pattern: digit 0 with the "on" colour equal to the background and a
        // visible "off" colour leaves only the middle bar.
        const QImage dash = render(size.width(), size.height(), 0, Navy, White, Navy);
        const QRect g = bounds(shape(G, c));
        EXPECT_GT(count(dash, White), g.width() * 3);
        EXPECT_EQ(count(dash, White), count(dash, White, g));
        EXPECT_EQ(count(dash, White) + count(dash, Navy), size.width() * size.height());

        // Digit 1 with the "off" colour equal to the background: only b and c show.
        const QImage one = render(size.width(), size.height(), 1, White, Navy, Navy);
        const QRect bc = bounds(shape(B, c)).united(bounds(shape(C, c)));
        EXPECT_EQ(count(one, White), count(one, White, bc));
        EXPECT_EQ(count(one, White) + count(one, Navy), size.width() * size.height());
    }
    EXPECT_TRUE(render(0, 55, 1, White, Navy, Navy).isNull());
}

}  // namespace
