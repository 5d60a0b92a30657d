#pragma once

#include <QString>
#include <cstdint>

class QWidget;

// What "File > Export CSV..." exports: the data file, its sample interval (0 when unknown) and the
// rows of the span in view.
struct CsvExportRequest {
    QString dataFile;
    int64_t stepMs = 0;
    int64_t firstRow = 0, lastRow = 0;
};

// "File > Export CSV...": asks for the CSV file and whether only the span in view goes into it,
// writes it on a worker thread behind a progress dialog with Cancel, and tells the result.
void exportCsvInteractively(QWidget* parent, const CsvExportRequest& job);
