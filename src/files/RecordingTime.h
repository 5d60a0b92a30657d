#pragma once

// Moments of a recording as a user writes them, and the page of the recorder screen that holds
// a moment.

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

namespace datafile {

// A moment of a recording, as "Go to Time..." and `korvix convert --from/--to` take it:
//   seconds from the start          "90", "12.5"
//   [h:]mm:ss[.fff] from the start  "1:30", "01:00:00", "25:00:00.5"
//   a clock time with its date      "2026-12-09 14:05:00", "2026-12-09T14:05:00.250" (the date-time
//                                   column of an exported CSV file), or the START stamp's own form
//                                   "9.12.2026 14:05:00"
// A time of day alone is read as the time since the start: a clock time needs its date, so that
// "01:00:00" always means one hour into the recording. Gives milliseconds since the start
// (negative for a clock time before it), or nothing for text that is no moment, or a clock time
// of a recording without a readable START stamp.
std::optional<int64_t> parseMoment(const QString& text, const std::optional<QDateTime>& start);

// Pages of a data file as the page buttons show them: the first page (Open Data, or "<<" back to
// the start) shows rows 0 .. 1699; page k >= 1, reached by ">>" with PageEnd = k x 1700, shows rows
// k x 1700 + 1 .. (k + 1) x 1700 (row r is line 13 + r).
struct PagePlace {
    int64_t page = 0;
    int64_t pageEnd = 0;  // PageEnd that ">>" turns into this page (for k >= 1)
    int64_t firstRow = 0;
    int64_t lastRow = 0;
};
PagePlace pageOfIndex(int64_t page);
// The page that holds row `row` of a file with `rows` rows: row 1700, which no page shows, gives
// the first page; a row past the end gives the last page, a negative one the first.
PagePlace pageOfRow(int64_t row, int64_t rows);
// The number of pages of a file with `rows` rows (at least 1).
int64_t pageCount(int64_t rows);
// Row of a moment (milliseconds since the start) with `stepMs` between rows.
int64_t rowOfMoment(int64_t ms, int64_t stepMs);

// "hh:mm:ss" of a time since the start (hours grow past 24), with ".fff" when not whole seconds.
QString elapsedText(int64_t ms);

}  // namespace datafile
