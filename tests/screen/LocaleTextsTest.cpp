#include <gtest/gtest.h>

#include "screen/LocaleTexts.h"

TEST(LocaleTexts, LongTimeHasNoTimeZone)
{
    for (const char* name : {"en_US", "de_DE", "fi_FI", "en_GB"}) {
        const QLocale locale(QString::fromLatin1(name));
        const QString text = longTimeText(QTime(14, 5, 33), locale);
        EXPECT_TRUE(text.contains(QStringLiteral("05"))) << name << ": " << qPrintable(text);
        EXPECT_TRUE(text.contains(QStringLiteral("33"))) << name << ": " << qPrintable(text);
        EXPECT_FALSE(text.contains(QStringLiteral("UTC")) || text.contains(QStringLiteral("GMT"))) << name;
        EXPECT_EQ(text, text.trimmed()) << name;
    }
    EXPECT_EQ(longTimeText(QTime(14, 5, 33), QLocale(QStringLiteral("de_DE"))), QStringLiteral("14:05:33"));
    EXPECT_EQ(shortDateText(QDate(2026, 12, 9), QLocale(QStringLiteral("de_DE"))), QStringLiteral("09.12.26"));
}
