#pragma once

// Reads a data file of `korvix record` back the way the window's Open Data does.
#include <QFile>
#include <QString>
#include <array>
#include <string>
#include <vector>

#include "files/DataFileFormat.h"
#include "files/DataFileReader.h"

struct ReadBack {
    bool opened = false;
    std::vector<std::string> header;              // lines 1..12
    std::vector<std::array<int64_t, 4>> samples;  // raw values of the data lines, in order
    std::vector<int64_t> numbers;                 // their N
    int64_t damaged = 0;
    bool stopLine = false;  // "STOP:  " after the data
    QStringList note;       // the annotation block's lines
};

inline ReadBack readBack(const QString& path)
{
    ReadBack r;
    datafile::DataFileLines lines;
    if (!lines.open(path))
        return r;
    r.opened = true;
    lines.readLines(1, datafile::HeaderLines, 4096,
                    [&](int64_t, std::string_view text) { r.header.emplace_back(text); });
    r.damaged = lines.damagedLines();
    lines.readLines(datafile::FirstDataLine, lines.lineCount(), 4096, [&](int64_t, std::string_view text) {
        if (text.rfind(datafile::AutoSaveStopKey, 0) == 0)
            r.stopLine = true;
        if (r.stopLine)
            return;
        if (const auto raw = datafile::classifyLine(text)) {
            r.samples.push_back(*raw);
            r.numbers.push_back(std::stoll(std::string(text.substr(0, text.find('\t')))));
        }
    });
    r.note = lines.readAnnotation(0, 0).lines;
    return r;
}
