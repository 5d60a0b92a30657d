#include "recording/DemoSource.h"

#include <algorithm>
#include <cmath>

namespace demo {

namespace {
// Nearest integer with halfway cases to the even one.
int roundEven(double x)
{
    return static_cast<int>(std::nearbyint(x));
}
}  // namespace

void buildSources(DemoSource& st, std::mt19937& rng)
{
    auto& table = st.DemoTable;
    std::uniform_int_distribution<int> level(0, 799);
    int t = 0;
    int r = 0;
    for (int i = 0; i < Period; ++i) {
        const double theta = 2.0 * M_PI * i / Period;
        // Triangle: down in the first half period, up in the second.
        t += i < 150 ? -20 : 20;
        table[static_cast<size_t>(SourceBase + i)] = static_cast<int16_t>(t - 100);
        // A small sine riding on random steps that change every 50 entries.
        if (i % 50 == 0)
            r = level(rng);
        table[static_cast<size_t>(SourceBase + 300 + i)] =
            static_cast<int16_t>(roundEven(std::sin(2 * theta) * 100 / 3 - 2100) + r);
    }
    for (int i = 0; i < Period; ++i) {
        const double theta = 2.0 * M_PI * i / Period;
        const double harmonic = 500 * std::sin(theta) - 2800 + 250 * std::sin(2 * theta + M_PI / 2) +
                                (500.0 / 3) * std::sin(3 * theta + M_PI);
        table[static_cast<size_t>(SourceBase + 600 + i)] = static_cast<int16_t>(roundEven(harmonic));
        table[static_cast<size_t>(SourceBase + 900 + i)] = static_cast<int16_t>(i < 150 ? -5000 : -4000);
    }
}

void buildScreenTables(DemoSource& st, const ChannelSetup& channels)
{
    auto& table = st.DemoTable;
    for (int c = 0; c < ChannelCount; ++c) {
        const int range = channels.ChannelRange[static_cast<size_t>(c)];
        for (int i = 0; i < Period; ++i) {
            const int source = table[static_cast<size_t>(SourceBase + Period * c + i)];
            int v = (range != 0 ? source / range : 0) + 255;
            v = std::clamp(v, 0, 255);
            table[static_cast<size_t>(Period * c + i)] = static_cast<int16_t>(v);
        }
    }
}

void takeSample(DemoSource& st, ScreenBuffer& buffer)
{
    const int p = st.DemoPhase % Period;
    for (int c = 0; c < ChannelCount; ++c)
        buffer.trace(c, buffer.SampleIndex) = st.DemoTable[static_cast<size_t>(Period * c + p)];
    st.DemoPhase = static_cast<uint16_t>(p + st.DemoStep);
}

Refresh advanceDisplayClocks(DemoSource& st, int intervalMs)
{
    Refresh r;
    st.DemoDvmMs += intervalMs;
    if (st.DemoDvmMs > 1000) {
        st.DemoDvmMs = 0;
        r.dvm = true;
    }
    st.DemoValueMs += intervalMs;
    if (st.DemoValueMs > 500) {
        st.DemoValueMs = 0;
        r.values = true;
    }
    return r;
}

}  // namespace demo
