#include "files/DataFileFormat.h"

#include <algorithm>
#include <charconv>

#include "recording/ChannelSetup.h"
#include "recording/RunState.h"
#include "screen/ViewState.h"

namespace datafile {

namespace {

// Unicode of the Windows-1252 bytes 0x80..0x9F. The five bytes without a character of their own
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control code of the same number, as on Windows,
// so that they survive a read and a write unchanged.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (size_t i = 0; i < HighControls.size(); ++i)
        if (HighControls[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

int decimalDigits(uint64_t v)
{
    int n = 1;
    while (v >= 10) {
        v /= 10;
        ++n;
    }
    return n;
}

constexpr uint64_t pow10(int n)
{
    uint64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// x / m rounded half up (x, m > 0).
uint64_t roundedQuotient(uint64_t x, uint64_t m)
{
    return x / m + ((x % m) >= m - x % m ? 1 : 0);
}

void appendThousandths(std::string& out, bool negative, uint64_t thousandths, char separator)
{
    if (negative && thousandths != 0)
        out.push_back('-');
    char digits[24];
    auto r = std::to_chars(digits, digits + sizeof digits, thousandths / 1000);
    out.append(digits, r.ptr);
    out.push_back(separator);
    const auto frac = static_cast<unsigned>(thousandths % 1000);
    out.push_back(static_cast<char>('0' + frac / 100));
    out.push_back(static_cast<char>('0' + frac / 10 % 10));
    out.push_back(static_cast<char>('0' + frac % 10));
}

// Rounds `exact` (in units of 1 / denominator thousandths) to three decimals or, when the value
// has more integer digits than precision - 3, to `precision` significant digits.
uint64_t roundToPrecision(uint64_t exact, uint64_t denominator, int precision)
{
    const uint64_t whole = exact / denominator / 1000;
    const int intDigits = whole == 0 ? 0 : decimalDigits(whole);
    const int decimals = std::min(3, precision - intDigits);
    const uint64_t unit = pow10(3 - decimals);  // in thousandths
    return roundedQuotient(exact, denominator * unit) * unit;
}

void appendLine(std::string& out, const QString& text)
{
    out.append(toWindows1252(text).constData());
    out.append(Eol);
}

}  // namespace

QByteArray toWindows1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out.append('?');
            ++i;
            continue;
        }
        out.append(encodeChar(c));
    }
    return out;
}

QString fromWindows1252(const char* data, size_t size)
{
    QString out;
    out.resize(static_cast<qsizetype>(size));
    QChar* dst = out.data();
    for (size_t i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        dst[i] = (b >= 0x80 && b < 0xA0) ? QChar(HighControls[b - 0x80]) : QChar(b);
    }
    return out;
}

char decimalSeparatorOf(const QString& localeDecimalPoint)
{
    if (localeDecimalPoint.size() != 1)
        return '.';
    const char c = encodeChar(localeDecimalPoint.at(0).unicode());
    return c == '?' ? '.' : c;
}

void appendInt(std::string& out, int64_t value)
{
    char digits[24];
    auto r = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, r.ptr);
}

void appendSeconds(std::string& out, uint64_t milliseconds, char decimalSeparator)
{
    appendThousandths(out, false, roundToPrecision(milliseconds, 1, 11), decimalSeparator);
}

void appendVolts(std::string& out, int64_t raw, int rangeTenths, char decimalSeparator)
{
    // volts x 1000 = range x (raw - 512) x 1000 / 5120 = range x (raw - 512) x 25 / 128, exactly.
    const int64_t scaled = static_cast<int64_t>(rangeTenths) * (raw - 512) * 25;
    const bool negative = scaled < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    appendThousandths(out, negative, roundToPrecision(magnitude, 128, 5), decimalSeparator);
}

int64_t timeStepMs(const QString& timeDivLabel)
{
    if (timeDivLabel.startsWith(QLatin1String("0.")))
        return timeDivLabel.mid(2, 1).toInt();
    QString number = timeDivLabel;
    if (number.endsWith(QLatin1Char('s')))
        number.chop(1);
    return static_cast<int64_t>(number.toInt()) * 10;
}

void appendDataLine(std::string& out, int64_t n, const std::array<int32_t, 4>& raw, uint64_t timeMs,
                    const std::array<uint8_t, 4>& rangeTenths, char decimalSeparator)
{
    appendInt(out, n);
    for (int32_t r : raw) {
        out.push_back('\t');
        appendInt(out, r);
    }
    out.push_back('\t');
    appendSeconds(out, timeMs, decimalSeparator);
    for (size_t c = 0; c < raw.size(); ++c) {
        out.push_back('\t');
        appendVolts(out, raw[c], rangeTenths[c], decimalSeparator);
    }
    out.append(Eol);
}

void appendFillerLine(std::string& out, int64_t n)
{
    appendInt(out, n);
    out.append("\t0\t0\t0\t0\t-\t-\t-\t-\t-");
    out.append(Eol);
}

void appendHeader(std::string& out, const RunState& run, const ChannelSetup& channels, bool autoSave)
{
    if (autoSave) {
        out.append(Eol);
        appendLine(out, StartKey + run.StartStamp.str());
    } else {
        appendLine(out, StartKey + run.StartStamp.str());
        appendLine(out, SaveStopKey + run.StopStamp.str());
    }
    out.append(Eol);
    appendLine(out, QStringLiteral("TIME STEP:"));
    appendLine(out, QStringLiteral("100 = ") + run.RecTimeDivLabel.str());
    out.append(Eol);
    appendLine(out, QStringLiteral("VOLTAGE RANGES:"));
    appendLine(out, QStringLiteral("CH1: ") + channels.RecRangeLabel[0].str() + QStringLiteral("\tCH3: ") +
                        channels.RecRangeLabel[2].str());
    appendLine(out, QStringLiteral("CH2: ") + channels.RecRangeLabel[1].str() + QStringLiteral("\tCH4: ") +
                        channels.RecRangeLabel[3].str());
    out.append(Eol);
    out.append(ColumnHeader);
    out.append(Eol);
    out.append(Eol);
}

void appendAnnotationBlock(std::string& out, const AnnotationState& annotation, int width)
{
    const QStringList lines = annotationLines(annotation.AnnotationText);
    if (!annotation.AnnotationOn || lines.isEmpty())
        return;
    out.append(CommentKey);
    out.append(Eol);
    for (int64_t v : {static_cast<int64_t>(lines.size()), static_cast<int64_t>(annotation.AnnotationX),
                      static_cast<int64_t>(annotation.AnnotationY),
                      static_cast<int64_t>(annotation.AnnotationTransparent ? 1 : 0)}) {
        appendInt(out, v);
        out.append(Eol);
    }
    for (const QString& line : lines)
        appendLine(out, width > 0 ? line.left(width) : line);
    out.append(Eol);
}

QStringList annotationLines(const QString& text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.back().isEmpty())
        lines.removeLast();
    // A stray carriage return would end the line early in the file.
    for (QString& line : lines)
        line.remove(QLatin1Char('\r'));
    return lines;
}

QString annotationText(const QStringList& lines)
{
    QString text = lines.join(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty())
        text += QLatin1Char('\n');
    return text;
}

}  // namespace datafile
