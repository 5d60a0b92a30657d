// `korvix convert`: its options as the manual page gives them, and a conversion read back.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/ConvertCommand.h"
#include "files/DataFileWriter.h"
#include "ui/RecorderState.h"

TEST(ConvertCommand, OptionsAndTheAmbiguousTo)
{
    ConvertOptions o =
        parseConvertOptions({QStringLiteral("/d/run.txt"), QStringLiteral("--to"), QStringLiteral("csv")});
    EXPECT_TRUE(o.error.isEmpty()) << o.error.toStdString();
    EXPECT_EQ(o.output, QStringLiteral("/d/run.csv")) << "FILE with the extension .csv";
    EXPECT_TRUE(o.from.isEmpty());
    EXPECT_TRUE(o.to.isEmpty());

    // The first "--to csv" is the format, a "--to" with any other value the end of the span.
    o = parseConvertOptions({QStringLiteral("run.txt"), QStringLiteral("--to"), QStringLiteral("csv"),
                             QStringLiteral("--from"), QStringLiteral("0"), QStringLiteral("--to"),
                             QStringLiteral("3600"), QStringLiteral("--output"), QStringLiteral("first-hour.csv")});
    EXPECT_TRUE(o.error.isEmpty()) << o.error.toStdString();
    EXPECT_EQ(o.from, QStringLiteral("0"));
    EXPECT_EQ(o.to, QStringLiteral("3600"));
    EXPECT_EQ(o.output, QStringLiteral("first-hour.csv"));
    o = parseConvertOptions({QStringLiteral("--to"), QStringLiteral("01:00:00"), QStringLiteral("run.txt"),
                             QStringLiteral("--to"), QStringLiteral("csv")});
    EXPECT_TRUE(o.error.isEmpty()) << o.error.toStdString();
    EXPECT_EQ(o.to, QStringLiteral("01:00:00"));

    for (const QStringList& bad :
         {QStringList{QStringLiteral("run.txt")}, QStringList{QStringLiteral("--to"), QStringLiteral("csv")},
          QStringList{QStringLiteral("run.txt"), QStringLiteral("--to")},
          QStringList{QStringLiteral("run.txt"), QStringLiteral("--to"), QStringLiteral("csv"),
                      QStringLiteral("--bogus")},
          QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("--to"), QStringLiteral("csv")}})
        EXPECT_FALSE(parseConvertOptions(bad).error.isEmpty()) << bad.join(QLatin1Char(' ')).toStdString();
}

TEST(ConvertCommand, WritesTheSpanAsCsv)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.txt"));
    RecorderState st;
    st.RecTimeDivLabel = QStringLiteral("1s");  // 10 ms a row
    st.RecRangeLabel.fill(QStringLiteral("±20V"));
    st.StartStamp = QStringLiteral("9.12.2026\t10:00:00");
    datafile::AutoSaveWriter w;
    ASSERT_TRUE(w.create(path));
    w.writeHeader(st, st);
    for (int64_t k = 0; k < 1000; ++k)
        w.writeSampleLine(k, {static_cast<int32_t>(k % 1024), 512, 0, 1023}, static_cast<uint64_t>(k * 10),
                          st.ChannelRange);
    w.writeTrailer(st, st);

    EXPECT_EQ(runConvert({path, QStringLiteral("--to"), QStringLiteral("csv"), QStringLiteral("--from"),
                          QStringLiteral("1"), QStringLiteral("--to"), QStringLiteral("00:00:02")}),
              0);
    QFile csv(dir.filePath(QStringLiteral("run.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_EQ(lines.size(), 1 + 101 + 1);  // header, rows 100..200, after the last CR LF
    EXPECT_EQ(lines[1], QByteArray("2026-12-09T10:00:01.000,1.000,-16.094,0.000,-20.000,19.961,100,512,0,1023\r"));
    EXPECT_EQ(lines[101].left(24), QByteArray("2026-12-09T10:00:02.000,"));

    EXPECT_EQ(runConvert({path, QStringLiteral("--to"), QStringLiteral("csv"), QStringLiteral("--from"),
                          QStringLiteral("later")}),
              2);
    EXPECT_EQ(runConvert({dir.filePath(QStringLiteral("none.txt")), QStringLiteral("--to"), QStringLiteral("csv")}), 2);
    EXPECT_EQ(runConvert({path, QStringLiteral("--to"), QStringLiteral("csv"), QStringLiteral("--output"),
                          dir.filePath(QStringLiteral("no-such-folder/out.csv"))}),
              3)
        << "a CSV file that cannot be written";
    EXPECT_EQ(runConvert({path, QStringLiteral("--to"), QStringLiteral("csv"), QStringLiteral("--output"), path}), 2)
        << "the data file is never overwritten";
}
