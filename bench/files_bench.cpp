// Figures of the data files: sample lines formatted and written per second, the time to build the
// page index of a 2,000,000-line auto-save file, and the cost of a page turn near the start and at
// page 1000, by the index and by reading the file again from the top.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "SequentialPager.h"
#include "files/DataFileFormat.h"
#include "files/DataFilePaging.h"
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "recording/RecorderState.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <class F>
double medianMs(int runs, F&& f)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f();
        t.push_back(msSince(start));
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

std::array<int32_t, 4> rawOf(int64_t n)
{
    return {static_cast<int32_t>(n % 1024), static_cast<int32_t>((n * 7) % 1024), static_cast<int32_t>(1023 - n % 1024),
            512};
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    constexpr int64_t Lines = 2000000;
    const std::array<uint8_t, 4> ranges{200, 80, 20, 4};

    // ---- Formatting alone, into a buffer that is emptied now and then.
    {
        std::string buffer;
        buffer.reserve(1 << 20);
        const auto start = Clock::now();
        for (int64_t n = 0; n < Lines; ++n) {
            datafile::appendDataLine(buffer, n, rawOf(n), static_cast<uint64_t>(n), ranges, '.');
            if (buffer.size() > (1 << 20) - 128)
                buffer.clear();
        }
        const double ms = msSince(start);
        std::printf("sample lines formatted:            %10.0f lines/s\n", Lines / ms * 1000.0);
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.txt"));
    RecorderState st;
    st.RecTimeDivLabel = QStringLiteral("0.1s");
    st.RecRangeLabel = {QStringLiteral("±20V"), QStringLiteral("±8V"), QStringLiteral("±2V"), QStringLiteral("±0.4V")};

    // ---- The auto-save writer, header to trailer, into a file.
    {
        datafile::AutoSaveWriter writer;
        writer.create(path);
        const auto start = Clock::now();
        writer.writeHeader(st);
        for (int64_t n = 0; n < Lines; ++n)
            writer.writeSampleLine(n, rawOf(n), static_cast<uint64_t>(n), ranges);
        writer.writeTrailer(st);
        const double ms = msSince(start);
        std::printf("sample lines written to a file:    %10.0f lines/s  (%lld lines, %.1f MB, %.0f ms)\n",
                    Lines / ms * 1000.0, static_cast<long long>(Lines), QFile(path).size() / 1e6, ms);
    }

    // ---- Handing one second of 1 ms samples to the medium, as the writer does once a second.
    {
        datafile::AutoSaveWriter writer;
        writer.create(dir.filePath(QStringLiteral("flush.txt")));
        writer.writeHeader(st);
        int64_t n = 0;
        const double flushMs = medianMs(11, [&] {
            for (int i = 0; i < 1000; ++i, ++n)
                writer.writeSampleLine(n, rawOf(n), static_cast<uint64_t>(n), ranges);
            writer.flush();
        });
        std::printf("one second of 1 ms samples written and synced: %.2f ms\n", flushMs);
    }

    // ---- The page index, built once per opened file.
    const double indexMs = medianMs(5, [&] {
        datafile::DataFileLines fresh;
        fresh.open(path);
    });
    std::printf("page index of %lld lines:        %10.1f ms\n", static_cast<long long>(Lines), indexMs);

    // ---- A page turn (">>" from PageEnd) by the index and by reading from the top.
    datafile::DataFileLines lines;
    lines.open(path);
    RecorderState byIndex, fromTop;
    SequentialPager sequential(path.toStdString());
    for (const int64_t page : {1, 10, 100, 1000}) {
        const int64_t pageEnd = page * datafile::PageRows;
        datafile::PageState a, b;
        const double indexed = medianMs(21, [&] {
            lines.open(path);  // the turn reopens the file; the index is kept
            const datafile::PageSpan span = datafile::forwardSpan(pageEnd);
            datafile::fillScreen(lines, span, byIndex);
            a = datafile::afterForward(lines, span, pageEnd);
            lines.close();
        });
        const double top = medianMs(5, [&] { b = sequential.forward(fromTop, pageEnd); });
        const bool same = a.pageEnd == b.pageEnd && a.back == b.back && a.forward == b.forward &&
                          byIndex.TraceBuf == fromTop.TraceBuf;
        std::printf("page turn at page %4lld:  by index %7.3f ms   from the top %8.3f ms   %s\n",
                    static_cast<long long>(page), indexed, top, same ? "same page" : "PAGES DIFFER");
    }
    std::printf("index builds for all turns: %d\n", lines.indexBuilds());
    return 0;
}
