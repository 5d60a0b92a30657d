#include <gtest/gtest.h>

#include "app/RecordOptions.h"
#include "device/Commands.h"
#include "recording/TimeBase.h"

namespace {

RecordOptions parse(std::initializer_list<const char*> args)
{
    QStringList list;
    for (const char* a : args)
        list << QString::fromUtf8(a);
    return parseRecordOptions(list);
}

}  // namespace

TEST(RecordOptions, DurationsTakeAWholeNumberAndAUnit)
{
    EXPECT_EQ(parseDuration(QStringLiteral("90s")), 90'000);
    EXPECT_EQ(parseDuration(QStringLiteral("15m")), 15 * 60'000);
    EXPECT_EQ(parseDuration(QStringLiteral("2h")), 2 * 3'600'000);
    EXPECT_EQ(parseDuration(QStringLiteral("3d")), int64_t{3} * 86'400'000);
    for (const char* bad : {"", "90", "s", "0s", "-5s", "1.5h", "5 m", "5x", "10S", "999999999999d"})
        EXPECT_EQ(parseDuration(QString::fromLatin1(bad)), -1) << bad;
}

TEST(RecordOptions, NumberedFilesPutTheNumberBeforeTheExtension)
{
    EXPECT_EQ(numberedFileName(QStringLiteral("run.txt"), 1), QStringLiteral("run-0001.txt"));
    EXPECT_EQ(numberedFileName(QStringLiteral("/data/v1.2/run.txt"), 12), QStringLiteral("/data/v1.2/run-0012.txt"));
    EXPECT_EQ(numberedFileName(QStringLiteral("a.b.txt"), 2), QStringLiteral("a.b-0002.txt"));
    EXPECT_EQ(numberedFileName(QStringLiteral("/data/v1.2/log"), 3), QStringLiteral("/data/v1.2/log-0003"));
    EXPECT_EQ(numberedFileName(QStringLiteral(".txt"), 1), QStringLiteral(".txt-0001"));
    EXPECT_EQ(numberedFileName(QStringLiteral("run.txt"), 12345), QStringLiteral("run-12345.txt"));
}

TEST(RecordOptions, DefaultsAreThoseTheWindowStartsWith)
{
    const RecordOptions o = parse({"--output", "x.txt"});
    ASSERT_TRUE(o.error.isEmpty()) << qPrintable(o.error);
    EXPECT_EQ(o.output, QStringLiteral("x.txt"));
    EXPECT_EQ(o.timeBase, TimeBase1s);
    EXPECT_EQ(o.range, (std::array<int, 4>{-1, -1, -1, -1}));
    EXPECT_EQ(o.durationMs, 0);
    EXPECT_EQ(o.samples, 0);
    EXPECT_EQ(o.splitMs, 0);
    EXPECT_FALSE(o.reconnect);
    EXPECT_FALSE(o.quiet);
    EXPECT_FALSE(o.numberedFiles());
}

TEST(RecordOptions, EveryOptionIsRead)
{
    qunsetenv("KORVIX_SIMULATE");
    const RecordOptions o = parse({"--time-div", "0.1s", "--range", "1=8V", "--range", "4=\u00B10.4V", "--duration",
                                   "15m", "--split", "90s", "--comment", "Bench 3", "--comment", "heater on",
                                   "--reconnect", "--quiet", "--simulate=ch1=dc:5,zero=7", "--output", "run.txt"});
    ASSERT_TRUE(o.error.isEmpty()) << qPrintable(o.error);
    EXPECT_STREQ(TimeBases[static_cast<size_t>(o.timeBase)].label, "0.1s");
    EXPECT_EQ(Ranges[static_cast<size_t>(o.range[0])].channelRange, 80);
    EXPECT_EQ(o.range[1], -1);
    EXPECT_EQ(o.range[2], -1);
    EXPECT_EQ(Ranges[static_cast<size_t>(o.range[3])].channelRange, 4);
    EXPECT_EQ(o.durationMs, 15 * 60'000);
    EXPECT_EQ(o.splitMs, 90'000);
    EXPECT_EQ(o.comment, (QStringList{QStringLiteral("Bench 3"), QStringLiteral("heater on")}));
    EXPECT_TRUE(o.reconnect);
    EXPECT_TRUE(o.quiet);
    EXPECT_TRUE(o.simulate);
    EXPECT_EQ(o.simulator.zero, 7);
    EXPECT_TRUE(o.numberedFiles());

    const RecordOptions bare = parse({"--simulate", "--samples", "500", "--output", "-"});
    ASSERT_TRUE(bare.error.isEmpty()) << qPrintable(bare.error);
    EXPECT_TRUE(bare.simulate);
    EXPECT_EQ(bare.samples, 500);
    EXPECT_TRUE(bare.toStdout());
    EXPECT_TRUE(parse({"--help"}).showHelp);
}

TEST(RecordOptions, TheEnvironmentStandsForAMissingSimulateOption)
{
    qputenv("KORVIX_SIMULATE", "ch2=dc:1");
    const RecordOptions o = parse({"--output", "x.txt"});
    qunsetenv("KORVIX_SIMULATE");
    ASSERT_TRUE(o.error.isEmpty());
    EXPECT_TRUE(o.simulate);
    EXPECT_FALSE(parse({"--output", "x.txt"}).simulate);
}

// Every bad option or value gives one line that names the option.
TEST(RecordOptions, ErrorsNameTheBadOption)
{
    qunsetenv("KORVIX_SIMULATE");
    struct Case {
        std::vector<const char*> args;
        const char* named;
    };
    const std::vector<Case> cases = {
        {{"--output", "x", "--bogus"}, "bogus"},
        {{"--output"}, "output"},
        {{}, "--output"},
        {{"--output", "x", "--time-div", "3s"}, "--time-div"},
        {{"--output", "x", "--time-div", "0.1s", "--time-div", "1s"}, "--time-div"},
        {{"--output", "x", "--range", "5=8V"}, "--range"},
        {{"--output", "x", "--range", "1=9V"}, "--range"},
        {{"--output", "x", "--range", "8V"}, "--range"},
        {{"--output", "x", "--range", "1=8V", "--range", "1=4V"}, "--range"},
        {{"--output", "x", "--duration", "10"}, "--duration"},
        {{"--output", "x", "--duration", "1m", "--samples", "5"}, "--samples"},
        {{"--output", "x", "--samples", "0"}, "--samples"},
        {{"--output", "x", "--samples", "many"}, "--samples"},
        {{"--output", "x", "--split", "0m"}, "--split"},
        {{"--output", "-", "--split", "1h"}, "--split"},
        {{"--output", "-", "--reconnect"}, "--reconnect"},
        {{"--output", "x", "--simulate=ch9=dc:1"}, "--simulate"},
        {{"--output", "x", "stray"}, "stray"},
    };
    for (const Case& c : cases) {
        QStringList list;
        for (const char* a : c.args)
            list << QString::fromUtf8(a);
        const RecordOptions o = parseRecordOptions(list);
        EXPECT_FALSE(o.error.isEmpty()) << qPrintable(list.join(' '));
        EXPECT_TRUE(o.error.contains(QLatin1String(c.named))) << qPrintable(o.error);
        EXPECT_FALSE(o.error.contains(QLatin1Char('\n'))) << qPrintable(o.error);
    }
}

TEST(RecordOptions, HelpListsEveryOption)
{
    const QString help = recordUsageText();
    for (const char* option : {"--output", "--simulate", "--time-div", "--range", "--duration", "--samples", "--split",
                               "--comment", "--reconnect", "--quiet", "--help"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
}
