#include "screen/Surface.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr QRgb Opaque = 0xFF000000u;
constexpr QRgb ColourBits = 0x00FFFFFFu;
constexpr Colour White = 0xFFFFFF;

inline QRgb* row(uchar* bits, qsizetype bytesPerLine, int y)
{
    return reinterpret_cast<QRgb*>(bits + bytesPerLine * y);
}

inline const QRgb* row(const uchar* bits, qsizetype bytesPerLine, int y)
{
    return reinterpret_cast<const QRgb*>(bits + bytesPerLine * y);
}

// One pixel through the pen mode; `rgb` is an opaque QRgb. A transparent pixel of a premultiplied
// image is 0x00000000, so it counts as black under NOT-XOR.
inline void apply(QRgb* p, QRgb rgb, bool notXor)
{
    *p = notXor ? (Opaque | (~(rgb ^ *p) & ColourBits)) : rgb;
}

}  // namespace

QRgb Surface::toRgb(Colour c)
{
    const auto u = static_cast<uint32_t>(c);
    return qRgb(int(u & 0xFF), int((u >> 8) & 0xFF), int((u >> 16) & 0xFF));
}

Colour Surface::fromRgb(QRgb rgb)
{
    return Colour(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
}

QFont screenFont(bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    f.setBold(bold);
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

Surface::Surface(int width, int height, bool transparent)
    : image_(std::max(width, 0), std::max(height, 0),
             transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32),
      transparent_(transparent)
{
    font = screenFont(false);
    clear();
}

void Surface::clear()
{
    if (image_.isNull())
        return;
    image_.fill(transparent_ ? QRgb(0) : toRgb(White));
}

void Surface::reset(Colour fill)
{
    image_ = QImage(image_.width(), image_.height(), image_.format());
    if (!image_.isNull())
        image_.fill(toRgb(fill));
}

bool Surface::isOpaque(int x, int y) const
{
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height())
        return false;
    if (!transparent_)
        return true;
    return qAlpha(row(image_.constBits(), image_.bytesPerLine(), y)[x]) != 0;
}

Colour Surface::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height())
        return -1;
    QRgb p = row(image_.constBits(), image_.bytesPerLine(), y)[x];
    if (transparent_) {
        if (qAlpha(p) == 0)
            return 0;
        p = qUnpremultiply(p);
    }
    return fromRgb(p);
}

void Surface::plot(int x, int y, Colour c)
{
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height())
        return;
    apply(row(image_.bits(), image_.bytesPerLine(), y) + x, toRgb(c), penMode == PenMode::NotXor);
}

void Surface::setPixel(int x, int y, Colour c)
{
    plot(x, y, c);
}

void Surface::moveTo(int x, int y)
{
    penX_ = x;
    penY_ = y;
    dotPhase_ = 0;
}

void Surface::lineTo(int x, int y)
{
    segment(penX_, penY_, x, y);
    penX_ = x;
    penY_ = y;
}

void Surface::polyline(const std::vector<QPoint>& points)
{
    polyline(points.data(), int(points.size()));
}

void Surface::polyline(const QPoint* points, int count)
{
    if (!points || count <= 0)
        return;
    moveTo(points[0].x(), points[0].y());
    for (int i = 1; i < count; ++i)
        lineTo(points[i].x(), points[i].y());
}

// Pixel i (0 <= i < n, n = the larger of |dx| and |dy|) lies at major = start + s * i and
// minor = start + s * floor((2 * i * dMinor + dMajor) / (2 * dMajor)): the nearest pixel to the
// ideal line, ties away from the start. The minor offset is carried incrementally as quotient and
// remainder, so any pixel of the line can be the first one drawn: clipping first skips to the steps
// whose major coordinate lies inside the bitmap, which bounds the work by the bitmap's size.
void Surface::segment(int x1, int y1, int x2, int y2)
{
    const int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
    const int64_t adx = std::llabs(dx), ady = std::llabs(dy);
    const int64_t n = std::max(adx, ady);
    const int phase = dotPhase_;
    dotPhase_ = int((phase + n) % (2 * DotLength));
    const int w = image_.width(), h = image_.height();
    if (n == 0 || w == 0 || h == 0)
        return;

    const bool xMajor = adx >= ady;
    const int64_t dMajor = xMajor ? adx : ady, dMinor = xMajor ? ady : adx;
    const int sMajor = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int sMinor = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const int64_t major0 = xMajor ? x1 : y1, minor0 = xMajor ? y1 : x1;
    const int64_t majorSize = xMajor ? w : h, minorSize = xMajor ? h : w;

    // Steps whose major coordinate is inside [0, majorSize).
    int64_t first, last;  // [first, last)
    if (sMajor > 0) {
        first = std::max<int64_t>(0, -major0);
        last = std::min<int64_t>(n, majorSize - major0);
    } else {
        first = std::max<int64_t>(0, major0 - majorSize + 1);
        last = std::min<int64_t>(n, major0 + 1);
    }
    if (first >= last)
        return;

    const int64_t twoMajor = 2 * dMajor, twoMinor = 2 * dMinor;
    __extension__ typedef __int128 Wide;  // 2 * first * dMinor can reach 2^65
    const Wide num = Wide(twoMinor) * first + dMajor;
    int64_t q = int64_t(num / twoMajor), r = int64_t(num % twoMajor);

    uchar* bits = image_.bits();
    const qsizetype bpl = image_.bytesPerLine();
    const bool notXor = penMode == PenMode::NotXor;
    const bool dotted = penStyle == PenStyle::Dot;
    const QRgb pen = toRgb(penColour), brush = toRgb(brushColour);

    int64_t major = major0 + sMajor * first;
    for (int64_t i = first; i < last; ++i) {
        const int64_t minor = minor0 + sMinor * q;
        if (minor >= 0 && minor < minorSize) {
            const int px = int(xMajor ? major : minor), py = int(xMajor ? minor : major);
            QRgb c = pen;
            if (dotted && ((phase + i) / DotLength) % 2 != 0)
                c = brush;
            apply(row(bits, bpl, py) + px, c, notXor);
        } else if ((sMinor > 0) == (minor >= minorSize)) {
            break;  // past the bitmap in the direction of travel: no later pixel is inside
        }
        major += sMajor;
        r += twoMinor;
        if (r >= twoMajor) {
            r -= twoMajor;
            ++q;
        }
    }
}

void Surface::fillRect(int x1, int y1, int x2, int y2, Colour c)
{
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, image_.width());
    y2 = std::min(y2, image_.height());
    if (x1 >= x2 || y1 >= y2)
        return;
    const QRgb rgb = toRgb(c);
    uchar* bits = image_.bits();
    const qsizetype bpl = image_.bytesPerLine();
    for (int y = y1; y < y2; ++y)
        std::fill(row(bits, bpl, y) + x1, row(bits, bpl, y) + x2, rgb);
}

void Surface::rectangle(int x1, int y1, int x2, int y2)
{
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    if (x1 == x2 || y1 == y2)
        return;
    if (x2 - x1 == 1) {  // a column: the outline is all of it, each pixel once
        line(x1, y1, x1, y2);
        return;
    }
    if (y2 - y1 == 1) {  // a row
        line(x1, y1, x2, y1);
        return;
    }
    const QPoint outline[] = {{x1, y1}, {x2 - 1, y1}, {x2 - 1, y2 - 1}, {x1, y2 - 1}, {x1, y1}};
    polyline(outline, 5);

    const int ix1 = std::max(x1 + 1, 0), iy1 = std::max(y1 + 1, 0);
    const int ix2 = std::min(x2 - 1, image_.width()), iy2 = std::min(y2 - 1, image_.height());
    if (ix1 >= ix2 || iy1 >= iy2)
        return;
    const QRgb brush = toRgb(brushColour);
    const bool notXor = penMode == PenMode::NotXor;
    uchar* bits = image_.bits();
    const qsizetype bpl = image_.bytesPerLine();
    for (int y = iy1; y < iy2; ++y) {
        QRgb* p = row(bits, bpl, y);
        for (int x = ix1; x < ix2; ++x)
            apply(p + x, brush, notXor);
    }
}

// Scanline fill with an explicit stack and a visited map: every pixel is filled at most once.
void Surface::floodFill(int x, int y, Colour border)
{
    const int w = image_.width(), h = image_.height();
    if (x < 0 || y < 0 || x >= w || y >= h)
        return;
    uchar* bits = image_.bits();
    const qsizetype bpl = image_.bytesPerLine();
    const QRgb borderRgb = toRgb(border) & ColourBits;
    const QRgb fill = toRgb(brushColour);
    std::vector<uint8_t> visited(size_t(w) * size_t(h), 0);
    // A pixel is open if it is neither border nor already filled.
    auto open = [&](int px, int py) {
        return !visited[size_t(py) * size_t(w) + size_t(px)] && (row(bits, bpl, py)[px] & ColourBits) != borderRgb;
    };
    if (!open(x, y))
        return;

    std::vector<QPoint> stack;
    stack.emplace_back(x, y);
    while (!stack.empty()) {
        const QPoint s = stack.back();
        stack.pop_back();
        const int sy = s.y();
        if (!open(s.x(), sy))
            continue;
        int left = s.x(), right = s.x();
        while (left > 0 && open(left - 1, sy))
            --left;
        while (right < w - 1 && open(right + 1, sy))
            ++right;
        QRgb* p = row(bits, bpl, sy);
        uint8_t* v = visited.data() + size_t(sy) * size_t(w);
        for (int i = left; i <= right; ++i) {
            p[i] = fill;
            v[i] = 1;
        }
        for (const int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            bool inRun = false;
            for (int i = left; i <= right; ++i) {
                const bool o = open(i, ny);
                if (o && !inRun)
                    stack.emplace_back(i, ny);
                inRun = o;
            }
        }
    }
}

void Surface::stretchDraw(int x, int y, int w, int h, const QImage& source)
{
    if (w <= 0 || h <= 0 || source.isNull() || image_.isNull())
        return;
    const QImage src = source.format() == QImage::Format_ARGB32 || source.format() == QImage::Format_RGB32
                           ? source
                           : source.convertToFormat(QImage::Format_ARGB32);
    const int64_t sw = src.width(), sh = src.height();
    const int dx1 = int(std::max<int64_t>(x, 0)), dy1 = int(std::max<int64_t>(y, 0));
    const int dx2 = int(std::min<int64_t>(int64_t(x) + w, image_.width()));
    const int dy2 = int(std::min<int64_t>(int64_t(y) + h, image_.height()));
    if (dx1 >= dx2 || dy1 >= dy2)
        return;
    std::vector<int> column(size_t(dx2 - dx1));
    for (int dx = dx1; dx < dx2; ++dx)
        column[size_t(dx - dx1)] = int((int64_t(dx) - x) * sw / w);
    uchar* bits = image_.bits();
    const qsizetype bpl = image_.bytesPerLine();
    for (int dy = dy1; dy < dy2; ++dy) {
        const int sy = int((int64_t(dy) - y) * sh / h);
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(sy));
        QRgb* d = row(bits, bpl, dy);
        for (int dx = dx1; dx < dx2; ++dx)
            d[dx] = Opaque | s[column[size_t(dx - dx1)]];
    }
}

void Surface::draw(int x, int y, const QImage& source)
{
    stretchDraw(x, y, source.width(), source.height(), source);
}

QFont Surface::renderFont() const
{
    QFont f = font;
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

int Surface::textWidth(const QString& text) const
{
    return QFontMetrics(renderFont(), &image_).horizontalAdvance(text);
}

int Surface::textHeight() const
{
    return QFontMetrics(renderFont(), &image_).height();
}

void Surface::textOut(int x, int y, const QString& text, Colour colour, bool opaque)
{
    if (image_.isNull())
        return;
    const QFont f = renderFont();
    const QFontMetrics fm(f, &image_);
    const int w = fm.horizontalAdvance(text), h = fm.height();
    if (opaque)
        fillRect(x, y, x + w, y + h, brushColour);
    if (text.isEmpty() || w <= 0)
        return;
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setClipRect(QRect(x, y, w, h));
    painter.setFont(f);
    painter.setPen(QColor::fromRgb(toRgb(colour)));
    painter.drawText(x, y + fm.ascent(), text);
}
