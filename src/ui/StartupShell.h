#pragma once

#include <QWidget>
#include <memory>

#include "recording/RecorderState.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

class QTimer;

// The start-up shell: the application's main window. It owns the settings file from start to
// end, restores the saved geometry and colours, probes for the recorder and hands the user over
// to the recorder window, hiding itself. Closing it writes the settings file and ends the program.
class StartupShell : public QWidget {
    Q_OBJECT
public:
    explicit StartupShell(RecorderState& state, QWidget* parent = nullptr);
    ~StartupShell() override;

    RecorderState& st;
    std::unique_ptr<SettingsFile> settingsFile;
    QTimer* handOverTimer = nullptr;  // one-shot hand-over timer

    // Path of a special folder: 28 = per-user local application data, 5 = documents.
    static QString GetSpecialFolderPath(int folder);

    void initialise();
    void handOver();
    void showRecorderWindow();
    bool canClose() { return true; }
    void finishClose();
    void coloursClick();

    // Takes the recorder window's geometry and closes: writes the settings file and ends the program.
    void closeFromRecorder(const QRect& recorderGeometry);

    // The bounds the shell holds (the recorder takes them over at the hand-over and gives them back at close).
    WindowBounds bounds;

    // Whether the program has ended (the shell closed).
    bool closed() const { return closed_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool closed_ = false;
};
