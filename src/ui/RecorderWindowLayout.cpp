// The recorder window's controls and main menu: every control at its fixed place with its name
// as objectName, its caption and initial state, and the connection of its event to its handler.

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "ui/DvmHoldLabel.h"
#include "ui/SevenSegmentDigit.h"
#include "ui/ScreenWidgets.h"
#include "ui/RecorderWindow.h"

namespace {

// The client area the controls are laid out on.
constexpr int ClientWidth = 755;
constexpr int ClientHeight = 532;

// Colours with red in the low byte.
constexpr Colour GreyColour = 0x808080;
constexpr Colour NavyColour = 0x800000;
constexpr Colour WhiteColour = 0xFFFFFF;
constexpr Colour YellowColour = 0x00FFFF;

QColor qColour(Colour colour)
{
    return SevenSegmentDigit::toQColor(colour);
}

void setBackground(QWidget* w, const QColor& colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

void setTextColour(QWidget* w, const QColor& colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, colour);
    w->setPalette(pal);
}

void setBold(QWidget* w, int pointSize = 0)
{
    QFont f = w->font();
    f.setBold(true);
    if (pointSize > 0)
        f.setPointSize(pointSize);
    w->setFont(f);
}

QFrame* makePanel(QWidget* parent, const QString& name, const QRect& geometry, int frameStyle)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(frameStyle);
    panel->setLineWidth(1);
    panel->setGeometry(geometry);
    return panel;
}

// A filled rectangle without a border: the sign bars and decimal points of the DVM.
QFrame* makeBox(QWidget* parent, const QString& name, const QRect& geometry, const QColor& colour)
{
    QFrame* box = makePanel(parent, name, geometry, QFrame::NoFrame);
    setBackground(box, colour);
    return box;
}

// Labels do not grow with their text in a parent without a layout, so each gets the width that
// the longest text it will show needs (or the room up to its parent's edge).
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y, int width)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(x, y, width, label->sizeHint().height());
    return label;
}

QToolButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry,
                        bool checkable)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setCheckable(checkable);
    button->setGeometry(geometry);
    return button;
}

QCheckBox* makeCheckBox(QWidget* parent, const QString& name, const QString& caption, int x, int y)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->move(x, y);
    box->adjustSize();
    return box;
}

// Gives the central widget the designed client size, whatever height the menu bar takes.
void fitClientArea(QMainWindow* window)
{
    const int menuHeight = window->menuBar()->sizeHint().height();
    window->resize(ClientWidth, ClientHeight + menuHeight);
}

// ---- The DVM panels, CH1..CH4
struct DvmNames {
    const char* panel;
    const char* display;
    QRect geometry;  // in screenFrame
    const char* minusBar;
    const char* plusBar;
    const char* maxBox;
    const char* minBox;
    const char* maxLabel;
    const char* minLabel;
};

const std::array<DvmNames, ChannelCount> DvmTable = {{
    {"dvmPanel1",
     "dvmDisplay1",
     {0, 0, 295, 169},
     "dvmMinusBar1",
     "dvmPlusBar1",
     "dvmMaxBox1",
     "dvmMinBox1",
     "dvmMaxLabel1",
     "dvmMinLabel1"},
    {"dvmPanel2",
     "dvmDisplay2",
     {0, 169, 295, 170},
     "dvmMinusBar2",
     "dvmPlusBar2",
     "dvmMaxBox2",
     "dvmMinBox2",
     "dvmMaxLabel2",
     "dvmMinLabel2"},
    {"dvmPanel3",
     "dvmDisplay3",
     {295, 0, 294, 169},
     "dvmMinusBar3",
     "dvmPlusBar3",
     "dvmMaxBox3",
     "dvmMinBox3",
     "dvmMaxLabel3",
     "dvmMinLabel3"},
    {"dvmPanel4",
     "dvmDisplay4",
     {295, 169, 294, 170},
     "dvmMinusBar4",
     "dvmPlusBar4",
     "dvmMaxBox4",
     "dvmMinBox4",
     "dvmMaxLabel4",
     "dvmMinLabel4"},
}};

constexpr std::array<int, 4> DigitX = {36, 75, 114, 153};
constexpr std::array<int, 3> PointX = {71, 110, 149};

// ---- Voltage range controls
// Name tokens and captions of the range buttons, in rangeButtons order.
const std::array<const char*, 6> RangeTokens = {"20", "8", "4", "2", "08", "04"};
const std::array<const char*, 6> RangeCaptions = {"±20V", "±8V", "±4V", "±2V", "±0.8V", "±0.4V"};  // UTF-8

// CH1 and CH2 sit in the left half of rangeGroupBox, CH3 and CH4 in the right half, 292 pixels on;
// CH2 and CH4 one row (48 pixels) below CH1 and CH3.
int channelColumnX(int channel)
{
    return channel / 2 * 292;
}
int channelRowY(int channel)
{
    return channel % 2 * 48;
}

// ---- Time base
// Name tokens and captions of the time buttons, in timeButtons order; two per row, left column first.
const std::array<const char*, 13> TimeTokens = {"1000s", "500s", "200s", "100s", "50s", "20s", "10s",
                                                "5s",    "2s",   "1s",   "05s",  "02s", "01s"};
const std::array<const char*, 13> TimeCaptions = {"1000s", "500s", "200s", "100s", "50s",  "20s", "10s",
                                                  "5s",    "2s",   "1s",   "0.5s", "0.2s", "0.1s"};
constexpr int InitialTimeButton = 9;  // "1s"

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
        buildDvmPanel(ch, screenFrame);

    // ---- Voltage range, channel labels and channel switches
    rangeGroupBox = new QGroupBox(QStringLiteral("Voltage Range"), client);
    rangeGroupBox->setObjectName(QStringLiteral("rangeGroupBox"));
    rangeGroupBox->setGeometry(4, 348, 589, 117);

    const std::array<Handler, ChannelCount> switchHandlers = {
        &RecorderWindow::channel1SwitchClick, &RecorderWindow::channel2SwitchClick,
        &RecorderWindow::channel3SwitchClick, &RecorderWindow::channel4SwitchClick};
    for (int ch = 0; ch < ChannelCount; ++ch) {
        const size_t c = static_cast<size_t>(ch);
        const int dx = channelColumnX(ch);
        const int dy = channelRowY(ch);
        const QString chNumber = QString::number(ch + 1);

        QFrame* labelPanel = makePanel(rangeGroupBox, QStringLiteral("channelLabelPanel%1").arg(ch + 1),
                                       {8 + dx, 20 + dy, 33, 25}, QFrame::StyledPanel | QFrame::Raised);
        setBackground(labelPanel, qColour(GreyColour));
        channelPanels[c] = labelPanel;
        // The label's text colour follows the channel colour; the colour handlers set it.
        QLabel* label =
            makeLabel(labelPanel, QStringLiteral("channelLabel") + chNumber, QStringLiteral("CH") + chNumber, 0, 0, 33);
        label->setGeometry(0, 0, 33, 25);
        label->setAlignment(Qt::AlignCenter);
        setBold(label);
        channelLabels[c] = label;

        QCheckBox* onBox = makeCheckBox(rangeGroupBox, QStringLiteral("channel%1Switch").arg(ch + 1),
                                        QStringLiteral("ON"), 5 + dx, 44 + dy);
        onBox->resize(44, 19);
        onBox->setChecked(true);
        connect(onBox, &QCheckBox::clicked, this, switchHandlers[c]);
        channelSwitch[c] = onBox;

        // Each channel has a group of its own, so the channels never release each other's buttons.
        auto* group = new QButtonGroup(rangeGroupBox);
        group->setObjectName(QStringLiteral("rangeGroupChannel") + chNumber);
        group->setExclusive(true);
        rangeGroups[c] = group;
        for (int i = 0; i < 6; ++i) {
            const size_t r = static_cast<size_t>(i);
            const QString name = QStringLiteral("range") + QLatin1String(RangeTokens[r]) + QStringLiteral("VCh") +
                                 chNumber + QStringLiteral("Button");
            QToolButton* button = makeButton(rangeGroupBox, name, QString::fromUtf8(RangeCaptions[r]),
                                             {48 + dx + 40 * i, 20 + dy, 37, 25}, true);
            group->addButton(button, i);
            connect(button, &QToolButton::clicked, this, [this, ch, i] { rangeButtonClick(ch, i); });
            rangeButtons[c][r] = button;
        }
        rangeButtons[c][0]->setChecked(true);
    }

    // ---- Time base
    timeBaseGroupBox = new QGroupBox(QStringLiteral("Time/Div."), client);
    timeBaseGroupBox->setObjectName(QStringLiteral("timeBaseGroupBox"));
    timeBaseGroupBox->setGeometry(604, 0, 125, 253);
    timeGroup = new QButtonGroup(timeBaseGroupBox);
    timeGroup->setObjectName(QStringLiteral("timeBaseGroup"));
    timeGroup->setExclusive(true);
    for (int i = 0; i < static_cast<int>(timeButtons.size()); ++i) {
        const size_t t = static_cast<size_t>(i);
        const QRect geometry(8 + (i % 2) * 60, 20 + (i / 2) * 32, 49, 25);
        QToolButton* button = makeButton(
            timeBaseGroupBox, QStringLiteral("timeBase") + QLatin1String(TimeTokens[t]) + QStringLiteral("Button"),
            QLatin1String(TimeCaptions[t]), geometry, true);
        timeGroup->addButton(button, i);
        connect(button, &QToolButton::clicked, this, [this, i] { timeButtonClick(i); });
        timeButtons[t] = button;
    }
    timeButtons[InitialTimeButton]->setChecked(true);

    // ---- Elapsed time, run status, Run and Single, device status
    elapsedPanel =
        makePanel(client, QStringLiteral("elapsedPanel"), {604, 264, 125, 41}, QFrame::StyledPanel | QFrame::Sunken);
    elapsedCaptionLabel =
        makeLabel(elapsedPanel, QStringLiteral("elapsedCaptionLabel"), QStringLiteral("Time elapsed"), 8, 4, 115);
    elapsedTimeLabel =
        makeLabel(elapsedPanel, QStringLiteral("elapsedTimeLabel"), QStringLiteral("0:00:00"), 8, 24, 115);

    statusPanel =
        makePanel(client, QStringLiteral("statusPanel"), {604, 316, 125, 25}, QFrame::StyledPanel | QFrame::Sunken);
    runStatusLabel = makeLabel(statusPanel, QStringLiteral("runStatusLabel"), QStringLiteral("Ready"), 0, 0, 125);
    runStatusLabel->setGeometry(2, 2, 121, 21);
    runStatusLabel->setAlignment(Qt::AlignCenter);
    setBold(runStatusLabel);

    runButton = makeButton(client, QStringLiteral("runButton"), QStringLiteral("Run"), {604, 356, 125, 29}, true);
    setBold(runButton);
    connect(runButton, &QToolButton::clicked, this, &RecorderWindow::runClick);
    singleButton =
        makeButton(client, QStringLiteral("singleButton"), QStringLiteral("Single"), {604, 396, 125, 29}, true);
    connect(singleButton, &QToolButton::clicked, this, &RecorderWindow::singleClick);

    // Room up to the window's right edge for "KORVIX not connected".
    deviceStatusLabel =
        makeLabel(client, QStringLiteral("deviceStatusLabel"), QStringLiteral("- - -"), 604, 448, ClientWidth - 604);

    // ---- Non-visual members
    deviceLoopTimer = new QTimer(this);
    deviceLoopTimer->setObjectName(QStringLiteral("deviceLoopTimer"));
    deviceLoopTimer->setInterval(1000);
    connect(deviceLoopTimer, &QTimer::timeout, this, &RecorderWindow::runDeviceLoop);

    buildMenu();
    move(16, 30);
    fitClientArea(this);
}

void RecorderWindow::buildDvmPanel(int channel, QFrame* parent)
{
    const size_t c = static_cast<size_t>(channel);
    const DvmNames& names = DvmTable[c];
    DvmPanel& d = dvm[c];

    d.panel = makePanel(parent, QLatin1String(names.panel), names.geometry, QFrame::StyledPanel | QFrame::Raised);
    d.panel->setAutoFillBackground(true);  // covers the screen below it
    d.panel->hide();

    d.channelLabel = makeLabel(d.panel, QStringLiteral("dvmChannelLabel%1").arg(channel + 1),
                               QStringLiteral("CH%1").arg(channel + 1), 134, 4, 40);
    setBold(d.channelLabel);

    d.display =
        makePanel(d.panel, QLatin1String(names.display), {16, 24, 257, 85}, QFrame::StyledPanel | QFrame::Sunken);
    setBackground(d.display, qColour(NavyColour));

    for (size_t i = 0; i < d.digits.size(); ++i) {
        auto* digit = new SevenSegmentDigit(d.display);
        digit->setObjectName(QStringLiteral("dvmDigit%1_%2").arg(channel + 1).arg(i + 1));
        digit->setGeometry(DigitX[i], 14, 35, 55);
        digit->setBackColor(NavyColour);
        digit->setDispColor(WhiteColour);
        digit->setDispOffColor(NavyColour);
        d.digits[i] = digit;
    }

    d.minusBar = makeBox(d.display, QLatin1String(names.minusBar), {8, 40, 21, 5}, qColour(WhiteColour));
    d.plusBar = makeBox(d.display, QLatin1String(names.plusBar), {16, 32, 5, 21}, qColour(WhiteColour));
    for (size_t i = 0; i < d.points.size(); ++i) {
        // Only the middle point shows at first; the outer two are the yellow points of other ranges.
        const bool middle = i == 1;
        d.points[i] = makeBox(d.display, QStringLiteral("dvmPoint%1_%2").arg(channel + 1).arg(i + 1),
                              {PointX[i], 62, 5, 5}, qColour(middle ? WhiteColour : YellowColour));
        d.points[i]->setVisible(middle);
    }

    // The "V" and "DC" labels of CH1..CH4.
    d.dcLabel =
        makeLabel(d.display, QStringLiteral("dvmDcLabel%1").arg(channel + 1), QStringLiteral("DC"), 199, 12, 40);
    setTextColour(d.dcLabel, qColour(WhiteColour));
    d.voltLabel =
        makeLabel(d.display, QStringLiteral("dvmVoltLabel%1").arg(channel + 1), QStringLiteral("V"), 200, 37, 40);
    setBold(d.voltLabel, 24);
    d.voltLabel->resize(40, d.voltLabel->sizeHint().height());
    setTextColour(d.voltLabel, qColour(WhiteColour));

    d.maxBox = makeCheckBox(d.panel, QLatin1String(names.maxBox), QStringLiteral("Max"), 24, 118);
    d.minBox = makeCheckBox(d.panel, QLatin1String(names.minBox), QStringLiteral("Min"), 24, 138);
    // The hold labels reach to the panel's inner edge: the time and date of an extreme need the room.
    const auto makeHoldLabel = [&d](const char* name, int y) {
        auto* label = new DvmHoldLabel(QStringLiteral("- - -"), d.panel);
        label->setObjectName(QLatin1String(name));
        const int x = 76;
        label->setGeometry(x, y, d.panel->contentsRect().right() + 1 - x, label->sizeHint().height());
        return label;
    };
    d.maxLabel = makeHoldLabel(names.maxLabel, 120);
    d.minLabel = makeHoldLabel(names.minLabel, 140);
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
    addSeparator(helpMenu, "About1");
    aboutAction = addItem(helpMenu, "aboutAction", QStringLiteral("About..."), NoIcon, &RecorderWindow::aboutClick);

    fitClientArea(this);
}
