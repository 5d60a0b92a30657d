#include "display/Unit7.h"

#include <QColorDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "display/ScreenWidgets.h"
#include "shell/Winrecx.h"

namespace {

ColourPicker& colourPicker()
{
    static ColourPicker picker;
    return picker;
}

QColor pickColour(const QColor& preset, QWidget* parent)
{
    if (colourPicker())
        return colourPicker()(preset, parent);
    const QColor chosen = QColorDialog::getColor(preset, parent, QString());
    return chosen.isValid() ? chosen : preset;
}

struct ItemButton {
    const char* name;
    const char* caption;
    ColourIndex item;
    int y;
};

// In the order of TBtnBottomDlg2::itemButtons; the preview line of each item lies level with it.
const std::array<ItemButton, 8> ItemButtons = {{
    {"SpeedButton1", "Ch1", Ch1, 20},
    {"SpeedButton2", "Ch2", Ch2, 44},
    {"SpeedButton7", "Ch3", Ch3, 68},
    {"SpeedButton8", "Ch4", Ch4, 92},
    {"SpeedButton4", "Dark Grid", Dark_Grid, 116},
    {"SpeedButton5", "Bright Grid", Bright_Grid, 140},
    {"SpeedButton6", "Time Marker", Time_Marker, 164},
    {"SpeedButton3", "Background", Background, 188},
}};

QFrame* makeBevel(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* bevel = new QFrame(parent);
    bevel->setObjectName(QLatin1String(name));
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(geometry);
    return bevel;
}

QLabel* makeLabel(QWidget* parent, const char* name, const char* text, int x, int y, bool regular)
{
    auto* label = new QLabel(QLatin1String(text), parent);
    label->setObjectName(QLatin1String(name));
    if (regular) {
        QFont f = label->font();
        f.setBold(false);
        label->setFont(f);
    }
    label->move(x, y);
    label->adjustSize();
    return label;
}

QPushButton* makePushButton(QWidget* parent, const char* name, const char* caption, const QRect& geometry)
{
    auto* button = new QPushButton(QLatin1String(caption), parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

void setColourPicker(ColourPicker picker)
{
    colourPicker() = std::move(picker);
}

TBtnBottomDlg2::TBtnBottomDlg2(TForm1_rec* recorder) : TBtnBottomDlg2(recorder->st, recorder) {}

TBtnBottomDlg2::TBtnBottomDlg2(RecorderState& state, QWidget* parent) : QDialog(parent), st(state)
{
    setObjectName(QStringLiteral("BtnBottomDlg2"));
    setWindowTitle(QStringLiteral("Color"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(382, 267);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);

    Bevel1 = makeBevel(this, "Bevel1", {8, 4, 217, 221});
    QFont regular = font();
    regular.setBold(false);
    for (size_t i = 0; i < ItemButtons.size(); ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(ItemButtons[i].name));
        button->setText(QLatin1String(ItemButtons[i].caption));
        button->setGeometry(20, ItemButtons[i].y, 85, 21);
        button->setFont(regular);
        button->setCheckable(true);
        button->setAutoExclusive(true);
        const int index = static_cast<int>(i);
        connect(button, &QToolButton::clicked, this, [this, index] { pickItem(index); });
        itemButtons[i] = button;
    }

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(116, 16, 97, 197);
    Image1 = new ScreenView(image1Surface, Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(4, 4, PreviewWidth, PreviewHeight);

    Bevel2 = makeBevel(this, "Bevel2", {232, 4, 145, 105});
    labels[0] = makeLabel(this, "Label1", "Please note:", 240, 16, true);
    labels[1] = makeLabel(this, "Label2", "Full color selection ", 240, 36, true);
    labels[2] = makeLabel(this, "Label3", "is possible only if ", 240, 52, true);
    labels[3] = makeLabel(this, "Label4", "True Color (24 bit)", 240, 68, true);
    labels[4] = makeLabel(this, "Label5", "display mode is used.", 240, 84, true);
    labels[5] = makeLabel(this, "Label6", "Select Default Colors:", 252, 140, false);
    // Fonts wider than the one the dialog was laid out for would push the text over the edge.
    if (labels[5]->geometry().right() > width() - 6)
        labels[5]->move(width() - 6 - labels[5]->width(), 140);

    GrSpeedButton4 = makePushButton(this, "GrSpeedButton4", "Bright Screen", {244, 164, 113, 25});
    GrSpeedButton3 = makePushButton(this, "GrSpeedButton3", "Black Screen", {244, 200, 113, 25});
    GrSpeedButton1 = makePushButton(this, "GrSpeedButton1", "OK", {20, 232, 85, 25});
    GrSpeedButton2 = makePushButton(this, "GrSpeedButton2", "Cancel", {124, 232, 85, 25});
    connect(GrSpeedButton4, &QPushButton::clicked, this, &TBtnBottomDlg2::SpeedButton9Click);
    connect(GrSpeedButton3, &QPushButton::clicked, this, &TBtnBottomDlg2::GrSpeedButton3Click);
    connect(GrSpeedButton1, &QPushButton::clicked, this, &TBtnBottomDlg2::SpeedButton11Click);
    connect(GrSpeedButton2, &QPushButton::clicked, this, &TBtnBottomDlg2::SpeedButton10Click);

    FormCreate();
}

void TBtnBottomDlg2::FormCreate()
{
    st.ColorsAccepted = false;
    draw_1();
}

void TBtnBottomDlg2::draw_1()
{
    Surface& s = image1Surface;
    const ColourSet& c = st.SettingsColors;
    const Colour bg = c[Background];
    const int w = s.width();

    s.penStyle = Surface::PenStyle::Solid;
    s.penMode = Surface::PenMode::Copy;
    s.brushColour = bg;
    s.fillRect(0, 0, w, s.height(), bg);

    // The channel and time-marker lines use the inverting pen, as on the screen, so the preview
    // also shows whether the background lets them be seen.
    s.penMode = Surface::PenMode::NotXor;
    for (int i = 0; i < ChannelCount; ++i) {
        s.penColour = xorColour(c[Ch1 + i], bg);
        s.line(0, 10 + 24 * i, w, 10 + 24 * i);
    }
    s.penMode = Surface::PenMode::Copy;
    s.penColour = c[Dark_Grid];
    s.line(0, 106, w, 106);
    s.penColour = c[Bright_Grid];
    s.line(0, 130, w, 130);
    s.penMode = Surface::PenMode::NotXor;
    s.penColour = xorColour(c[Time_Marker], bg);
    s.line(0, 154, w, 154);
    s.penMode = Surface::PenMode::Copy;

    Image1->update();
}

void TBtnBottomDlg2::pickItem(int button)
{
    const size_t b = static_cast<size_t>(button);
    itemButtons[b]->setChecked(true);
    Colour& colour = st.SettingsColors[ItemButtons[b].item];
    const QColor chosen = pickColour(QColor::fromRgb(Surface::toRgb(colour)), this);
    if (chosen.isValid())
        colour = Surface::fromRgb(chosen.rgb());
    draw_1();
}

void TBtnBottomDlg2::closeWith(ColourDialogClose how)
{
    closedBy_ = how;
    done(how == ColourDialogClose::Cancel ? QDialog::Rejected : QDialog::Accepted);
}

void TBtnBottomDlg2::SpeedButton11Click()
{
    st.ColorsAccepted = true;
    st.DefaultSchemeChosen = false;
    closeWith(ColourDialogClose::Ok);
}

void TBtnBottomDlg2::SpeedButton10Click()
{
    st.ColorsAccepted = false;
    closeWith(ColourDialogClose::Cancel);
}

void TBtnBottomDlg2::SpeedButton9Click()
{
    st.ColorsAccepted = false;
    st.DefaultSchemeChosen = true;
    st.BlackSchemeChosen = false;
    closeWith(ColourDialogClose::BrightScheme);
}

void TBtnBottomDlg2::GrSpeedButton3Click()
{
    st.ColorsAccepted = false;
    st.DefaultSchemeChosen = true;
    st.BlackSchemeChosen = true;
    closeWith(ColourDialogClose::BlackScheme);
}

void TBtnBottomDlg2::run()
{
    // Whatever does not go through a closing button (the title-bar button, Escape) counts as a
    // close by the window.
    closedBy_ = ColourDialogClose::Window;
    exec();
}
