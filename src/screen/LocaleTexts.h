#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// Dates and times as the user's locale writes them: the short date format and the long time
// format. The time is written without a time zone, as the recorder's files and labels have
// always shown it ("14:05:33", not "14:05:33 CET").
QString shortDateText(const QDate& date, const QLocale& locale = QLocale());
QString longTimeText(const QTime& time, const QLocale& locale = QLocale());
