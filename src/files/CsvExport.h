#pragma once

// A data file as CSV for other tools (RFC 4180: comma between fields, CR LF after each record,
// '.' as decimal point, UTF-8, one header row), so that pandas, spreadsheets and plotting tools
// read it without options:
//
//   time,seconds,CH1/V,CH2/V,CH3/V,CH4/V,CH1,CH2,CH3,CH4
//   2026-12-09T14:05:00.000,0.000,-20.000,...,0,...
//
// time is the START stamp plus the row's seconds in ISO 8601 (empty when the file's START stamp
// cannot be read), seconds is N x the time step, the volts follow from the raw counts and the
// channel's range exactly as the data file writes them. Filler lines, the STOP line and damaged
// lines give no record; damaged lines are counted.

#include <QString>
#include <cstdint>
#include <optional>

#include "files/RecordingOverview.h"

namespace datafile {

struct CsvSpan {
    std::optional<int64_t> fromMs;  // from the start when empty
    std::optional<int64_t> toMs;    // to the end when empty (inclusive)
};

struct CsvResult {
    bool ok = false;
    bool cancelled = false;
    bool notDataFile = false;  // the input has no recorder header
    QString error;
    int64_t records = 0;
    int64_t damagedLines = 0;
};

inline constexpr char CsvHeaderRow[] = "time,seconds,CH1/V,CH2/V,CH3/V,CH4/V,CH1,CH2,CH3,CH4\r\n";

// Writes the samples of `dataFile` whose time lies in `span` to `csvFile` (replaced only when the
// export completes). A file that is not a recorder data file (no recognisable header) fails.
CsvResult exportCsv(const QString& dataFile, const QString& csvFile, const CsvSpan& span = {},
                    const PassControl& control = {});

// Appends the ISO 8601 local date-time of `epochMs` (milliseconds since 1970-01-01 in local
// clock terms, without zone) as yyyy-MM-ddTHH:mm:ss.zzz.
void appendIsoDateTime(std::string& out, int64_t epochMs);
// Appends the time of day of `msOfDay` (0 .. 86,399,999) as HH:mm:ss.zzz.
void appendTimeOfDay(std::string& out, int64_t msOfDay);

}  // namespace datafile
