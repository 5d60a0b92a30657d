#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QToolButton;

// The column below the time base: "Time elapsed" with the elapsed time, the run status, the Run
// and Single buttons and the recorder's status text.
class RunControls : public QWidget {
    Q_OBJECT
public:
    // `width` is the room up to the window's right edge, which "KORVIX not connected" needs.
    RunControls(QWidget* parent, int width);

    QFrame* elapsedPanel() const { return elapsedPanel_; }
    QLabel* elapsedCaptionLabel() const { return elapsedCaptionLabel_; }
    QLabel* elapsedTimeLabel() const { return elapsedTimeLabel_; }
    QFrame* statusPanel() const { return statusPanel_; }
    QLabel* runStatusLabel() const { return runStatusLabel_; }
    QToolButton* runButton() const { return runButton_; }
    QToolButton* singleButton() const { return singleButton_; }
    QLabel* deviceStatusLabel() const { return deviceStatusLabel_; }

signals:
    void runClicked();
    void singleClicked();

private:
    QFrame* elapsedPanel_ = nullptr;
    QLabel* elapsedCaptionLabel_ = nullptr;
    QLabel* elapsedTimeLabel_ = nullptr;
    QFrame* statusPanel_ = nullptr;
    QLabel* runStatusLabel_ = nullptr;
    QToolButton* runButton_ = nullptr;
    QToolButton* singleButton_ = nullptr;
    QLabel* deviceStatusLabel_ = nullptr;
};
