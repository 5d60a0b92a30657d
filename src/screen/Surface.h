#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>
#include <vector>

#include "screen/Colours.h"

// A persistent 32-bit pixel bitmap with the drawing semantics the recorder's screen relies on:
// a pen (colour, copy or NOT-XOR mode, solid or dotted), a brush colour, a font, lines that
// include their start point and exclude their end point, polylines, rectangles, a border-bounded
// flood fill, stretch copy and opaque or transparent text.
//
// Lines are rasterised by this class (integer Bresenham), never by an anti-aliasing painter, so
// that drawing a line twice in NOT-XOR mode restores every pixel exactly. Glyphs are rendered by
// QPainter on the same image without anti-aliasing, so a text is made of pixels of exactly its
// colour and drawing it again in another colour covers it exactly.
//
// Colours are the recorder's Colour values (red in the low byte). pixel() returns the same form.
class Surface {
public:
    enum class PenMode { Copy, NotXor };
    enum class PenStyle { Solid, Dot };

    // The dotted pen's pattern: DotLength pixels on (pen colour), DotLength pixels off (brush
    // colour), counted along the line from the pixel at moveTo's position. Consecutive lineTo calls
    // (and the segments of a polyline) continue the pattern; moveTo restarts it, so line(), which
    // always starts with moveTo, gives the same pixels every time.
    static constexpr int DotLength = 1;

    // A transparent surface (for the live overlay) starts fully transparent; every pixel drawn on it
    // becomes opaque. clear() makes it transparent again. An opaque surface starts white, and clear()
    // makes it white again. The font starts as screenFont().
    Surface(int width, int height, bool transparent = false);
    bool isTransparent() const { return transparent_; }
    void clear();
    // False for a pixel of a transparent surface that nothing has been drawn on, and outside the
    // bitmap; true for every pixel of an opaque surface.
    bool isOpaque(int x, int y) const;

    int width() const { return image_.width(); }
    int height() const { return image_.height(); }

    // The pixels, in QImage::Format_RGB32 (or ARGB32_Premultiplied for a transparent surface).
    const QImage& image() const { return image_; }
    QImage& image() { return image_; }

    // Replaces the bitmap by a fresh one of the same size, filled with `fill`.
    void reset(Colour fill);

    // The colour of a pixel; 0 for a transparent pixel, -1 (all bits set) outside the bitmap.
    Colour pixel(int x, int y) const;
    // Sets one pixel through the current pen mode with the given colour. Outside the bitmap: ignored.
    // NOT-XOR: new = NOT(c XOR screen) in the 24 colour bits; a transparent pixel counts as black.
    void setPixel(int x, int y, Colour c);

    // Pen, brush and font state, as a canvas keeps them between calls.
    Colour penColour = 0;
    PenMode penMode = PenMode::Copy;
    PenStyle penStyle = PenStyle::Solid;
    Colour brushColour = 0xFFFFFF;
    QFont font;

    void moveTo(int x, int y);
    // Line from the pen position to (x, y) with the current pen; (x, y) itself is not set.
    // With the dotted pen, dot pixels get the pen colour and gap pixels the brush colour, both
    // through the pen mode (a white brush under NOT-XOR therefore leaves the gaps unchanged).
    // The pen position becomes (x, y).
    void lineTo(int x, int y);
    void line(int x1, int y1, int x2, int y2)
    {
        moveTo(x1, y1);
        lineTo(x2, y2);
    }
    // Connected line through the points; the last point is not set; each inner point once.
    void polyline(const std::vector<QPoint>& points);
    void polyline(const QPoint* points, int count);

    // Fills the rectangle [x1, x2) x [y1, y2) with `c` (copy mode, whatever the pen mode).
    // x2 <= x1 or y2 <= y1: nothing.
    void fillRect(int x1, int y1, int x2, int y2, Colour c);
    // Rectangle outline with the pen and interior with the brush, [x1, x2) x [y1, y2), through the pen mode.
    // The corners are put in order first; every pixel of the rectangle is touched exactly once.
    void rectangle(int x1, int y1, int x2, int y2);

    // Border-bounded flood fill with the brush colour, starting at (x, y) and spreading in the four
    // directions until pixels of `border` colour are met. Starting on a border pixel does nothing.
    // Every reached pixel is set once (copy mode), so the fill ends whatever the brush colour is.
    void floodFill(int x, int y, Colour border);

    // Copies `source` scaled to the rectangle (x, y, w, h) (nearest pixel, copy mode): destination
    // pixel (x + i, y + j) takes source pixel (i * sw / w, j * sh / h). The copied pixels are opaque.
    void stretchDraw(int x, int y, int w, int h, const QImage& source);
    // Copies `source` unscaled with its top-left at (x, y).
    void draw(int x, int y, const QImage& source);

    // Draws a text with its top-left corner at (x, y) in `colour`, in the current font (always without
    // anti-aliasing, in copy mode). Opaque: the text's cell (textWidth x textHeight) is first filled
    // with the brush colour. The glyphs are clipped to the cell.
    void textOut(int x, int y, const QString& text, Colour colour, bool opaque = true);
    int textWidth(const QString& text) const;
    int textHeight() const;

    // Converts between the recorder's Colour form and QRgb.
    static QRgb toRgb(Colour c);
    static Colour fromRgb(QRgb rgb);

private:
    void plot(int x, int y, Colour c);
    // Rasterises (x1, y1) -> (x2, y2), end excluded, with the pen; dot pattern from dotPhase_.
    void segment(int x1, int y1, int x2, int y2);
    QFont renderFont() const;

    QImage image_;
    bool transparent_ = false;
    int penX_ = 0, penY_ = 0;
    int dotPhase_ = 0;
};

// The recorder's screen font: a small sans-serif of fixed pixel size, so that texts land on the same
// pixels on every machine. Bold variant for emphasised texts.
QFont screenFont(bool bold = false);
