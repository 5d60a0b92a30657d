// Figures of the data files: sample lines formatted and written per second, the time to build the
// page index of a 2,000,000-line auto-save file, and the cost of a page turn near the start and at
// page 1000, by the index and by reading the file again from the top. With --long [LINES [FOLDER]]
// also a long recording: overview, first page, jumps and CSV export (see longRecording).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "SequentialPager.h"
#include "files/DataFileFormat.h"
#include "files/DataFilePaging.h"
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "files/CsvExport.h"
#include "files/RecordingOverview.h"
#include "files/RecordingTime.h"
#include "ui/RecorderState.h"

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

// Peak resident memory of the process in kB (VmHWM), or 0.
long peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// ---- A long recording (10 h at 1 ms: 36,000,000 lines, about 1.8 GB): the overview, a jump to
// any page, CSV export and the page index, on a file generated in `folder` and deleted after.
void longRecording(int64_t lines, const QString& folder)
{
    QTemporaryDir dir(folder.isEmpty() ? QDir::tempPath() + QStringLiteral("/korvix-long-XXXXXX")
                                       : folder + QStringLiteral("/korvix-long-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("ten-hours.txt"));
    const std::array<uint8_t, 4> ranges{200, 80, 20, 4};
    {
        RecorderState st;
        st.RecTimeDivLabel = QStringLiteral("0.1s");
        st.RecRangeLabel = {QStringLiteral("±20V"), QStringLiteral("±8V"), QStringLiteral("±2V"),
                            QStringLiteral("±0.4V")};
        st.StartStamp = QStringLiteral("9.12.2026\t08:00:00");
        datafile::AutoSaveWriter writer;
        writer.create(path);
        const auto start = Clock::now();
        writer.writeHeader(st, st);
        for (int64_t n = 0; n < lines; ++n)
            writer.writeSampleLine(n, rawOf(n), static_cast<uint64_t>(n), ranges);
        writer.writeTrailer(st, st);
        std::printf("\nlong recording: %lld lines, %.2f GB written in %.1f s\n", static_cast<long long>(lines),
                    QFile(path).size() / 1e9, msSince(start) / 1000.0);
    }
    const long rssBefore = peakResidentKb();

    // Open Data as the window does it: the first lines indexed, the header, the annotation block,
    // the first page and the state of the page buttons. The rest of the index follows on a worker.
    datafile::DataFileLines index;
    RecorderState screen;
    auto start = Clock::now();
    index.openHead(path, datafile::DataFileLines::HeadLines);
    datafile::recogniseHeader(index.line(5).value_or(std::string()), index.line(8).value_or(std::string()),
                              index.line(9).value_or(std::string()));
    index.readAnnotation(0, 0);
    const datafile::PageSpan first = datafile::openSpan();
    datafile::fillScreen(index, first, screen);
    datafile::afterOpen(index, first);
    index.close();
    const double firstPageMs = msSince(start);
    std::printf("first page after Open Data:        %8.1f ms   (limit 300 ms)\n", firstPageMs);

    // The worker's pass: the whole index and the overview together, taken over by the window.
    datafile::DataFileLines worker;
    datafile::RecordingOverview overview;
    start = Clock::now();
    datafile::indexWithOverview(path, worker, overview);
    index.adoptIndex(worker);
    const double overviewMs = msSince(start);
    std::printf("index and overview ready:          %8.0f ms   (limit 5000 ms)  %lld samples, %lld damaged\n",
                overviewMs, static_cast<long long>(overview.sampleLines()),
                static_cast<long long>(overview.damagedLines()));
    std::printf("overview memory:                   %8.1f MB   (limit 50 MB)  %zu buckets of %lld rows\n",
                overview.memoryBytes() / 1e6, overview.buckets().size(),
                static_cast<long long>(datafile::RecordingOverview::BucketRows));

    // Each on its own, for comparison: the page index (what Open Data built before its first page
    // when it read the whole file first) and the overview (what a refresh reads).
    datafile::DataFileLines alone;
    start = Clock::now();
    alone.open(path);
    const double indexMs = msSince(start);
    datafile::RecordingOverview overviewAlone;
    start = Clock::now();
    overviewAlone.update(path);
    std::printf("page index alone:                  %8.0f ms;  overview alone: %.0f ms\n", indexMs, msSince(start));

    // Jumps to pages spread over the file, by the index, through the page routine of ">>".
    const int64_t pages = datafile::pageCount(overview.rowsWithSamples());
    std::vector<double> jumps;
    for (int i = 0; i < 41; ++i) {
        const int64_t page = (pages - 1) * i / 40;
        const datafile::PagePlace place = datafile::pageOfIndex(page);
        start = Clock::now();
        index.open(path);
        const datafile::PageSpan span = page == 0 ? datafile::openSpan() : datafile::forwardSpan(place.pageEnd);
        datafile::fillScreen(index, span, screen);
        datafile::afterForward(index, span, place.pageEnd);
        index.close();
        jumps.push_back(msSince(start));
    }
    std::sort(jumps.begin(), jumps.end());
    std::printf("jump to a page (41 over %lld):    median %6.3f ms, max %6.3f ms   (limit 10 ms)\n",
                static_cast<long long>(pages), jumps[jumps.size() / 2], jumps.back());

    // CSV export of the whole file.
    const QString csv = dir.filePath(QStringLiteral("ten-hours.csv"));
    start = Clock::now();
    const datafile::CsvResult r = datafile::exportCsv(path, csv);
    const double csvMs = msSince(start);
    std::printf("CSV export:                        %8.0f lines/s   (limit 2,000,000)  %lld records, %.2f GB, %.1f s\n",
                r.records / csvMs * 1000.0, static_cast<long long>(r.records), QFile(csv).size() / 1e9, csvMs / 1000.0);
    QFile::remove(csv);
    std::printf("peak resident memory:              %8.1f MB (before the overview %.1f MB)\n", peakResidentKb() / 1e3,
                rssBefore / 1e3);
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
        writer.writeHeader(st, st);
        for (int64_t n = 0; n < Lines; ++n)
            writer.writeSampleLine(n, rawOf(n), static_cast<uint64_t>(n), ranges);
        writer.writeTrailer(st, st);
        const double ms = msSince(start);
        std::printf("sample lines written to a file:    %10.0f lines/s  (%lld lines, %.1f MB, %.0f ms)\n",
                    Lines / ms * 1000.0, static_cast<long long>(Lines), QFile(path).size() / 1e6, ms);
    }

    // ---- Handing one second of 1 ms samples to the medium, as the writer does once a second.
    {
        datafile::AutoSaveWriter writer;
        writer.create(dir.filePath(QStringLiteral("flush.txt")));
        writer.writeHeader(st, st);
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
    lines.close();
    if (argc > 1 && std::strcmp(argv[1], "--long") == 0)
        longRecording(argc > 2 ? std::atoll(argv[2]) : 36000000,
                      argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());
    return 0;
}
