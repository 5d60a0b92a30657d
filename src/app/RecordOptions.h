#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

#include "device/SimulatorSetup.h"

// The options of `korvix record`, checked and converted. Parsing never exits: a bad option or
// value leaves a one-line error that names it.
struct RecordOptions {
    bool showHelp = false;
    QString output;  // "-" for standard output
    bool simulate = false;
    SimulatorConfig simulator;
    int timeBase = -1;  // index in TimeBases; "1s" when not given
    // Index in Ranges per channel, -1 where --range did not name the channel.
    std::array<int, 4> range{-1, -1, -1, -1};
    int64_t durationMs = 0;  // 0: no limit
    int64_t samples = 0;     // 0: no limit
    int64_t splitMs = 0;     // 0: one file
    QStringList comment;     // the lines of the annotation block
    bool reconnect = false;
    bool quiet = false;
    QString error;

    bool toStdout() const { return output == QLatin1String("-"); }
    // Files carry the numbers -0001, -0002, ... (a new file by --split or after a reconnection).
    bool numberedFiles() const { return splitMs > 0 || reconnect; }
};

// Reads the arguments that follow "record". KORVIX_SIMULATE stands for --simulate when the option
// is absent and the variable is not empty, as for the window.
RecordOptions parseRecordOptions(const QStringList& arguments);
QString recordUsageText();

// A duration such as 90s, 15m, 2h or 3d (a whole positive number and its unit) in milliseconds, or
// -1 when the text is none.
int64_t parseDuration(const QString& text);

// FILE with the number before its extension: run.txt, 1 -> run-0001.txt; log -> log-0001.
QString numberedFileName(const QString& file, int number);

// Index in TimeBases of a label such as "0.1s", or -1.
int timeBaseIndexOf(const QString& label);
// Index in Ranges of a label such as "8V" or "±8V", or -1.
int rangeIndexOfLabel(const QString& label);
