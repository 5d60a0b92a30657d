// Fuzz target of the data-file reader: any bytes as a data file. The header, the annotation block
// and a fixed series of page turns must neither crash nor hang, and every page must equal the one
// read from the top of the file without the index. Built for libFuzzer with KORVIX_FUZZ; otherwise
// ReaderFuzzReplay.cpp runs it over the files given on its command line.
#include <QDir>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

#include "SequentialPager.h"
#include "files/DataFilePaging.h"
#include "files/DataFileReader.h"
#include "ui/RecorderState.h"

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

bool samePage(const datafile::PageState& a, const datafile::PageState& b, const RecorderState& sa,
              const RecorderState& sb)
{
    return a.pageEnd == b.pageEnd && a.back == b.back && a.forward == b.forward && sa.TraceBuf == sb.TraceBuf;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path =
        QDir::temp().filePath(QStringLiteral("korvix-reader-fuzz-%1.txt").arg(getpid())).toStdString();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    datafile::DataFileLines lines;
    check(lines.open(QString::fromStdString(path)));
    // Every line of the data part is a sample, a damaged line or neither, never both.
    check(lines.sampleLines() >= 0 && lines.damagedLines() >= 0 &&
          lines.sampleLines() + lines.damagedLines() <= std::max<int64_t>(0, lines.lineCount() - 12));
    auto text = [&](int64_t n) {
        const auto l = lines.line(n);
        return l ? *l : std::string();
    };
    const datafile::HeaderInfo header = datafile::recogniseHeader(text(5), text(8), text(9));
    check(!header.valid() || (header.timeIndex >= 0 && header.timeIndex < 13));
    const datafile::AnnotationInfo annotation = lines.readAnnotation(10, 20);
    check(annotation.lines.size() <= datafile::MaxAnnotationLines);

    static RecorderState indexed, reference;
    SequentialPager ref(path);
    datafile::PageSpan span = datafile::openSpan();
    datafile::fillScreen(lines, span, indexed);
    datafile::PageState got = datafile::afterOpen(lines, span);
    datafile::PageState expected = ref.open(reference);
    check(samePage(got, expected, indexed, reference));
    // >> >> << >> << << >>, while the page numbers stay in a range the reference can count.
    for (const bool forward : {true, true, false, true, false, false, true}) {
        const int64_t pageEnd = got.pageEnd;
        if (pageEnd > (int64_t{1} << 40))
            break;
        if (forward) {
            span = datafile::forwardSpan(pageEnd);
            datafile::fillScreen(lines, span, indexed);
            got = datafile::afterForward(lines, span, pageEnd);
            expected = ref.forward(reference, pageEnd);
        } else {
            span = datafile::backSpan(pageEnd);
            datafile::fillScreen(lines, span, indexed);
            got = datafile::afterBack(lines, span, pageEnd);
            expected = ref.back(reference, pageEnd);
        }
        check(samePage(got, expected, indexed, reference));
    }
    return 0;
}
