#include "files/RecordingTime.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "files/DataFilePaging.h"
#include "files/RecordingOverview.h"

namespace datafile {

namespace {

std::optional<int64_t> secondsToMs(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0 || seconds > 9.0e12)
        return std::nullopt;
    return static_cast<int64_t>(std::llround(seconds * 1000.0));
}

}  // namespace

std::optional<int64_t> parseMoment(const QString& input, const std::optional<QDateTime>& start)
{
    const QString text = input.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    static const QRegularExpression seconds(QStringLiteral("^\\d+(\\.\\d+)?$"));
    if (seconds.match(text).hasMatch())
        return secondsToMs(text.toDouble());
    static const QRegularExpression elapsed(QStringLiteral("^(?:(\\d+):)?(\\d{1,2}):(\\d{1,2}(?:\\.\\d+)?)$"));
    if (const auto m = elapsed.match(text); m.hasMatch()) {
        const double h = m.captured(1).isEmpty() ? 0.0 : m.captured(1).toDouble();
        const double min = m.captured(2).toDouble();
        const double s = m.captured(3).toDouble();
        if (min >= 60 || s >= 60)
            return std::nullopt;
        return secondsToMs(h * 3600 + min * 60 + s);
    }
    if (!start)
        return std::nullopt;
    QDateTime clock = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!clock.isValid())
        clock = QDateTime::fromString(QString(text).replace(QLatin1Char(' '), QLatin1Char('T')), Qt::ISODateWithMs);
    if (!clock.isValid()) {
        // The START stamp's own form: its date, then its time.
        static const QRegularExpression space(QStringLiteral("\\s+"));
        const QStringList parts = text.split(space);
        if (parts.size() == 2)
            if (const auto stamp = parseStartStamp(parts[0] + QLatin1Char('\t') + parts[1]))
                clock = *stamp;
    }
    if (!clock.isValid())
        return std::nullopt;
    return start->msecsTo(clock);
}

PagePlace pageOfIndex(int64_t page)
{
    PagePlace p;
    p.page = std::max<int64_t>(page, 0);
    if (p.page == 0) {
        p.lastRow = PageRows - 1;
        return p;
    }
    p.pageEnd = p.page * PageRows;
    p.firstRow = p.pageEnd + 1;
    p.lastRow = p.pageEnd + PageRows;
    return p;
}

int64_t pageCount(int64_t rows)
{
    // Rows beyond the first page begin at 1701, 1700 rows a page.
    return rows <= PageRows + 1 ? 1 : 1 + (rows - PageRows - 1 + PageRows - 1) / PageRows;
}

PagePlace pageOfRow(int64_t row, int64_t rows)
{
    const int64_t last = pageCount(rows) - 1;
    if (row <= PageRows)
        return pageOfIndex(0);
    return pageOfIndex(std::min((row - 1) / PageRows, last));
}

int64_t rowOfMoment(int64_t ms, int64_t stepMs)
{
    if (stepMs <= 0 || ms <= 0)
        return 0;
    return ms / stepMs;
}

QString elapsedText(int64_t ms)
{
    const bool negative = ms < 0;
    ms = std::abs(ms);
    QString text = QStringLiteral("%1%2:%3:%4")
                       .arg(negative ? QStringLiteral("-") : QString())
                       .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
                       .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
                       .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'));
    if (ms % 1000 != 0)
        text += QStringLiteral(".%1").arg(ms % 1000, 3, 10, QLatin1Char('0'));
    return text;
}

}  // namespace datafile
