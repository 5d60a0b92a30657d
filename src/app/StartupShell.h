#pragma once

#include <QWidget>
#include <memory>

#include "ui/RecorderState.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

class QTimer;
class RecorderWindow;

// The start-up shell: the application's main window. It owns the settings file from start to
// end, restores the saved geometry and colours, probes for the recorder and hands the user over
// to the recorder window, hiding itself. Closing it writes the settings file and ends the program.
class StartupShell : public QWidget {
    Q_OBJECT
public:
    StartupShell(RecorderState& state, AppSettings& settings, QWidget* parent = nullptr);
    ~StartupShell() override;

    RecorderState& st;
    AppSettings& settings;
    std::unique_ptr<SettingsFile> settingsFile;

    void initialise();
    void handOver();
    void showRecorderWindow();
    bool canClose() { return true; }
    void finishClose();

    // Follows the recorder window: when it closes, the shell takes its geometry and closes too.
    void attach(RecorderWindow& recorder);
    // Takes the recorder window's geometry and closes: writes the settings file and ends the program.
    void closeFromRecorder(const QRect& recorderGeometry);

    // Whether the program has ended (the shell closed).
    bool closed() const { return closed_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QTimer* handOverTimer_ = nullptr;  // one-shot hand-over timer
    bool closed_ = false;
};
