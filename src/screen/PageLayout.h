#pragma once

#include <cstdint>

// Where the screen picture and its caption go on a printed page and on the preview's miniature of
// it. One rule serves both: the page is P x Q units (printer pixels, or miniature pixels).
namespace printing {

// Rounds num / den to the nearest integer, a half going to the even neighbour. den must be > 0.
int64_t nearestDiv(int64_t num, int64_t den);

struct PageLayout {
    int left = 0, top = 0, right = 0, bottom = 0;  // the picture's rectangle, right and bottom excluded
    int captionY = 0;                              // top of the caption text, at x = left
};

// The picture of imageWidth x imageHeight pixels on a page of P x Q. Portrait: the page width less
// a tenth on each side, 1/10 of Q from the top, the height by the picture's aspect ratio.
// Landscape: the page height less a fifth at top and bottom, the width by the aspect ratio,
// centred. The caption starts Q/30 below the picture. A picture without pixels gives all zeros.
PageLayout layoutPage(int P, int Q, bool landscape, int imageWidth, int imageHeight);

// The miniature of the paper on the preview canvas: W x H pixels with its top-left corner at (X0, 10).
struct Miniature {
    int W = 0, H = 0, X0 = 0;
    static constexpr int Top = 10;
};

// W is 354 in portrait and 472 in landscape, H follows the printable page's proportions pw x ph.
Miniature miniatureFor(int pageWidth, int pageHeight, bool landscape);

}  // namespace printing
