// Pixel tests of Surface: line extents, exact NOT-XOR removal, dotted pens, border fill, clipping,
// text cells and the transparent overlay surface.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <random>
#include <set>
#include <utility>

#include "screen/Surface.h"

namespace {

constexpr Colour Navy = 0x800000, Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, White = 0xFFFFFF;

Colour notXor(Colour pen, Colour screen)
{
    return ~(pen ^ screen) & 0xFFFFFF;
}

void randomise(Surface& s, std::mt19937& rng)
{
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            s.image().setPixel(x, y, 0xFF000000u | (rng() & 0xFFFFFFu));
}

// The pixels that differ from `colour`.
std::set<std::pair<int, int>> pixelsNot(const Surface& s, Colour colour)
{
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.pixel(x, y) != colour)
                out.insert({x, y});
    return out;
}

}  // namespace

TEST(Surface, ColoursHaveRedInTheLowByte)
{
    EXPECT_EQ(Surface::toRgb(Red), qRgb(255, 0, 0));
    EXPECT_EQ(Surface::toRgb(Blue), qRgb(0, 0, 255));
    EXPECT_EQ(Surface::fromRgb(qRgb(0x12, 0x34, 0x56)), 0x563412);
    Surface s(4, 3);
    EXPECT_EQ(s.image().format(), QImage::Format_RGB32);
    s.reset(0x563412);
    EXPECT_EQ(s.pixel(3, 2), 0x563412);
    EXPECT_EQ(s.image().pixel(0, 0), qRgb(0x12, 0x34, 0x56));
    EXPECT_EQ(s.pixel(4, 0), -1);
}

TEST(Surface, LinesIncludeTheStartAndExcludeTheEnd)
{
    Surface s(40, 40);
    s.reset(0);
    s.penColour = White;
    s.line(2, 5, 8, 5);
    EXPECT_EQ(pixelsNot(s, 0), (std::set<std::pair<int, int>>{{2, 5}, {3, 5}, {4, 5}, {5, 5}, {6, 5}, {7, 5}}));
    s.reset(0);
    s.line(9, 30, 9, 27);  // upward: 30, 29, 28
    EXPECT_EQ(pixelsNot(s, 0), (std::set<std::pair<int, int>>{{9, 30}, {9, 29}, {9, 28}}));
    s.reset(0);
    s.line(1, 1, 5, 5);
    EXPECT_EQ(pixelsNot(s, 0), (std::set<std::pair<int, int>>{{1, 1}, {2, 2}, {3, 3}, {4, 4}}));
    s.reset(0);
    s.line(7, 7, 7, 7);
    EXPECT_TRUE(pixelsNot(s, 0).empty());

    // Steep and shallow lines in all directions: one pixel per major step, next to the ideal line.
    const int ends[][4] = {{3, 2, 10, 35}, {30, 36, 25, 1}, {0, 20, 39, 13}, {38, 3, 1, 9}};
    for (const auto& e : ends) {
        s.reset(0);
        s.line(e[0], e[1], e[2], e[3]);
        const auto set = pixelsNot(s, 0);
        const int n = std::max(std::abs(e[2] - e[0]), std::abs(e[3] - e[1]));
        ASSERT_EQ(int(set.size()), n);
        EXPECT_TRUE(set.count({e[0], e[1]}));
        EXPECT_FALSE(set.count({e[2], e[3]}));
        for (const auto& [x, y] : set) {
            const double cross = double(x - e[0]) * (e[3] - e[1]) - double(y - e[1]) * (e[2] - e[0]);
            EXPECT_LE(std::abs(cross) / n, 0.5 + 1e-9) << x << "," << y;
        }
    }
}

TEST(Surface, PolylineSetsInnerVerticesOnceAndNotTheLastPoint)
{
    Surface s(30, 30);
    s.reset(0);
    s.penColour = 0x000001;
    s.penMode = Surface::PenMode::NotXor;  // a pixel set twice would return to 0
    s.polyline({{2, 2}, {10, 2}, {10, 12}, {20, 20}});
    const auto set = pixelsNot(s, 0);
    EXPECT_EQ(set.size(), 8u + 10u + 10u);
    EXPECT_TRUE(set.count({10, 2}));
    EXPECT_TRUE(set.count({10, 12}));
    EXPECT_FALSE(set.count({20, 20}));
    EXPECT_EQ(s.pixel(10, 2), notXor(0x000001, 0));
}

TEST(Surface, NotXorTwiceRestoresEveryPixel)
{
    std::mt19937 rng(7);
    Surface s(567, 299);
    randomise(s, rng);
    const QImage before = s.image().copy();
    s.penMode = Surface::PenMode::NotXor;
    std::uniform_int_distribution<int> coord(-700, 1300);
    std::vector<std::array<int, 5>> lines;
    for (int i = 0; i < 300; ++i)
        lines.push_back({coord(rng), coord(rng), coord(rng), coord(rng), int(rng() & 0xFFFFFF)});
    std::vector<QPoint> trace;
    for (int x = 10; x <= 554; x += 2)
        trace.emplace_back(x, 20 + int(rng() % 257));
    for (auto style : {Surface::PenStyle::Solid, Surface::PenStyle::Dot}) {
        s.penStyle = style;
        s.brushColour = 0x123456;
        for (int pass = 0; pass < 2; ++pass) {
            for (const auto& l : lines) {
                s.penColour = l[4];
                s.line(l[0], l[1], l[2], l[3]);
            }
            s.penColour = 0x00FFFF;
            s.polyline(trace);
            if (pass == 0) {
                EXPECT_NE(s.image(), before);
            }
        }
        EXPECT_EQ(s.image(), before);
    }
}

TEST(Surface, CrossingTracesCombineTheirColoursWithTheBackground)
{
    const Colour bg = 0x202020, ca = Red, cb = Green;
    Surface s(50, 50);
    s.reset(bg);
    s.penMode = Surface::PenMode::NotXor;
    // XorColors: the pen that gives the channel colour on the background.
    s.penColour = notXor(ca, bg);
    s.line(0, 20, 50, 20);
    s.penColour = notXor(cb, bg);
    s.line(20, 0, 20, 50);
    EXPECT_EQ(s.pixel(5, 20), ca);
    EXPECT_EQ(s.pixel(20, 5), cb);
    EXPECT_EQ(s.pixel(20, 20), ca ^ cb ^ bg);
    s.penColour = notXor(ca, bg);
    s.line(0, 20, 50, 20);  // removing a restores b at the crossing
    EXPECT_EQ(s.pixel(20, 20), cb);
    EXPECT_EQ(s.pixel(5, 20), bg);
}

TEST(Surface, DottedLineWithWhiteBrushInvertsOnlyTheDots)
{
    std::mt19937 rng(3);
    Surface s(100, 60);
    randomise(s, rng);
    const QImage before = s.image().copy();
    const Surface orig = s;
    s.penMode = Surface::PenMode::NotXor;
    s.penStyle = Surface::PenStyle::Dot;
    s.brushColour = White;
    s.penColour = 0x00FFFF;
    s.line(90, 40, 5, 40);  // counted from the start point, leftward
    int dots = 0;
    for (int i = 0; i < 85; ++i) {
        const int x = 90 - i;
        const bool on = (i / Surface::DotLength) % 2 == 0;
        const Colour expected = on ? notXor(0x00FFFF, orig.pixel(x, 40)) : orig.pixel(x, 40);
        EXPECT_EQ(s.pixel(x, 40), expected) << "step " << i;
        dots += on;
    }
    EXPECT_GT(dots, 20);
    EXPECT_EQ(s.pixel(5, 40), orig.pixel(5, 40));
    s.line(90, 40, 5, 40);
    EXPECT_EQ(s.image(), before);

    // A non-white brush paints the gaps through the pen mode as well.
    s.brushColour = 0x000000;
    s.line(90, 41, 5, 41);
    EXPECT_EQ(s.pixel(90 - Surface::DotLength, 41), notXor(0, orig.pixel(90 - Surface::DotLength, 41)));
}

TEST(Surface, FloodFillsTheSevenSegmentShapeExactly)
{
    const Colour on = White;
    Surface s(35, 55);
    s.fillRect(0, 0, 35, 55, Navy);
    s.penColour = on;
    s.polyline({{3, 4}, {7, 8}, {7, 23}, {3, 27}, {3, 4}});
    const Surface outline = s;
    // The shape is convex: on each row it spans from its leftmost to its rightmost outline pixel.
    auto inShape = [&](int x, int y) {
        int lo = 99, hi = -1;
        for (int i = 0; i < 35; ++i)
            if (outline.pixel(i, y) == on)
                lo = std::min(lo, i), hi = std::max(hi, i);
        return x >= lo && x <= hi;
    };

    s.brushColour = on;
    s.floodFill(5, 15, on);
    int filled = 0;
    for (int y = 0; y < 55; ++y)
        for (int x = 0; x < 35; ++x) {
            EXPECT_EQ(s.pixel(x, y), inShape(x, y) ? on : Navy) << x << "," << y;
            filled += s.pixel(x, y) == on;
        }
    EXPECT_EQ(filled, 2 * (1 + 2 + 3 + 4) + 16 * 5);  // rows 4..27: the slants, then 5 wide
    EXPECT_EQ(s.pixel(5, 4), Navy);                   // outside, right of the slanted top edge

    // A brush other than the border colour: the interior changes, the outline stays.
    Surface t = outline;
    t.brushColour = Red;
    t.floodFill(5, 15, on);
    for (int y = 0; y < 55; ++y)
        for (int x = 0; x < 35; ++x) {
            const Colour o = outline.pixel(x, y);
            EXPECT_EQ(t.pixel(x, y), o == Navy && inShape(x, y) ? Red : o) << x << "," << y;
        }
    // A second fill with the same brush, and a fill started on the border, change nothing.
    const QImage once = t.image().copy();
    t.floodFill(5, 15, on);
    t.floodFill(3, 4, on);
    t.floodFill(-1, 15, on);
    EXPECT_EQ(t.image(), once);
}

TEST(Surface, FloodFillOfALargeSerpentineDoesNotRecurse)
{
    // Walls every other column, open alternately at the top and the bottom: one path through
    // the whole bitmap, the worst case for a recursive fill.
    const int w = 1201, h = 800;
    Surface s(w, h);
    s.fillRect(0, 0, w, h, 0);
    for (int x = 1; x < w; x += 2)
        s.fillRect(x, (x / 2) % 2 ? 1 : 0, x + 1, (x / 2) % 2 ? h : h - 1, Blue);
    s.brushColour = Green;
    s.floodFill(0, h / 2, Blue);
    EXPECT_EQ(s.pixel(w - 1, h / 2), Green);
    EXPECT_EQ(s.pixel(0, 0), Green);
    EXPECT_EQ(s.pixel(1, h / 2), Blue);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_NE(s.pixel(x, y), 0) << x << "," << y;
}

TEST(Surface, ClippedLinesMatchTheSameLinesOnALargerBitmap)
{
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> coord(-700, 1300);
    const int ox = 800, oy = 900;
    for (auto style : {Surface::PenStyle::Solid, Surface::PenStyle::Dot}) {
        Surface small(567, 299), large(2700, 2200);
        small.reset(0);
        large.reset(0);
        for (Surface* s : {&small, &large}) {
            s->penMode = Surface::PenMode::NotXor;
            s->penStyle = style;
            s->brushColour = 0x0F0F0F;
        }
        for (int i = 0; i < 200; ++i) {
            const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
            small.penColour = large.penColour = int(rng() & 0xFFFFFF);
            small.line(x1, y1, x2, y2);
            large.line(x1 + ox, y1 + oy, x2 + ox, y2 + oy);
        }
        EXPECT_EQ(small.image(), large.image().copy(ox, oy, 567, 299));
    }

    Surface s(567, 299);
    s.reset(0);
    s.penColour = White;
    s.line(-600, 20, -600, 277);  // a parked time marker
    s.line(-2000000000, 5, -1000000000, 5);
    s.line(2000000000, -1999999000, -2000000000, 2000001000);  // x + y = 1000: misses
    s.line(INT_MIN, INT_MAX, INT_MAX, INT_MIN);
    s.setPixel(567, 0, White);
    s.setPixel(-1, -1, White);
    s.fillRect(-50, -50, 0, 400, White);
    EXPECT_TRUE(pixelsNot(s, 0).empty());
    s.line(-600, 20, 600, 20);
    EXPECT_EQ(pixelsNot(s, 0).size(), 567u);
    s.reset(0);
    s.line(-1000000, -1000000, 1000000, 1000000);
    EXPECT_EQ(pixelsNot(s, 0).size(), 299u);
    EXPECT_EQ(s.pixel(298, 298), White);
}

TEST(Surface, RectangleOutlineWithPenAndInteriorWithBrush)
{
    Surface s(20, 20);
    s.reset(0);
    s.penColour = Red;
    s.brushColour = Green;
    s.rectangle(12, 10, 2, 3);  // corners in any order: [2, 12) x [3, 10)
    EXPECT_EQ(s.pixel(2, 3), Red);
    EXPECT_EQ(s.pixel(11, 9), Red);
    EXPECT_EQ(s.pixel(12, 9), 0);
    EXPECT_EQ(s.pixel(11, 10), 0);
    EXPECT_EQ(s.pixel(3, 4), Green);
    EXPECT_EQ(s.pixel(10, 8), Green);
    EXPECT_EQ(pixelsNot(s, 0).size(), 70u);
    s.penMode = Surface::PenMode::NotXor;  // each pixel touched once: twice restores
    const QImage once = s.image().copy();
    s.rectangle(0, 0, 7, 1);
    s.rectangle(0, 0, 7, 1);
    s.rectangle(4, 4, 16, 17);
    s.rectangle(4, 4, 16, 17);
    EXPECT_EQ(s.image(), once);
}

TEST(Surface, OpaqueTextFillsItsCellAndUsesOnlyTheTextColour)
{
    std::mt19937 rng(5);
    Surface s(200, 40);
    randomise(s, rng);
    const Surface orig = s;
    const QString text = QStringLiteral("±20V dt: 16.00s");
    const int w = s.textWidth(text), h = s.textHeight();
    ASSERT_GT(w, 40);
    EXPECT_GE(h, 11);
    EXPECT_LE(h, 16);
    s.brushColour = Navy;
    s.penMode = Surface::PenMode::NotXor;  // text is copy mode whatever the pen
    s.textOut(10, 7, text, 0x00FFFF);
    int textPixels = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            const bool inCell = x >= 10 && x < 10 + w && y >= 7 && y < 7 + h;
            if (!inCell) {
                EXPECT_EQ(s.pixel(x, y), orig.pixel(x, y)) << x << "," << y;
                continue;
            }
            const Colour c = s.pixel(x, y);
            EXPECT_TRUE(c == Navy || c == 0x00FFFF) << x << "," << y << ": " << std::hex << c;
            textPixels += c == 0x00FFFF;
        }
    EXPECT_GT(textPixels, 50);

    // Drawn again in the brush colour it is gone: the whole cell is background.
    s.textOut(10, 7, text, Navy);
    QImage blank(w, h, QImage::Format_RGB32);
    blank.fill(Surface::toRgb(Navy));
    EXPECT_EQ(s.image().copy(10, 7, w, h), blank);

    // Transparent text changes only glyph pixels, to exactly the text colour.
    Surface t = orig;
    t.textOut(10, 7, text, Red, false);
    int changed = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if (t.pixel(x, y) != orig.pixel(x, y)) {
                EXPECT_EQ(t.pixel(x, y), Red);
                ++changed;
            }
    EXPECT_EQ(changed, textPixels);
}

TEST(Surface, ScreenFontIsASmallSansSerifWithoutAntialiasing)
{
    const QFont f = screenFont(), b = screenFont(true);
    EXPECT_EQ(f.family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(f.pixelSize(), 11);
    EXPECT_TRUE(f.styleStrategy() & QFont::NoAntialias);
    EXPECT_EQ(f.hintingPreference(), QFont::PreferFullHinting);
    EXPECT_FALSE(f.bold());
    EXPECT_TRUE(b.bold());
    Surface s(10, 10);
    const int regular = s.textWidth(QStringLiteral("AUTOSAVE ON"));
    s.font = b;
    EXPECT_GT(s.textWidth(QStringLiteral("AUTOSAVE ON")), regular);
}

TEST(Surface, TransparentSurfaceBecomesOpaqueWhereDrawn)
{
    Surface s(60, 30, true);
    EXPECT_TRUE(s.isTransparent());
    EXPECT_EQ(s.image().format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_FALSE(s.isOpaque(5, 5));
    EXPECT_EQ(s.pixel(5, 5), 0);
    s.penColour = Red;
    s.line(0, 5, 10, 5);
    EXPECT_TRUE(s.isOpaque(0, 5));
    EXPECT_EQ(s.pixel(9, 5), Red);
    EXPECT_EQ(qAlpha(s.image().pixel(9, 5)), 255);
    EXPECT_FALSE(s.isOpaque(10, 5));
    s.brushColour = Navy;
    s.textOut(20, 10, QStringLiteral("1.25V"), White);
    EXPECT_TRUE(s.isOpaque(20, 10));
    EXPECT_TRUE(s.pixel(20, 10) == Navy || s.pixel(20, 10) == White);
    s.clear();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_FALSE(s.isOpaque(x, y));
    EXPECT_TRUE(Surface(3, 3).isOpaque(1, 1));
}

TEST(Surface, StretchDrawCopiesNearestPixelsClipped)
{
    QImage src(2, 2, QImage::Format_RGB32);
    src.setPixel(0, 0, Surface::toRgb(Red));
    src.setPixel(1, 0, Surface::toRgb(Green));
    src.setPixel(0, 1, Surface::toRgb(Blue));
    src.setPixel(1, 1, Surface::toRgb(White));
    Surface s(10, 10);
    s.reset(0);
    s.penMode = Surface::PenMode::NotXor;  // copy mode whatever the pen
    s.stretchDraw(2, 2, 4, 6, src);
    EXPECT_EQ(s.pixel(2, 2), Red);
    EXPECT_EQ(s.pixel(3, 4), Red);
    EXPECT_EQ(s.pixel(4, 4), Green);
    EXPECT_EQ(s.pixel(3, 5), Blue);
    EXPECT_EQ(s.pixel(5, 7), White);
    EXPECT_EQ(pixelsNot(s, 0).size(), 24u);
    s.stretchDraw(-3, 8, 6, 4, src);  // only [0, 3) x [8, 10) lands: source column 1, row 0
    EXPECT_EQ(s.pixel(0, 9), Green);
    EXPECT_EQ(s.pixel(2, 8), Green);
    EXPECT_EQ(s.pixel(3, 8), 0);
    s.draw(8, 0, src);
    EXPECT_EQ(s.pixel(8, 0), Red);
    EXPECT_EQ(s.pixel(9, 1), White);
}
