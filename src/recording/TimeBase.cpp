#include "recording/TimeBase.h"

double timeStepOf(const QString& timeDivLabel)
{
    if (timeDivLabel.startsWith(QLatin1String("0.")) && timeDivLabel.size() > 2)
        return timeDivLabel.mid(2, 1).toInt() / 1000.0;
    QString number = timeDivLabel;
    if (number.endsWith(QLatin1Char('s')))
        number.chop(1);
    return number.toInt() / 100.0;
}

QString twoDigits(int value)
{
    return value < 10 ? QStringLiteral("0") + QString::number(value) : QString::number(value);
}

QString elapsedText(int64_t hours, int minutes, int seconds)
{
    return QString::number(hours) + QStringLiteral(" hr  ") + twoDigits(minutes) + QStringLiteral(" min  ") +
           twoDigits(seconds) + QStringLiteral(" sec");
}
