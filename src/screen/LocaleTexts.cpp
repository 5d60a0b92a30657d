#include "screen/LocaleTexts.h"

QString shortDateText(const QDate& date, const QLocale& locale)
{
    return locale.toString(date, QLocale::ShortFormat);
}

QString longTimeText(const QTime& time, const QLocale& locale)
{
    // Drops the time-zone field "t" outside quoted literals.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString withoutZone;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        withoutZone += c;
    }
    return locale.toString(time, withoutZone.trimmed());
}
