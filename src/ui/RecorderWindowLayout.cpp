// The recorder window's controls and main menu: every control at its fixed place with its name
// as objectName, its caption and initial state, and the connection of its event to its handler.

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "ui/ChannelRangeRow.h"
#include "ui/DvmPanel.h"
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

// The DVM panels in screenFrame: CH1 and CH2 on the left, CH3 and CH4 on the right.
const std::array<QRect, ChannelCount> DvmGeometry = {QRect{0, 0, 295, 169}, QRect{0, 169, 295, 170},
                                                     QRect{295, 0, 294, 169}, QRect{295, 169, 294, 170}};

// ---- Menu
enum MenuIcon { IconOpen, IconPrint, IconSave, IconCopy, IconPaste, IconPrintSetup, IconExit, NoIcon };

QIcon menuIcon(MenuIcon icon)
{
    // Stand-ins from the platform style for the window's 16 x 16 menu images.
    static const std::array<QStyle::StandardPixmap, 7> pixmaps = {
        QStyle::SP_DialogOpenButton,       QStyle::SP_FileIcon,          QStyle::SP_DialogSaveButton,
        QStyle::SP_FileDialogContentsView, QStyle::SP_DialogApplyButton, QStyle::SP_FileDialogDetailedView,
        QStyle::SP_DialogCloseButton};
    return QApplication::style()->standardIcon(pixmaps[static_cast<size_t>(icon)]);
}

using Handler = void (RecorderWindow::*)();

struct SkinItem {
    const char* name;
    const char* caption;
    Handler handler;
};

const std::array<SkinItem, 8> SkinItems = {{
    {"skin1Action", "1: Dark gray ", &RecorderWindow::skin1Click},
    {"skin2Action", "2: Dark brown", &RecorderWindow::skin2Click},
    {"skin3Action", "3: Deep blue", &RecorderWindow::skin3Click},
    {"skin4Action", "4: Light gray", &RecorderWindow::skin4Click},
    {"skin5Action", "5: Gray white", &RecorderWindow::skin5Click},
    {"skin6Action", "6: Gray blue", &RecorderWindow::skin6Click},
    {"skin7Action", "7: Neutral", &RecorderWindow::skin7Click},
    {"skin8Action", "No Skin", &RecorderWindow::skin8Click},
}};

}  // namespace

void RecorderWindow::buildControls()
{
    setWindowTitle(QStringLiteral(" KORVIX Recorder / Logger"));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client);

    // ---- Screen area
    screenFrame = makePanel(client, QStringLiteral("screenFrame"), {4, 0, 593, 343}, QFrame::Box | QFrame::Plain);
    screenBezel =
        makePanel(screenFrame, QStringLiteral("screenBezel"), {10, 10, 569, 301}, QFrame::StyledPanel | QFrame::Sunken);

    screenImage = new ScreenView(image1Surface, screenBezel);
    screenImage->setObjectName(QStringLiteral("screenImage"));
    screenImage->setGeometry(1, 1, 567, 299);
    connect(screenImage, &ScreenView::mouseDown, this, &RecorderWindow::screenMouseDown);
    connect(screenImage, &ScreenView::mouseMove, this, &RecorderWindow::screenMouseMove);
    connect(screenImage, &ScreenView::mouseUp, this, &RecorderWindow::screenMouseUp);

    // The overlay lies above screenImage; disabled, it lets the mouse through to screenImage.
    liveOverlay = new OverlayView(paintBox1Surface, screenBezel);
    liveOverlay->setObjectName(QStringLiteral("liveOverlay"));
    liveOverlay->setGeometry(1, 1, 567, 299);
    liveOverlay->setOverlayEnabled(false);

    previousPageButton =
        makeButton(screenFrame, QStringLiteral("previousPageButton"), QStringLiteral("<<"), {4, 316, 37, 17}, false);
    previousPageButton->setEnabled(false);
    connect(previousPageButton, &QToolButton::clicked, this, &RecorderWindow::previousPageClick);

    scrollBar = new QScrollBar(Qt::Horizontal, screenFrame);
    scrollBar->setObjectName(QStringLiteral("scrollBar"));
    scrollBar->setGeometry(48, 316, 489, 17);
    scrollBar->setRange(0, ScreenPositions);
    scrollBar->setPageStep(0);
    scrollBar->setValue(0);
    connect(scrollBar, &QScrollBar::valueChanged, this, &RecorderWindow::scrollBarChange);

    nextPageButton =
        makeButton(screenFrame, QStringLiteral("nextPageButton"), QStringLiteral(">>"), {544, 316, 37, 17}, false);
    nextPageButton->setEnabled(false);
    connect(nextPageButton, &QToolButton::clicked, this, &RecorderWindow::nextPageClick);

    // The DVM panels cover the screen area when shown; built last in screenFrame so they lie on top.
    for (int ch = 0; ch < ChannelCount; ++ch)
        dvmPanels_[static_cast<size_t>(ch)] = new DvmPanel(ch, DvmGeometry[static_cast<size_t>(ch)], screenFrame);

    // ---- Voltage range, channel labels and channel switches
    rangeGroupBox = new QGroupBox(QStringLiteral("Voltage Range"), client);
    rangeGroupBox->setObjectName(QStringLiteral("rangeGroupBox"));
    rangeGroupBox->setGeometry(4, 348, 589, 117);
    for (int ch = 0; ch < ChannelCount; ++ch) {
        const size_t c = static_cast<size_t>(ch);
        auto* row = new ChannelRangeRow(ch, rangeGroupBox);
        rangeRows_[c] = row;
        channelLabels[c] = row->channelLabel();
        channelSwitch[c] = row->onSwitch();
        for (int i = 0; i < ChannelRangeRow::RangeCount; ++i)
            rangeButtons[c][static_cast<size_t>(i)] = row->rangeButton(i);
        connect(row, &ChannelRangeRow::switchClicked, this, [this, ch] { channelSwitchClick(ch); });
        connect(row, &ChannelRangeRow::rangeClicked, this, [this, ch](int i) { rangeButtonClick(ch, i); });
    }

    // ---- Time base
    timeBase_ = new TimeBaseGroup(client);
    timeBaseGroupBox = timeBase_;
    for (int i = 0; i < TimeBaseGroup::ButtonCount; ++i)
        timeButtons[static_cast<size_t>(i)] = timeBase_->button(i);
    connect(timeBase_, &TimeBaseGroup::timeClicked, this, &RecorderWindow::timeButtonClick);

    // ---- Elapsed time, run status, Run and Single, device status
    runControls_ = new RunControls(client, ClientWidth - 604);
    elapsedPanel = runControls_->elapsedPanel();
    elapsedTimeLabel = runControls_->elapsedTimeLabel();
    statusPanel = runControls_->statusPanel();
    runStatusLabel = runControls_->runStatusLabel();
    runButton = runControls_->runButton();
    singleButton = runControls_->singleButton();
    deviceStatusLabel = runControls_->deviceStatusLabel();
    connect(runControls_, &RunControls::runClicked, this, &RecorderWindow::runClick);
    connect(runControls_, &RunControls::singleClicked, this, &RecorderWindow::singleClick);

    // ---- Non-visual members

    buildMenu();
    move(16, 30);
    fitClientArea(this);
}

// Called by buildControls; a second call does nothing.
void RecorderWindow::buildMenu()
{
    if (fileMenu != nullptr)
        return;
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("mainMenu"));

    auto addMenu = [](QWidget* parent, const char* name, const QString& title) {
        auto* menu = new QMenu(title, parent);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    auto addItem = [this](QMenu* menu, const char* name, const QString& caption, MenuIcon icon, Handler handler) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        if (icon != NoIcon)
            action->setIcon(menuIcon(icon));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto addSeparator = [](QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(QLatin1String(name)); };

    // Qt writes "&&" for a literal "&" in a caption.
    fileMenu = addMenu(bar, "fileMenu", QStringLiteral("File"));
    bar->addMenu(fileMenu);
    connect(fileMenu, &QMenu::aboutToShow, this, &RecorderWindow::fileMenuShown);
    openImageAction = addItem(fileMenu, "openImageAction", QStringLiteral("Open Image..."), IconOpen,
                              &RecorderWindow::openImageClick);
    openDataAction =
        addItem(fileMenu, "openDataAction", QStringLiteral("Open Data..."), IconOpen, &RecorderWindow::openDataClick);
    addSeparator(fileMenu, "fileSeparator1");
    saveImageAction = addItem(fileMenu, "saveImageAction", QStringLiteral("Save Image..."), IconSave,
                              &RecorderWindow::saveImageClick);
    saveDataAction =
        addItem(fileMenu, "saveDataAction", QStringLiteral("Save Data..."), IconSave, &RecorderWindow::saveDataClick);
    autoSaveAction = addItem(fileMenu, "autoSaveAction", QStringLiteral("AutoSave Data..."), IconSave,
                             &RecorderWindow::autoSaveClick);
    addSeparator(fileMenu, "fileSeparator2");
    printAction = addItem(fileMenu, "printAction", QStringLiteral("Print..."), IconPrint, &RecorderWindow::printClick);
    printSetupAction = addItem(fileMenu, "printSetupAction", QStringLiteral("Print Setup..."), IconPrintSetup,
                               &RecorderWindow::printSetupClick);
    addSeparator(fileMenu, "fileSeparator3");
    exitAction = addItem(fileMenu, "exitAction", QStringLiteral("Exit"), IconExit, &RecorderWindow::exitClick);
    restoreDefaultsAction =
        addItem(fileMenu, "restoreDefaultsAction", QStringLiteral("Restore Default Settings && Exit"), NoIcon,
                &RecorderWindow::restoreDefaultsClick);

    editMenu = addMenu(bar, "editMenu", QStringLiteral("Edit"));
    bar->addMenu(editMenu);
    connect(editMenu, &QMenu::aboutToShow, this, &RecorderWindow::editMenuShown);
    copyAction = addItem(editMenu, "copyAction", QStringLiteral("Copy"), IconCopy, &RecorderWindow::copyClick);
    pasteAction = addItem(editMenu, "pasteAction", QStringLiteral("Paste"), IconPaste, &RecorderWindow::pasteClick);

    optionsMenu = addMenu(bar, "optionsMenu", QStringLiteral("Options"));
    bar->addMenu(optionsMenu);
    coloursAction =
        addItem(optionsMenu, "coloursAction", QStringLiteral("Colors..."), NoIcon, &RecorderWindow::coloursClick);
    calibrateAction =
        addItem(optionsMenu, "calibrateAction", QStringLiteral("Calibrate"), NoIcon, &RecorderWindow::calibrateClick);
    skinsMenu = addMenu(optionsMenu, "skinsMenu", QStringLiteral("Skins..."));
    optionsMenu->addMenu(skinsMenu);

    // The skin and view ticks belong to their handlers: Qt toggles a checkable action's tick before
    // `triggered` fires, so the handlers read isChecked() afterwards and set the ticks they want.
    for (size_t i = 0; i < SkinItems.size(); ++i) {
        skinItems[i] =
            addItem(skinsMenu, SkinItems[i].name, QLatin1String(SkinItems[i].caption), NoIcon, SkinItems[i].handler);
        skinItems[i]->setCheckable(true);
    }

    viewMenu = addMenu(bar, "viewMenu", QStringLiteral("View"));
    bar->addMenu(viewMenu);
    markersTimeAction = addItem(viewMenu, "markersTimeAction", QStringLiteral("Markers  dV && t"), NoIcon,
                                &RecorderWindow::markersTimeClick);
    markersDeltaTimeAction = addItem(viewMenu, "markersDeltaTimeAction", QStringLiteral("Markers  dV && dt"), NoIcon,
                                     &RecorderWindow::markersDeltaTimeClick);
    addSeparator(viewMenu, "viewSeparator1");
    dvmDisplayAction =
        addItem(viewMenu, "dvmDisplayAction", QStringLiteral("DVM Display"), NoIcon, &RecorderWindow::dvmDisplayClick);
    addSeparator(viewMenu, "viewSeparator2");
    brightGridAction =
        addItem(viewMenu, "brightGridAction", QStringLiteral("Bright Grid"), NoIcon, &RecorderWindow::brightGridClick);
    for (QAction* action : {markersTimeAction, markersDeltaTimeAction, dvmDisplayAction, brightGridAction}) {
        action->setCheckable(true);
        action->setChecked(false);
    }

    helpMenu = addMenu(bar, "helpMenu", QStringLiteral("&Help"));
    bar->addMenu(helpMenu);
    helpContentsAction =
        addItem(helpMenu, "helpContentsAction", QStringLiteral("Contents"), NoIcon, &RecorderWindow::helpContentsClick);
    addSeparator(helpMenu, "helpSeparator1");
    aboutAction = addItem(helpMenu, "aboutAction", QStringLiteral("About..."), NoIcon, &RecorderWindow::aboutClick);

    fitClientArea(this);
}
