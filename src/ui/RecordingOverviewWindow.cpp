#include "ui/RecordingOverviewWindow.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "device/Commands.h"
#include "files/DataFilePaging.h"
#include "files/RecordingTime.h"

namespace {

constexpr int LabelWidth = 64;  // lane labels at the left
constexpr int AxisHeight = 34;  // two rows of axis texts at the bottom

QColor qColourOf(Colour colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// A tick spacing in milliseconds that puts ticks at least `minMs` apart.
int64_t tickSpacing(double minMs)
{
    static constexpr int64_t Steps[] = {1,        2,        5,        10,        20,       50,      100,     200,
                                        500,      1000,     2000,     5000,      10000,    15000,   30000,   60000,
                                        120000,   300000,   600000,   900000,    1800000,  3600000, 7200000, 10800000,
                                        21600000, 43200000, 86400000, 172800000, 604800000};
    for (const int64_t s : Steps)
        if (static_cast<double>(s) >= minMs)
            return s;
    return Steps[std::size(Steps) - 1];
}

QString rangeLabel(const datafile::RecordingOverview& o, int c)
{
    const int index = o.header().header.rangeIndex[static_cast<size_t>(c)];
    return QStringLiteral("CH%1 %2").arg(c + 1).arg(
        index >= 0 ? QString::fromUtf8(Ranges[static_cast<size_t>(index)].label) : QString());
}

}  // namespace

OverviewPlot::OverviewPlot(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("overviewPlot"));
    setMinimumSize(480, 260);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    colours_ = {0x000000, 0x00FF00, 0x00FFFF, 0xFFFF00, 0xFF00FF, 0x404040, 0x808080, 0xFFFFFF};
}

void OverviewPlot::setOverview(std::shared_ptr<const datafile::RecordingOverview> overview)
{
    const bool first = overview_ == nullptr || overview == nullptr || overview_->path() != overview->path();
    const double oldRows = static_cast<double>(rows());
    const bool wholeView = first || (first_ <= 0 && last_ >= oldRows);
    overview_ = std::move(overview);
    if (wholeView)
        setView(0, static_cast<double>(rows()));
    else
        setView(first_, last_);
}

int64_t OverviewPlot::rows() const
{
    return overview_ ? std::max<int64_t>(overview_->rowsWithSamples(), 1) : 1;
}

void OverviewPlot::setBand(int64_t firstRow, int64_t lastRow)
{
    bandFirst_ = firstRow;
    bandLast_ = lastRow;
    // The band stays in view.
    const double span = last_ - first_;
    if (static_cast<double>(lastRow) < first_ || static_cast<double>(firstRow) > last_) {
        const double centre = (static_cast<double>(firstRow) + static_cast<double>(lastRow)) / 2;
        setView(centre - span / 2, centre + span / 2);
        return;
    }
    update();
}

void OverviewPlot::setView(double first, double last)
{
    const double total = static_cast<double>(rows());
    double span = std::clamp(last - first, std::min<double>(datafile::PageRows, total), total);
    first = std::clamp(first, 0.0, total - span);
    first_ = first;
    last_ = first + span;
    update();
}

void OverviewPlot::zoomAt(double x, double factor)
{
    const QRect r = plotRect();
    const double fraction = std::clamp((x - r.left()) / std::max(1, r.width()), 0.0, 1.0);
    const double anchor = first_ + fraction * (last_ - first_);
    const double span = (last_ - first_) * factor;
    setView(anchor - fraction * span, anchor - fraction * span + span);
}

void OverviewPlot::pan(double fraction)
{
    const double shift = (last_ - first_) * fraction;
    setView(first_ + shift, last_ + shift);
}

QRect OverviewPlot::plotRect() const
{
    return QRect(LabelWidth, 4, std::max(1, width() - LabelWidth - 8), std::max(1, height() - AxisHeight - 8));
}

double OverviewPlot::xOfRow(double row) const
{
    const QRect r = plotRect();
    return r.left() + (row - first_) / (last_ - first_) * r.width();
}

int64_t OverviewPlot::rowAt(double x) const
{
    const QRect r = plotRect();
    const double row = first_ + (x - r.left()) / std::max(1, r.width()) * (last_ - first_);
    return std::clamp<int64_t>(static_cast<int64_t>(std::floor(row)), 0, rows() - 1);
}

void OverviewPlot::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QColor background = qColourOf(colours_[Background]);
    const QColor grid = qColourOf(colours_[Dark_Grid]);
    const QColor text = palette().color(QPalette::WindowText);
    p.fillRect(rect(), palette().color(QPalette::Window));
    const QRect r = plotRect();
    p.fillRect(r, background);
    if (!overview_)
        return;
    const datafile::RecordingOverview& o = *overview_;
    const int laneHeight = r.height() / 4;

    // The page on the recorder screen.
    if (bandFirst_ >= 0) {
        const double x0 = std::max<double>(xOfRow(static_cast<double>(bandFirst_)), r.left());
        const double x1 = std::min<double>(xOfRow(static_cast<double>(bandLast_ + 1)), r.right());
        if (x1 >= r.left() && x0 <= r.right()) {
            // At least three pixels wide, so that the page stays visible over a whole day.
            const QColor edge = qColourOf(colours_[Time_Marker]);
            QColor band = edge;
            band.setAlpha(70);
            const QRectF area(x0, r.top(), std::max(3.0, x1 - x0), r.height());
            p.fillRect(area, band);
            p.setPen(edge);
            p.drawLine(area.topLeft(), area.bottomLeft());
            p.drawLine(area.topRight(), area.bottomRight());
        }
    }

    for (int c = 0; c < 4; ++c) {
        const int top = r.top() + c * laneHeight;
        p.setPen(grid);
        p.drawLine(r.left(), top + laneHeight / 2, r.right(), top + laneHeight / 2);
        if (c > 0)
            p.drawLine(r.left(), top, r.right(), top);
        p.setPen(text);
        p.drawText(QRect(2, top, LabelWidth - 4, laneHeight), Qt::AlignVCenter | Qt::AlignLeft, rangeLabel(o, c));
    }
    // One column per pixel: the envelope of the rows under it.
    const double rowsPerPixel = (last_ - first_) / r.width();
    for (int c = 0; c < 4; ++c) {
        const int top = r.top() + c * laneHeight;
        p.setPen(qColourOf(colours_[Ch1 + c]));
        for (int x = 0; x < r.width(); ++x) {
            const auto a = static_cast<int64_t>(std::floor(first_ + x * rowsPerPixel));
            const auto b = std::max(a + 1, static_cast<int64_t>(std::floor(first_ + (x + 1) * rowsPerPixel)));
            const auto e = o.envelope(a, b);
            if (e.empty())
                continue;
            const auto yOf = [&](uint16_t v) { return top + laneHeight - 1 - (v * (laneHeight - 2)) / 1023; };
            p.drawLine(r.left() + x, yOf(e.min[static_cast<size_t>(c)]), r.left() + x,
                       yOf(e.max[static_cast<size_t>(c)]));
        }
    }

    // The time axis: clock time above, seconds below.
    const int64_t step = std::max<int64_t>(o.header().stepMs, 1);
    const double msPerPixel = rowsPerPixel * static_cast<double>(step);
    const int64_t spacing = tickSpacing(msPerPixel * 110);
    const auto firstMs = static_cast<int64_t>(first_ * static_cast<double>(step));
    const auto lastMs = static_cast<int64_t>(last_ * static_cast<double>(step));
    p.setPen(text);
    for (int64_t t = (firstMs + spacing - 1) / spacing * spacing; t <= lastMs; t += spacing) {
        const double x = xOfRow(static_cast<double>(t) / static_cast<double>(step));
        p.setPen(grid);
        p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
        p.setPen(text);
        p.drawLine(QPointF(x, r.bottom()), QPointF(x, r.bottom() + 3));
        QString clock;
        if (o.header().start)
            clock = o.header().start->addMSecs(t).toString(spacing % 1000 ? QStringLiteral("HH:mm:ss.zzz")
                                                                          : QStringLiteral("HH:mm:ss"));
        const QString seconds =
            QString::number(static_cast<double>(t) / 1000.0, 'f', spacing % 1000 ? 3 : 0) + QStringLiteral(" s");
        p.drawText(QRectF(x - 60, r.bottom() + 3, 120, 14), Qt::AlignHCenter | Qt::AlignTop, clock);
        p.drawText(QRectF(x - 60, r.bottom() + 17, 120, 14), Qt::AlignHCenter | Qt::AlignTop, seconds);
    }
}

void OverviewPlot::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && overview_)
        emit rowPicked(rowAt(event->position().x()));
}

void OverviewPlot::mouseMoveEvent(QMouseEvent* event)
{
    if (!overview_)
        return;
    const int64_t row = rowAt(event->position().x());
    emit pointerRow(row);
    if (event->buttons() & Qt::LeftButton)
        emit rowPicked(row);
}

void OverviewPlot::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return;
    zoomAt(event->position().x(), std::pow(0.8, delta / 120.0));
    event->accept();
}

void OverviewPlot::resizeEvent(QResizeEvent*)
{
    update();
}

RecordingOverviewWindow::RecordingOverviewWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("RecordingOverviewWindow"));
    setWindowTitle(QStringLiteral("Recording Overview"));
    auto* layout = new QVBoxLayout(this);
    titleLabel_ = new QLabel(this);
    titleLabel_->setObjectName(QStringLiteral("titleLabel"));
    layout->addWidget(titleLabel_);
    plot_ = new OverviewPlot(this);
    layout->addWidget(plot_, 1);
    auto* bottom = new QHBoxLayout;
    pointerLabel_ = new QLabel(this);
    pointerLabel_->setObjectName(QStringLiteral("pointerLabel"));
    bottom->addWidget(pointerLabel_, 1);
    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setRange(0, 1000);
    bottom->addWidget(progressBar_);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    bottom->addWidget(cancelButton_);
    layout->addLayout(bottom);
    setBusy(false);
    setFocusPolicy(Qt::StrongFocus);
    resize(900, 420);

    connect(cancelButton_, &QPushButton::clicked, this, [this] {
        if (cancel)
            cancel();
    });
    connect(plot_, &OverviewPlot::rowPicked, this, [this](int64_t row) {
        if (pickRow)
            pickRow(row);
    });
    connect(plot_, &OverviewPlot::pointerRow, this, [this](int64_t row) {
        if (!overview_)
            return;
        const int64_t ms = row * overview_->header().stepMs;
        QString text =
            datafile::elapsedText(ms) + QStringLiteral("  (%1 s)").arg(static_cast<double>(ms) / 1000.0, 0, 'f', 3);
        if (overview_->header().start)
            text = overview_->header().start->addMSecs(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz  ")) + text;
        pointerLabel_->setText(text);
    });
}

void RecordingOverviewWindow::setOverview(std::shared_ptr<const datafile::RecordingOverview> overview)
{
    overview_ = overview;
    if (overview_) {
        const auto& h = overview_->header();
        const int64_t ms = overview_->rowsWithSamples() * h.stepMs;
        QString text = QFileInfo(overview_->path()).fileName();
        if (h.start)
            text += QStringLiteral("   START %1").arg(h.start->toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        text += QStringLiteral("   %1 samples, %2").arg(overview_->sampleLines()).arg(datafile::elapsedText(ms));
        if (overview_->damagedLines() > 0)
            text += QStringLiteral(", %1 damaged lines skipped").arg(overview_->damagedLines());
        titleLabel_->setText(text);
    } else {
        titleLabel_->clear();
    }
    plot_->setOverview(std::move(overview));
}

void RecordingOverviewWindow::setBusy(bool busy, const QString& what)
{
    progressBar_->setVisible(busy);
    cancelButton_->setVisible(busy);
    progressBar_->setValue(0);
    // The line below the plot says what is being read, and nothing once it is done.
    pointerLabel_->setText(busy ? what : QString());
}

void RecordingOverviewWindow::setProgress(qint64 done, qint64 total)
{
    progressBar_->setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
}

void RecordingOverviewWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
        case Qt::Key_Home:
        case Qt::Key_End:
            if (goToEnd)
                goToEnd(event->key() == Qt::Key_End);
            return;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (turnPage)
                turnPage(event->key() == Qt::Key_PageUp ? -1 : 1);
            return;
        case Qt::Key_Left:
        case Qt::Key_Right:
            plot_->pan(event->key() == Qt::Key_Left ? -0.1 : 0.1);
            return;
        case Qt::Key_Up:
        case Qt::Key_Plus:
            plot_->zoomAt(plot_->plotRect().center().x(), 0.5);
            return;
        case Qt::Key_Down:
        case Qt::Key_Minus:
            plot_->zoomAt(plot_->plotRect().center().x(), 2.0);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}
