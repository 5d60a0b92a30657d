#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "ui/RecorderState.h"

class MeasuringTools;
class QWidget;
class RecordingSession;
class Screen;
struct AppSettings;
namespace datafile {
class AutoSaveWriter;
}

// The data files of the recorder window: "Save Data..." (the screen's samples), "AutoSave Data..."
// (arming a file that the next recording writes, with the three writing steps the recording
// calls), "Open Data..." and the page buttons "<<" and ">>" of a data file on screen. Dialogs and
// messages open over `window`.
class DataFileActions : public QObject {
    Q_OBJECT
public:
    // `settings` gives the program's settings in force (for the data folder).
    DataFileActions(QWidget* window, RecorderState& state, Screen& screen, RecordingSession& session,
                    MeasuringTools& measuring, std::function<const AppSettings&()> settings);

    void saveDataClick();
    void autoSaveClick();
    void openDataClick();
    void nextPageClick();
    void previousPageClick();

    // The auto-save steps of a recording: the header at the start, a line per sample, the trailer
    // at the stop.
    void writeAutoSaveHeader();
    void writeSampleLine(int position, double timeStep);
    void writeAutoSaveTrailer();

    // The armed auto-save file, from arming to the stop of the armed recording.
    std::shared_ptr<datafile::AutoSaveWriter> autoSaveFile;

private:
    // Draws (or, in the background colour, erases) both auto-save texts.
    void drawAutoSaveTexts(const QString& path, Colour colour);
    // The armed file is done with: its texts leave the screen and the other texts come back.
    void disarm(const QString& path);
    void autoSaveFailed();

    RecorderState& st;
    Screen& screen_;
    RecordingSession& session_;
    MeasuringTools& measuring_;
    QWidget* window_;
    std::function<const AppSettings&()> settings_;
};
