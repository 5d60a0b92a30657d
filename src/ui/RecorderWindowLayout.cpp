// The recorder window's controls: every control at its fixed place with its name as objectName,
// its caption and initial state; the main menu is the RecorderMenu's.

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolButton>

#include "ui/ChannelRangeRow.h"
#include "ui/DvmPanel.h"
#include "ui/RecorderMenu.h"
#include "ui/RecorderWindow.h"
#include "ui/RunControls.h"
#include "ui/ScreenWidgets.h"
#include "ui/TimeBaseGroup.h"
#include "ui/WidgetBuilders.h"

using namespace widgets;

namespace {

// The client area the controls are laid out on.
constexpr int ClientWidth = 755;
constexpr int ClientHeight = 532;

// Gives the central widget the designed client size, whatever height the menu bar takes.
void fitClientArea(QMainWindow* window)
{
    const int menuHeight = window->menuBar()->sizeHint().height();
    window->resize(ClientWidth, ClientHeight + menuHeight);
}

// The DVM panels in screenFrame_: CH1 and CH2 on the left, CH3 and CH4 on the right.
const std::array<QRect, ChannelCount> DvmGeometry = {QRect{0, 0, 295, 169}, QRect{0, 169, 295, 170},
                                                     QRect{295, 0, 294, 169}, QRect{295, 169, 294, 170}};

}  // namespace

void RecorderWindow::buildControls()
{
    setWindowTitle(QStringLiteral(" KORVIX Recorder / Logger"));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client);

    // ---- Screen area
    screenFrame_ = makePanel(client, QStringLiteral("screenFrame"), {4, 0, 593, 343}, QFrame::Box | QFrame::Plain);
    screenBezel_ = makePanel(screenFrame_, QStringLiteral("screenBezel"), {10, 10, 569, 301},
                             QFrame::StyledPanel | QFrame::Sunken);

    screenImage_ = new ScreenView(screenBitmap, screenBezel_);
    screenImage_->setObjectName(QStringLiteral("screenImage"));
    screenImage_->setGeometry(1, 1, 567, 299);

    // The overlay lies above screenImage_; disabled, it lets the mouse through to screenImage_.
    liveOverlay_ = new OverlayView(overlayBitmap, screenBezel_);
    liveOverlay_->setObjectName(QStringLiteral("liveOverlay"));
    liveOverlay_->setGeometry(1, 1, 567, 299);
    liveOverlay_->setOverlayEnabled(false);

    previousPageButton_ =
        makeButton(screenFrame_, QStringLiteral("previousPageButton"), QStringLiteral("<<"), {4, 316, 37, 17}, false);
    previousPageButton_->setEnabled(false);

    scrollBar_ = new QScrollBar(Qt::Horizontal, screenFrame_);
    scrollBar_->setObjectName(QStringLiteral("scrollBar"));
    scrollBar_->setGeometry(48, 316, 489, 17);
    scrollBar_->setRange(0, ScreenPositions);
    scrollBar_->setPageStep(0);
    scrollBar_->setValue(0);

    nextPageButton_ =
        makeButton(screenFrame_, QStringLiteral("nextPageButton"), QStringLiteral(">>"), {544, 316, 37, 17}, false);
    nextPageButton_->setEnabled(false);

    // The DVM panels cover the screen area when shown; built last in screenFrame_ so they lie on top.
    for (int ch = 0; ch < ChannelCount; ++ch)
        dvmPanels_[static_cast<size_t>(ch)] = new DvmPanel(ch, DvmGeometry[static_cast<size_t>(ch)], screenFrame_);

    // ---- Voltage range, channel labels and channel switches
    rangeGroupBox_ = new QGroupBox(QStringLiteral("Voltage Range"), client);
    rangeGroupBox_->setObjectName(QStringLiteral("rangeGroupBox"));
    rangeGroupBox_->setGeometry(4, 348, 589, 117);
    for (int ch = 0; ch < ChannelCount; ++ch)
        rangeRows_[static_cast<size_t>(ch)] = new ChannelRangeRow(ch, rangeGroupBox_);

    // ---- Time base
    timeBaseGroupBox_ = new TimeBaseGroup(client);

    // ---- Elapsed time, run status, Run and Single, device status
    runControls_ = new RunControls(client, ClientWidth - 604);

    menu_ = new RecorderMenu(this, st);
    fitClientArea(this);
    move(16, 30);
    fitClientArea(this);
}
