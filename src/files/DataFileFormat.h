#pragma once

// The recorder's data file: plain single-byte text (Windows-1252), CR LF after every line, TAB
// between fields, so that a spreadsheet opens it directly and the recorder can read it back.
//
//   line  Save Data                     auto-save
//   1     "START: \t" + start stamp     (empty)
//   2     "STOP : \t" + stop stamp      "START: \t" + start stamp
//   3     (empty)                       (empty)
//   4     "TIME STEP:"                  same
//   5     "100 = " + time/div label     same
//   6     (empty)                       same
//   7     "VOLTAGE RANGES:"             same
//   8     "CH1: ±20V\tCH3: ±20V"        same (ranges at the start of the recording)
//   9     "CH2: ±20V\tCH4: ±20V"        same
//   10    (empty)                       same
//   11    ColumnHeader                  same
//   12    (empty)                       same
//   13..  data and filler lines         one data line per sample
//   then  annotation block, if any      (empty), "STOP:  \t" + stop stamp, annotation block
//
// Data line:   N, four raw samples, N x time step in seconds, four volts (three decimals each).
// Filler line: N, "0" x 4, "-" x 5 (screen positions without a recorded sample).
// Annotation block: "COMMENT", line count, x, y, "1"/"0" (transparent), the lines, (empty).

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <string>

struct AnnotationState;
struct ChannelSetup;
struct RunState;

namespace datafile {

constexpr int HeaderLines = 12;
constexpr int FirstDataLine = 13;
constexpr int SaveDataRows = 1700;
// Annotation lines are cut to this length by Save Data (the auto-save trailer writes them whole).
constexpr int SaveDataAnnotationWidth = 20;

inline constexpr char StartKey[] = "START: \t";
inline constexpr char SaveStopKey[] = "STOP : \t";
inline constexpr char AutoSaveStopKey[] = "STOP:  \t";
inline constexpr char ColumnHeader[] = "N\tCH1\tCH2\tCH3\tCH4\tTime/s\tCH1/V\tCH2/V\tCH3/V\tCH4/V";
inline constexpr char CommentKey[] = "COMMENT";
inline constexpr char Eol[] = "\r\n";

// ---- Windows-1252
// Characters without a Windows-1252 code become "?" (one per character, surrogate pairs included).
QByteArray toWindows1252(const QString& text);
QString fromWindows1252(const char* data, size_t size);
inline QString fromWindows1252(const QByteArray& bytes)
{
    return fromWindows1252(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// The decimal separator of a locale as the single byte written into the files ("." when the
// locale's separator has no Windows-1252 code of its own).
char decimalSeparatorOf(const QString& localeDecimalPoint);

// ---- Numbers, appended to a byte buffer without allocation beyond the buffer's growth.
void appendInt(std::string& out, int64_t value);
// Seconds of a time given in whole milliseconds: three decimals, at most 11 significant digits
// (beyond that the value is rounded to 11 digits and the decimals are zeros).
void appendSeconds(std::string& out, uint64_t milliseconds, char decimalSeparator);
// Volts of a raw sample on a range given in tenths of a volt: range/10 x (raw - 512) / 512, three
// decimals, at most 5 significant digits. Rounded half away from zero on the exact value.
void appendVolts(std::string& out, int64_t raw, int rangeTenths, char decimalSeparator);

// Milliseconds per sample of a time/div label ("1s" gives 10, "0.1s" 1, "1000s" 10000).
int64_t timeStepMs(const QString& timeDivLabel);

// ---- Lines (each with its CR LF)
// A data line: N, the four raw samples, N x time step and the four volts with the given ranges.
void appendDataLine(std::string& out, int64_t n, const std::array<int32_t, 4>& raw, uint64_t timeMs,
                    const std::array<uint8_t, 4>& rangeTenths, char decimalSeparator);
void appendFillerLine(std::string& out, int64_t n);
// The twelve header lines; autoSave chooses the auto-save column of the layout.
void appendHeader(std::string& out, const RunState& run, const ChannelSetup& channels, bool autoSave);
// The annotation block, or nothing when the annotation is off or has no line. width > 0 cuts
// every text line to that many characters.
void appendAnnotationBlock(std::string& out, const AnnotationState& annotation, int width);

// The lines of an annotation text as the "Add Text" window holds them: split at line breaks;
// a break at the very end does not start another line, so an empty text has no line.
QStringList annotationLines(const QString& text);
// The text whose annotationLines() are `lines` (the inverse of annotationLines).
QString annotationText(const QStringList& lines);

}  // namespace datafile
