#pragma once

// `korvix convert FILE --to csv [--from T --to T] [--output OUT]`: a data file as CSV for other
// tools, without a window.

#include <QString>
#include <QStringList>
#include <optional>

struct ConvertOptions {
    QString input;
    QString output;    // FILE with the extension .csv when not given
    QString from, to;  // moments as "Go to Time..." takes them; empty: the start, the end
    QString error;     // set when the arguments are bad
};

// Reads the arguments after "convert". "--to" is the output format when its value is "csv" and no
// format was given yet; otherwise it names the end of the span.
ConvertOptions parseConvertOptions(const QStringList& arguments);
QString convertUsageText();

// Whether argv names the command (argv[1] is "convert").
bool isConvertCommand(int argc, char** argv);
// Runs it and returns the exit code: 0; 2 for a bad option or value, or a data file that cannot be
// read; 3 when the CSV file cannot be written.
int runConvertCommand(int argc, char** argv);
// The same on parsed arguments, writing messages to stdout/stderr.
int runConvert(const QStringList& arguments);
