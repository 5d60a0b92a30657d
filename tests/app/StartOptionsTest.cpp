// The options of the window program's command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/StartOptions.h"

TEST(StartOptions, SimulateOptionAndEnvironment)
{
    auto parse = [](std::vector<std::string> args) {
        args.insert(args.begin(), "korvix");
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        return parseStartOptions(static_cast<int>(argv.size()), argv.data());
    };
    qunsetenv("KORVIX_SIMULATE");
    EXPECT_FALSE(parse({}).simulate);

    StartOptions o = parse({"--simulate=ch1=dc:5,zero=7"});
    EXPECT_TRUE(o.simulate);
    EXPECT_TRUE(o.error.isEmpty());
    EXPECT_DOUBLE_EQ(o.simulator.channels[0].amplitude, 5.0);
    EXPECT_EQ(o.simulator.zero, 7);
    EXPECT_TRUE(parse({"--simulate"}).simulate);

    o = parse({"--simulate=ch1=dc:5,zero=x"});
    EXPECT_TRUE(o.error.contains(QStringLiteral("\"zero=x\""))) << o.error.toStdString();

    qputenv("KORVIX_SIMULATE", "noise=2");
    o = parse({});
    EXPECT_TRUE(o.simulate);
    EXPECT_EQ(o.simulator.noise, 2);
    EXPECT_EQ(parse({"--simulate=zero=1"}).simulator.noise, 0);  // the option wins
    qputenv("KORVIX_SIMULATE", "");
    EXPECT_FALSE(parse({}).simulate);
    qputenv("KORVIX_SIMULATE", "repeat=0");
    EXPECT_TRUE(parse({}).error.contains(QStringLiteral("repeat=0")));
    qunsetenv("KORVIX_SIMULATE");
}
