#include "files/DataFilePaging.h"

#include <algorithm>
#include <limits>

#include "recording/ScreenBuffer.h"

namespace datafile {

namespace {

// The line after a page, as far as the page buttons look at it.
struct NextLine {
    bool exists = false;
    bool last = false;  // it is the last line of the file
    bool hasTab = false;
    std::optional<int64_t> number;  // its first field, when that begins with 1..9 and is an integer
};

NextLine probe(DataFileLines& lines, int64_t number)
{
    NextLine next;
    const auto text = lines.line(number);
    if (!text)
        return next;
    next.exists = true;
    next.last = lines.isLastLine(number);
    const size_t tab = text->find('\t');
    next.hasTab = tab != std::string::npos;
    const std::string_view first = std::string_view(*text).substr(0, tab);
    if (!first.empty() && first.front() >= '1' && first.front() <= '9')
        next.number = parseInteger(first);
    return next;
}

}  // namespace

int64_t clampPageEnd(int64_t pageEnd)
{
    return std::clamp<int64_t>(pageEnd, 0, MaxPageEnd);
}

PageSpan openSpan()
{
    return {PageSpan::FirstLineOfData, PageRows};
}

PageSpan forwardSpan(int64_t pageEnd)
{
    // PageEnd + 13 lines are skipped.
    return {clampPageEnd(pageEnd) + PageSpan::FirstLineOfData + 1, PageRows};
}

PageSpan backSpan(int64_t pageEnd)
{
    // PageEnd - 3388 lines are skipped. A negative count (possible only with files whose N does
    // not count the rows from 0) shows the first page.
    const int64_t skip = clampPageEnd(pageEnd) - (2 * PageRows - 12);
    return {(skip < 0 ? PageSpan::FirstLineOfData - 1 : skip) + 1, PageRows + 1};
}

int fillScreen(DataFileLines& lines, const PageSpan& span, ScreenBuffer& buffer)
{
    int filled = 0;
    for (int c = 0; c < ChannelCount; ++c)
        for (int p = 0; p < span.count; ++p)
            buffer.trace(c, p) = 255;
    lines.readLines(span.firstLine, span.count, LineWidth, [&](int64_t number, std::string_view text) {
        const auto raw = classifyLine(text);
        if (!raw)
            return;
        const int p = static_cast<int>(number - span.firstLine);
        for (int c = 0; c < ChannelCount; ++c)
            buffer.trace(c, p) = screenValueOfRaw((*raw)[static_cast<size_t>(c)]);
        filled = p + 1;
    });
    return filled;
}

PageState afterOpen(DataFileLines& lines, const PageSpan& span)
{
    PageState s;
    const NextLine next = probe(lines, span.firstLine + span.count);
    if (next.exists && next.hasTab && !next.last && next.number) {
        s.pageEnd = clampPageEnd(*next.number);
        s.forward = true;
    }
    return s;
}

PageState afterForward(DataFileLines& lines, const PageSpan& span, int64_t pageEnd)
{
    PageState s{pageEnd, true, false};
    const NextLine next = probe(lines, span.firstLine + span.count);
    if (!next.exists || !next.hasTab || next.last) {
        s.pageEnd = clampPageEnd(pageEnd) + PageRows;
    } else if (next.number) {
        s.pageEnd = clampPageEnd(*next.number - 1);
        s.forward = true;
    }
    return s;
}

PageState afterBack(DataFileLines& lines, const PageSpan& span, int64_t pageEnd)
{
    PageState s{pageEnd, false, false};
    const NextLine next = probe(lines, span.firstLine + span.count);
    if (next.exists && next.hasTab && !next.last && next.number) {
        s.pageEnd = clampPageEnd(*next.number - 1);
        s.back = s.pageEnd >= 2 * PageRows;
        s.forward = true;
    }
    return s;
}

}  // namespace datafile
