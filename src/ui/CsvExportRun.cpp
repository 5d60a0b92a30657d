#include "ui/CsvExportRun.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>

#include "files/CsvExport.h"
#include "files/RecordingTime.h"
#include "ui/Dialogs.h"
#include "ui/FileDialogs.h"

void exportCsvInteractively(QWidget* parent, const CsvExportRequest& job)
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.objectName = QStringLiteral("ExportCsvDialog");
    request.title = QStringLiteral("Export CSV");
    request.directory = QFileInfo(job.dataFile).path();
    request.fileName = QFileInfo(job.dataFile).completeBaseName() + QStringLiteral(".csv");
    request.filter = QStringLiteral("CSV file (*.csv);;All files (*.*)");
    request.defaultSuffix = QStringLiteral("csv");
    const QString target = runFileDialog(parent, request);
    if (target.isEmpty())
        return;
    if (QFileInfo(target).absoluteFilePath() == QFileInfo(job.dataFile).absoluteFilePath()) {
        showMessage(parent, {QMessageBox::Warning, QStringLiteral("Export CSV"),
                             QStringLiteral("The CSV file cannot replace the data file itself."), QMessageBox::Ok});
        return;
    }

    datafile::CsvSpan span;
    if (job.stepMs > 0) {
        const QMessageBox::StandardButton answer =
            showMessage(parent, {QMessageBox::Question, QStringLiteral("Export CSV"),
                                 QStringLiteral("Export only the span in view, %1 to %2?\r\r"
                                                "Yes: the span in view.   No: the whole file.")
                                     .arg(datafile::elapsedText(job.firstRow * job.stepMs),
                                          datafile::elapsedText(job.lastRow * job.stepMs)),
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel});
        if (answer == QMessageBox::Cancel)
            return;
        if (answer == QMessageBox::Yes) {
            span.fromMs = job.firstRow * job.stepMs;
            span.toMs = job.lastRow * job.stepMs;
        }
    }

    std::atomic<bool> cancel{false};
    std::atomic<qint64> done{0}, total{1};
    datafile::CsvResult result;
    const QString source = job.dataFile;
    QThread* thread = QThread::create([&] {
        datafile::PassControl control;
        control.cancel = &cancel;
        control.report = [&](qint64 d, qint64 t) {
            done = d;
            total = t;
        };
        result = datafile::exportCsv(source, target, span, control);
    });
    QProgressDialog progress(QStringLiteral("Exporting %1...").arg(QFileInfo(target).fileName()),
                             QStringLiteral("Cancel"), 0, 1000, parent);
    progress.setObjectName(QStringLiteral("exportProgress"));
    progress.setWindowTitle(QStringLiteral("Export CSV"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    QTimer poll;
    poll.setInterval(100);
    QObject::connect(&poll, &QTimer::timeout, &progress, [&] {
        progress.setValue(static_cast<int>(done.load() * 1000 / std::max<qint64>(total.load(), 1)));
    });
    QObject::connect(&progress, &QProgressDialog::canceled, &progress, [&] { cancel = true; });
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    poll.start();
    thread->start();
    loop.exec();
    thread->wait();
    delete thread;
    poll.stop();
    progress.reset();
    if (result.cancelled)
        return;
    if (!result.ok) {
        showMessage(parent, {QMessageBox::Critical, QStringLiteral("Export CSV"),
                             QStringLiteral("The file %1 could not be written:\r%2")
                                 .arg(QDir::toNativeSeparators(target), result.error),
                             QMessageBox::Ok});
        return;
    }
    QString text =
        QStringLiteral("%1 samples written to %2.").arg(result.records).arg(QDir::toNativeSeparators(target));
    if (result.damagedLines > 0)
        text += QStringLiteral("\r%1 damaged lines were skipped.").arg(result.damagedLines);
    showMessage(parent, {QMessageBox::Information, QStringLiteral("Export CSV"), text, QMessageBox::Ok});
}
