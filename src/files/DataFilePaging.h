#pragma once

// Page browsing of a data file: which file lines each page shows and what the page buttons do
// next. A page is 1700 rows (1701 after "<<"); PageEnd carries the row number the next turn
// starts from. Row k of an auto-save file is on line 13 + k, because N counts the rows from 0.
//
//   action  lines shown                          PageEnd after, from the line after the page
//   open    13 .. 1712                           its N when it is a numbered data line that is not
//                                                the last line (">>" on), else 1700
//   ">>"    PageEnd + 14 .. PageEnd + 1713       its N - 1 (">>" on); PageEnd + 1700 at the end of
//                                                the file, after the last line or a line without TAB
//   "<<"    PageEnd - 3387 .. PageEnd - 1687     its N - 1 (">>" on, "<<" when PageEnd >= 3400);
//                                                otherwise unchanged with both buttons off
//
// A "<<" whose skip count would be negative shows the first page (from line 13).

#include <cstdint>
#include <limits>

#include "files/DataFileReader.h"

struct ScreenBuffer;

namespace datafile {

constexpr int PageRows = 1700;

struct PageSpan {
    int64_t firstLine = FirstLineOfData;
    int count = PageRows;
    static constexpr int64_t FirstLineOfData = 13;
};

struct PageState {
    int64_t pageEnd = PageRows;
    bool back = false;     // "<<" enabled
    bool forward = false;  // ">>" enabled
};

// Row numbers taken from a file (and the PageEnd values made from them) are held to this value, so
// that the line numbers of the following page turns, PageEnd + 1713 at the most, stay in range
// even for a file whose N field reads 9223372036854775807.
constexpr int64_t MaxPageEnd = std::numeric_limits<int64_t>::max() - 2 * (PageRows + PageSpan::FirstLineOfData);
int64_t clampPageEnd(int64_t pageEnd);

PageSpan openSpan();
PageSpan forwardSpan(int64_t pageEnd);
PageSpan backSpan(int64_t pageEnd);

// Puts the span's lines at screen positions 0 .. count - 1 of TraceBuf: a data line gives its
// screen values, every other line, and every position past the end of the file, a BlankPosition
// (255 on all four channels). SampleBuf is left as it is. Returns the number of positions up to
// the last one that holds a data line (0 when none does).
int fillScreen(DataFileLines& lines, const PageSpan& span, ScreenBuffer& buffer);
// The number of positions a page draws: up to its last data line, so that a page that ends early
// (a short recording, the last page of a file) ends its traces there, as the stopped screen of the
// recording did, instead of dropping them to the bottom line.
inline int drawnPositions(int filled)
{
    return filled < PageRows ? filled : PageRows;
}

// PageEnd and the page buttons after a page was shown, from the line that follows it.
PageState afterOpen(DataFileLines& lines, const PageSpan& span);
PageState afterForward(DataFileLines& lines, const PageSpan& span, int64_t pageEnd);
PageState afterBack(DataFileLines& lines, const PageSpan& span, int64_t pageEnd);

}  // namespace datafile
