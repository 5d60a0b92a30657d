#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "files/RecordingOverview.h"
#include "ui/RecorderState.h"

class QLabel;
class QProgressBar;
class QPushButton;

// The plot of the overview window: the four channels over the rows in view as min/max envelopes,
// each in a lane of its own and in its range, a time axis in clock time and in seconds below, and
// the page on the recorder screen as a band.
class OverviewPlot : public QWidget {
    Q_OBJECT
public:
    explicit OverviewPlot(QWidget* parent = nullptr);

    void setOverview(std::shared_ptr<const datafile::RecordingOverview> overview);
    void setColours(const ColourSet& colours)
    {
        colours_ = colours;
        update();
    }
    // The rows of the page on the recorder screen.
    void setBand(int64_t firstRow, int64_t lastRow);
    // The rows in view, held within the file and to at least one page.
    void setView(double first, double last);
    double viewFirst() const { return first_; }
    double viewLast() const { return last_; }
    int64_t rows() const;
    // Zooms by `factor` (< 1 in) about the row at x.
    void zoomAt(double x, double factor);
    void pan(double fraction);
    // The row under x.
    int64_t rowAt(double x) const;
    // The plot area (without the axis and the lane labels).
    QRect plotRect() const;

signals:
    // A click or drag asks for the page holding this row.
    void rowPicked(int64_t row);
    void pointerRow(int64_t row);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    double xOfRow(double row) const;

    std::shared_ptr<const datafile::RecordingOverview> overview_;
    ColourSet colours_{};
    double first_ = 0, last_ = 1;
    int64_t bandFirst_ = -1, bandLast_ = -1;
};

// "Recording Overview": the whole data file on view at a glance. It follows the page buttons of
// the recorder window and turns its pages through the same page routine.
class RecordingOverviewWindow : public QWidget {
    Q_OBJECT
public:
    explicit RecordingOverviewWindow(QWidget* parent = nullptr);

    // The plot of the overview, which the page routine keeps in step with the screen.
    OverviewPlot* plot() const { return plot_; }

    void setOverview(std::shared_ptr<const datafile::RecordingOverview> overview);
    void setBusy(bool busy, const QString& what = {});
    void setProgress(qint64 done, qint64 total);

    // Keys: Home/End, PgUp/PgDn pass to these; arrows pan and zoom the view.
    std::function<void(int64_t row)> pickRow;
    std::function<void(int step)> turnPage;  // -1 "<<", +1 ">>"
    std::function<void(bool last)> goToEnd;  // Home (false) / End (true)
    std::function<void()> cancel;

protected:
    void keyPressEvent(QKeyEvent*) override;

private:
    std::shared_ptr<const datafile::RecordingOverview> overview_;
    OverviewPlot* plot_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    QLabel* pointerLabel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};
