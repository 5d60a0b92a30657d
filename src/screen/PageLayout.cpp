#include "screen/PageLayout.h"

namespace printing {

int64_t nearestDiv(int64_t num, int64_t den)
{
    int64_t q = num / den;
    int64_t r = num % den;
    // Bring the remainder to [0, den) so that q is the floor.
    if (r < 0) {
        r += den;
        --q;
    }
    const int64_t twice = 2 * r;
    if (twice > den || (twice == den && (q % 2 != 0)))
        ++q;
    return q;
}

PageLayout layoutPage(int P, int Q, bool landscape, int imageWidth, int imageHeight)
{
    PageLayout l;
    if (imageWidth <= 0 || imageHeight <= 0 || P <= 0 || Q <= 0)
        return l;
    const int64_t iw = imageWidth;
    const int64_t ih = imageHeight;
    // Every product is formed before its division, in 64 bits, so nothing is lost to rounding on
    // the way.
    if (landscape) {
        l.top = static_cast<int>(nearestDiv(Q, 5));
        l.bottom = Q - static_cast<int>(nearestDiv(Q, 5));
        const int64_t h = l.bottom - l.top;
        // P / 2 - h * iw / (2 * ih) over the common denominator 2 * ih.
        l.left = static_cast<int>(nearestDiv(int64_t{P} * ih - h * iw, 2 * ih));
        l.right = l.left + static_cast<int>(nearestDiv(h * iw, ih));
    } else {
        l.top = static_cast<int>(nearestDiv(Q, 10));
        l.left = static_cast<int>(nearestDiv(P, 10));
        l.right = P - static_cast<int>(nearestDiv(P, 10));
        l.bottom = l.top + static_cast<int>(nearestDiv(int64_t{l.right - l.left} * ih, iw));
    }
    l.captionY = l.bottom + static_cast<int>(nearestDiv(Q, 30));
    return l;
}

Miniature miniatureFor(int pageWidth, int pageHeight, bool landscape)
{
    Miniature m;
    m.W = landscape ? 472 : 354;
    m.X0 = landscape ? 10 : 64;
    m.H = pageWidth > 0 ? static_cast<int>(nearestDiv(int64_t{m.W} * pageHeight, pageWidth)) : 0;
    return m;
}

}  // namespace printing
