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

#include "display/DvmHoldLabel.h"
#include "display/M7SegDis.h"
#include "display/ScreenWidgets.h"
#include "shell/Winrecx.h"

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
    return M7SegDisp::toQColor(colour);
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
    QRect geometry;             // in Panel3
    std::array<int, 4> digits;  // M7SegDisp numbers, left to right
    const char* minusBar;
    const char* plusBar;
    std::array<int, 3> points;  // Shape numbers of the decimal points at x = 71, 110, 149
    const char* maxBox;
    const char* minBox;
    const char* maxLabel;
    const char* minLabel;
};

const std::array<DvmNames, ChannelCount> DvmTable = {{
    {"Panel8",
     "Panel9",
     {0, 0, 295, 169},
     {1, 2, 3, 4},
     "Shape13",
     "Shape14",
     {1, 2, 3},
     "CheckBox1",
     "CheckBox2",
     "Label8",
     "Label9"},
    {"Panel11",
     "Panel12",
     {0, 169, 295, 170},
     {8, 7, 6, 5},
     "Shape18",
     "Shape17",
     {4, 5, 6},
     "CheckBox3",
     "CheckBox4",
     "Label11",
     "Label10"},
    {"Panel13",
     "Panel14",
     {295, 0, 294, 169},
     {12, 11, 10, 9},
     "Shape16",
     "Shape15",
     {7, 8, 9},
     "CheckBox5",
     "CheckBox6",
     "Label18",
     "Label17"},
    {"Panel15",
     "Panel16",
     {295, 169, 294, 170},
     {16, 15, 14, 13},
     "Shape20",
     "Shape19",
     {10, 11, 12},
     "CheckBox7",
     "CheckBox8",
     "Label23",
     "Label22"},
}};

constexpr std::array<int, 4> DigitX = {36, 75, 114, 153};
constexpr std::array<int, 3> PointX = {71, 110, 149};

// ---- Voltage range controls
// Name tokens and captions of the range buttons, in rangeButtons order.
const std::array<const char*, 6> RangeTokens = {"20", "8", "4", "2", "08", "04"};
const std::array<const char*, 6> RangeCaptions = {"±20V", "±8V", "±4V", "±2V", "±0.8V", "±0.4V"};  // UTF-8

// CH1 and CH2 sit in the left half of GroupBox1, CH3 and CH4 in the right half, 292 pixels on;
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

using Handler = void (TForm1_rec::*)();

struct SkinItem {
    const char* name;
    const char* caption;
    Handler handler;
};

const std::array<SkinItem, 8> SkinItems = {{
    {"Skin11", "1: Dark gray ", &TForm1_rec::Skin11Click},
    {"Skin21", "2: Dark brown", &TForm1_rec::Skin21Click},
    {"Skin31", "3: Deep blue", &TForm1_rec::Skin31Click},
    {"Skin41", "4: Light gray", &TForm1_rec::Skin41Click},
    {"Skin51", "5: Gray white", &TForm1_rec::Skin51Click},
    {"Skin61", "6: Gray blue", &TForm1_rec::Skin61Click},
    {"Skin71", "7: Neutral", &TForm1_rec::Skin71Click},
    {"Skin81", "No Skin", &TForm1_rec::Skin81Click},
}};

}  // namespace

void TForm1_rec::buildControls()
{
    setWindowTitle(QStringLiteral(" KORVIX Recorder / Logger"));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);

    // ---- Screen area
    Panel3 = makePanel(client, QStringLiteral("Panel3"), {4, 0, 593, 343}, QFrame::Box | QFrame::Plain);
    Panel10 = makePanel(Panel3, QStringLiteral("Panel10"), {10, 10, 569, 301}, QFrame::StyledPanel | QFrame::Sunken);

    Image1 = new ScreenView(image1Surface, Panel10);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(1, 1, 567, 299);
    connect(Image1, &ScreenView::mouseDown, this, &TForm1_rec::Image1MouseDown);
    connect(Image1, &ScreenView::mouseMove, this, &TForm1_rec::Image1MouseMove);
    connect(Image1, &ScreenView::mouseUp, this, &TForm1_rec::Image1MouseUp);

    // The overlay lies above Image1; disabled, it lets the mouse through to Image1.
    PaintBox1 = new OverlayView(paintBox1Surface, Panel10);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    PaintBox1->setGeometry(1, 1, 567, 299);
    PaintBox1->setOverlayEnabled(false);

    SpeedButton1 = makeButton(Panel3, QStringLiteral("SpeedButton1"), QStringLiteral("<<"), {4, 316, 37, 17}, false);
    SpeedButton1->setEnabled(false);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1_rec::SpeedButton1Click);

    ScrollBar2 = new QScrollBar(Qt::Horizontal, Panel3);
    ScrollBar2->setObjectName(QStringLiteral("ScrollBar2"));
    ScrollBar2->setGeometry(48, 316, 489, 17);
    ScrollBar2->setRange(0, ScreenPositions);
    ScrollBar2->setPageStep(0);
    ScrollBar2->setValue(0);
    connect(ScrollBar2, &QScrollBar::valueChanged, this, &TForm1_rec::ScrollBar2Change);

    SpeedButton2 = makeButton(Panel3, QStringLiteral("SpeedButton2"), QStringLiteral(">>"), {544, 316, 37, 17}, false);
    SpeedButton2->setEnabled(false);
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm1_rec::SpeedButton2Click);

    // The DVM panels cover the screen area when shown; built last in Panel3 so they lie on top.
    for (int ch = 0; ch < ChannelCount; ++ch)
        buildDvmPanel(ch, Panel3);

    // ---- Voltage range, channel labels and channel switches
    GroupBox1 = new QGroupBox(QStringLiteral("Voltage Range"), client);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(4, 348, 589, 117);

    const std::array<Handler, ChannelCount> switchHandlers = {&TForm1_rec::CheckBox9Click, &TForm1_rec::CheckBox10Click,
                                                              &TForm1_rec::CheckBox11Click,
                                                              &TForm1_rec::CheckBox12Click};
    for (int ch = 0; ch < ChannelCount; ++ch) {
        const size_t c = static_cast<size_t>(ch);
        const int dx = channelColumnX(ch);
        const int dy = channelRowY(ch);
        const QString chNumber = QString::number(ch + 1);

        QFrame* labelPanel = makePanel(GroupBox1, QStringLiteral("Panel%1").arg(17 + ch), {8 + dx, 20 + dy, 33, 25},
                                       QFrame::StyledPanel | QFrame::Raised);
        setBackground(labelPanel, qColour(GreyColour));
        channelPanels[c] = labelPanel;
        // The label's text colour follows the channel colour; the colour handlers set it.
        QLabel* label =
            makeLabel(labelPanel, QStringLiteral("LabelCh") + chNumber, QStringLiteral("CH") + chNumber, 0, 0, 33);
        label->setGeometry(0, 0, 33, 25);
        label->setAlignment(Qt::AlignCenter);
        setBold(label);
        LabelCh[c] = label;

        QCheckBox* onBox =
            makeCheckBox(GroupBox1, QStringLiteral("CheckBox%1").arg(9 + ch), QStringLiteral("ON"), 5 + dx, 44 + dy);
        onBox->resize(44, 19);
        onBox->setChecked(true);
        connect(onBox, &QCheckBox::clicked, this, switchHandlers[c]);
        channelSwitch[c] = onBox;

        // Each channel has a group of its own, so the channels never release each other's buttons.
        auto* group = new QButtonGroup(GroupBox1);
        group->setObjectName(QStringLiteral("RangeGroupCh") + chNumber);
        group->setExclusive(true);
        rangeGroups[c] = group;
        for (int i = 0; i < 6; ++i) {
            const size_t r = static_cast<size_t>(i);
            const QString name =
                QStringLiteral("SpeedButton") + QLatin1String(RangeTokens[r]) + QStringLiteral("ch") + chNumber;
            QToolButton* button = makeButton(GroupBox1, name, QString::fromUtf8(RangeCaptions[r]),
                                             {48 + dx + 40 * i, 20 + dy, 37, 25}, true);
            group->addButton(button, i);
            connect(button, &QToolButton::clicked, this, [this, ch, i] { RangeButtonClick(ch, i); });
            rangeButtons[c][r] = button;
        }
        rangeButtons[c][0]->setChecked(true);
    }

    // ---- Time base
    GroupBox2 = new QGroupBox(QStringLiteral("Time/Div."), client);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(604, 0, 125, 253);
    timeGroup = new QButtonGroup(GroupBox2);
    timeGroup->setObjectName(QStringLiteral("TimeGroup"));
    timeGroup->setExclusive(true);
    for (int i = 0; i < static_cast<int>(timeButtons.size()); ++i) {
        const size_t t = static_cast<size_t>(i);
        const QRect geometry(8 + (i % 2) * 60, 20 + (i / 2) * 32, 49, 25);
        QToolButton* button = makeButton(GroupBox2, QStringLiteral("SpeedButton") + QLatin1String(TimeTokens[t]),
                                         QLatin1String(TimeCaptions[t]), geometry, true);
        timeGroup->addButton(button, i);
        connect(button, &QToolButton::clicked, this, [this, i] { TimeButtonClick(i); });
        timeButtons[t] = button;
    }
    timeButtons[InitialTimeButton]->setChecked(true);

    // ---- Elapsed time, run status, Run and Single, device status
    Panel1 = makePanel(client, QStringLiteral("Panel1"), {604, 264, 125, 41}, QFrame::StyledPanel | QFrame::Sunken);
    Label6 = makeLabel(Panel1, QStringLiteral("Label6"), QStringLiteral("Time elapsed"), 8, 4, 115);
    Label7 = makeLabel(Panel1, QStringLiteral("Label7"), QStringLiteral("0:00:00"), 8, 24, 115);

    Panel2 = makePanel(client, QStringLiteral("Panel2"), {604, 316, 125, 25}, QFrame::StyledPanel | QFrame::Sunken);
    Label3 = makeLabel(Panel2, QStringLiteral("Label3"), QStringLiteral("Ready"), 0, 0, 125);
    Label3->setGeometry(2, 2, 121, 21);
    Label3->setAlignment(Qt::AlignCenter);
    setBold(Label3);

    SpeedButtonRun =
        makeButton(client, QStringLiteral("SpeedButtonRun"), QStringLiteral("Run"), {604, 356, 125, 29}, true);
    setBold(SpeedButtonRun);
    connect(SpeedButtonRun, &QToolButton::clicked, this, &TForm1_rec::SpeedButtonRunClick);
    SpeedButtonSingle =
        makeButton(client, QStringLiteral("SpeedButtonSingle"), QStringLiteral("Single"), {604, 396, 125, 29}, true);
    connect(SpeedButtonSingle, &QToolButton::clicked, this, &TForm1_rec::SpeedButtonSingleClick);

    // Room up to the window's right edge for "KORVIX not connected".
    Label1 = makeLabel(client, QStringLiteral("Label1"), QStringLiteral("- - -"), 604, 448, ClientWidth - 604);

    // ---- Non-visual members
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(1000);
    connect(Timer3, &QTimer::timeout, this, &TForm1_rec::Timer3Timer);

    buildMenu();
    move(16, 30);
    fitClientArea(this);
}

void TForm1_rec::buildDvmPanel(int channel, QFrame* parent)
{
    const size_t c = static_cast<size_t>(channel);
    const DvmNames& names = DvmTable[c];
    DvmPanel& d = dvm[c];

    d.panel = makePanel(parent, QLatin1String(names.panel), names.geometry, QFrame::StyledPanel | QFrame::Raised);
    d.panel->setAutoFillBackground(true);  // covers the screen below it
    d.panel->hide();

    d.channelLabel = makeLabel(d.panel, QStringLiteral("DvmLabelCh%1").arg(channel + 1),
                               QStringLiteral("CH%1").arg(channel + 1), 134, 4, 40);
    setBold(d.channelLabel);

    d.display =
        makePanel(d.panel, QLatin1String(names.display), {16, 24, 257, 85}, QFrame::StyledPanel | QFrame::Sunken);
    setBackground(d.display, qColour(NavyColour));

    for (size_t i = 0; i < d.digits.size(); ++i) {
        auto* digit = new M7SegDisp(d.display);
        digit->setObjectName(QStringLiteral("M7SegDisp%1").arg(names.digits[i]));
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
        d.points[i] = makeBox(d.display, QStringLiteral("Shape%1").arg(names.points[i]), {PointX[i], 62, 5, 5},
                              qColour(middle ? WhiteColour : YellowColour));
        d.points[i]->setVisible(middle);
    }

    // The "V" and "DC" labels of CH1..CH4.
    static constexpr int VoltLabelNumber[4] = {12, 15, 20, 25};
    const int voltNumber = VoltLabelNumber[channel];
    d.dcLabel = makeLabel(d.display, QStringLiteral("Label%1").arg(voltNumber + 1), QStringLiteral("DC"), 199, 12, 40);
    setTextColour(d.dcLabel, qColour(WhiteColour));
    d.voltLabel = makeLabel(d.display, QStringLiteral("Label%1").arg(voltNumber), QStringLiteral("V"), 200, 37, 40);
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
void TForm1_rec::buildMenu()
{
    if (File1 != nullptr)
        return;
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

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
    File1 = addMenu(bar, "File1", QStringLiteral("File"));
    bar->addMenu(File1);
    connect(File1, &QMenu::aboutToShow, this, &TForm1_rec::File1Click);
    Open = addItem(File1, "Open", QStringLiteral("Open Image..."), IconOpen, &TForm1_rec::OpenClick);
    OpenData1 = addItem(File1, "OpenData1", QStringLiteral("Open Data..."), IconOpen, &TForm1_rec::OpenData1Click);
    addSeparator(File1, "N3");
    Save = addItem(File1, "Save", QStringLiteral("Save Image..."), IconSave, &TForm1_rec::SaveClick);
    N1 = addItem(File1, "N1", QStringLiteral("Save Data..."), IconSave, &TForm1_rec::N1Click);
    N2 = addItem(File1, "N2", QStringLiteral("AutoSave Data..."), IconSave, &TForm1_rec::N2Click);
    addSeparator(File1, "N4");
    Print1 = addItem(File1, "Print1", QStringLiteral("Print..."), IconPrint, &TForm1_rec::Print1Click);
    PrintSetup1 =
        addItem(File1, "PrintSetup1", QStringLiteral("Print Setup..."), IconPrintSetup, &TForm1_rec::PrintSetup1Click);
    addSeparator(File1, "N6");
    Exit = addItem(File1, "Exit", QStringLiteral("Exit"), IconExit, &TForm1_rec::ExitClick);
    RestoreDefaultSettingsExit1 =
        addItem(File1, "RestoreDefaultSettingsExit1", QStringLiteral("Restore Default Settings && Exit"), NoIcon,
                &TForm1_rec::RestoreDefaultSettingsExit1Click);

    Edit2 = addMenu(bar, "Edit2", QStringLiteral("Edit"));
    bar->addMenu(Edit2);
    connect(Edit2, &QMenu::aboutToShow, this, &TForm1_rec::Edit2Click);
    Copy1 = addItem(Edit2, "Copy1", QStringLiteral("Copy"), IconCopy, &TForm1_rec::Copy1Click);
    Paste1 = addItem(Edit2, "Paste1", QStringLiteral("Paste"), IconPaste, &TForm1_rec::Paste1Click);

    Options1 = addMenu(bar, "Options1", QStringLiteral("Options"));
    bar->addMenu(Options1);
    Colors1 = addItem(Options1, "Colors1", QStringLiteral("Colors..."), NoIcon, &TForm1_rec::Colors1Click);
    Calibrate1 = addItem(Options1, "Calibrate1", QStringLiteral("Calibrate"), NoIcon, &TForm1_rec::Calibrate1Click);
    S1 = addMenu(Options1, "S1", QStringLiteral("Skins..."));
    Options1->addMenu(S1);

    // The skin and view ticks belong to their handlers: Qt toggles a checkable action's tick before
    // `triggered` fires, so the handlers read isChecked() afterwards and set the ticks they want.
    for (size_t i = 0; i < SkinItems.size(); ++i) {
        skinItems[i] =
            addItem(S1, SkinItems[i].name, QLatin1String(SkinItems[i].caption), NoIcon, SkinItems[i].handler);
        skinItems[i]->setCheckable(true);
    }

    View1 = addMenu(bar, "View1", QStringLiteral("View"));
    bar->addMenu(View1);
    Markers1 = addItem(View1, "Markers1", QStringLiteral("Markers  dV && t"), NoIcon, &TForm1_rec::Markers1Click);
    MarkersVdt1 =
        addItem(View1, "MarkersVdt1", QStringLiteral("Markers  dV && dt"), NoIcon, &TForm1_rec::MarkersVdt1Click);
    addSeparator(View1, "N5");
    DVMDisplay1 = addItem(View1, "DVMDisplay1", QStringLiteral("DVM Display"), NoIcon, &TForm1_rec::DVMDisplay1Click);
    addSeparator(View1, "N7");
    BrightGrid1 = addItem(View1, "BrightGrid1", QStringLiteral("Bright Grid"), NoIcon, &TForm1_rec::BrightGrid1Click);
    for (QAction* action : {Markers1, MarkersVdt1, DVMDisplay1, BrightGrid1}) {
        action->setCheckable(true);
        action->setChecked(false);
    }

    Help1 = addMenu(bar, "Help1", QStringLiteral("&Help"));
    bar->addMenu(Help1);
    Help2 = addItem(Help1, "Help2", QStringLiteral("Contents"), NoIcon, &TForm1_rec::Help2Click);
    addSeparator(Help1, "About1");
    About2 = addItem(Help1, "About2", QStringLiteral("About..."), NoIcon, &TForm1_rec::About2Click);

    fitClientArea(this);
}
