#include "ui/ColourDialog.h"

#include <QColorDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <memory>

#include "ui/ScreenWidgets.h"
#include "ui/RecorderWindow.h"

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

// In the order of the dialog's item buttons; the preview line of each item lies level with it.
const std::array<ItemButton, 8> ItemButtons = {{
    {"channel1ColourButton", "Ch1", Ch1, 20},
    {"channel2ColourButton", "Ch2", Ch2, 44},
    {"channel3ColourButton", "Ch3", Ch3, 68},
    {"channel4ColourButton", "Ch4", Ch4, 92},
    {"darkGridColourButton", "Dark Grid", Dark_Grid, 116},
    {"brightGridColourButton", "Bright Grid", Bright_Grid, 140},
    {"timeMarkerColourButton", "Time Marker", Time_Marker, 164},
    {"backgroundColourButton", "Background", Background, 188},
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

ColourDialog::ColourDialog(RecorderWindow* recorder) : ColourDialog(recorder->st, recorder) {}

ColourDialog::ColourDialog(RecorderState& state, QWidget* parent) : QDialog(parent), st(state)
{
    setObjectName(QStringLiteral("ColourDialog"));
    setWindowTitle(QStringLiteral("Color"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(382, 267);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);

    itemsBevel_ = makeBevel(this, "itemsBevel", {8, 4, 217, 221});
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
        itemButtons_[i] = button;
    }

    previewPanel_ = new QFrame(this);
    previewPanel_->setObjectName(QStringLiteral("previewPanel"));
    previewPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    previewPanel_->setGeometry(116, 16, 97, 197);
    previewImage_ = new ScreenView(previewSurface, previewPanel_);
    previewImage_->setObjectName(QStringLiteral("previewImage"));
    previewImage_->setGeometry(4, 4, PreviewWidth, PreviewHeight);

    schemesBevel_ = makeBevel(this, "schemesBevel", {232, 4, 145, 105});
    pleaseNoteLabel_ = makeLabel(this, "pleaseNoteLabel", "Please note:", 240, 16, true);
    displayNoteLabels_[0] = makeLabel(this, "fullColourLabel", "Full color selection ", 240, 36, true);
    displayNoteLabels_[1] = makeLabel(this, "onlyIfLabel", "is possible only if ", 240, 52, true);
    displayNoteLabels_[2] = makeLabel(this, "trueColourLabel", "True Color (24 bit)", 240, 68, true);
    displayNoteLabels_[3] = makeLabel(this, "displayModeLabel", "display mode is used.", 240, 84, true);
    defaultSchemesLabel_ = makeLabel(this, "defaultSchemesLabel", "Select Default Colors:", 252, 140, false);
    // Fonts wider than the one the dialog was laid out for would push the text over the edge.
    if (defaultSchemesLabel_->geometry().right() > width() - 6)
        defaultSchemesLabel_->move(width() - 6 - defaultSchemesLabel_->width(), 140);

    brightScreenButton_ = makePushButton(this, "brightScreenButton", "Bright Screen", {244, 164, 113, 25});
    blackScreenButton_ = makePushButton(this, "blackScreenButton", "Black Screen", {244, 200, 113, 25});
    okButton_ = makePushButton(this, "okButton", "OK", {20, 232, 85, 25});
    cancelButton_ = makePushButton(this, "cancelButton", "Cancel", {124, 232, 85, 25});
    connect(brightScreenButton_, &QPushButton::clicked, this, &ColourDialog::brightScreenClick);
    connect(blackScreenButton_, &QPushButton::clicked, this, &ColourDialog::blackScreenClick);
    connect(okButton_, &QPushButton::clicked, this, &ColourDialog::okClick);
    connect(cancelButton_, &QPushButton::clicked, this, &ColourDialog::cancelClick);

    initialise();
}

void ColourDialog::initialise()
{
    coloursAccepted_ = false;
    drawPreview();
}

void ColourDialog::drawPreview()
{
    Surface& s = previewSurface;
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

    previewImage_->update();
}

void ColourDialog::pickItem(int button)
{
    const size_t b = static_cast<size_t>(button);
    itemButtons_[b]->setChecked(true);
    Colour& colour = st.SettingsColors[ItemButtons[b].item];
    const QColor chosen = pickColour(QColor::fromRgb(Surface::toRgb(colour)), this);
    if (chosen.isValid())
        colour = Surface::fromRgb(chosen.rgb());
    drawPreview();
}

void ColourDialog::closeWith(ColourDialogClose how)
{
    closedBy_ = how;
    done(how == ColourDialogClose::Cancel ? QDialog::Rejected : QDialog::Accepted);
}

void ColourDialog::okClick()
{
    coloursAccepted_ = true;
    defaultSchemeChosen_ = false;
    closeWith(ColourDialogClose::Ok);
}

void ColourDialog::cancelClick()
{
    coloursAccepted_ = false;
    closeWith(ColourDialogClose::Cancel);
}

void ColourDialog::brightScreenClick()
{
    coloursAccepted_ = false;
    defaultSchemeChosen_ = true;
    blackSchemeChosen_ = false;
    closeWith(ColourDialogClose::BrightScheme);
}

void ColourDialog::blackScreenClick()
{
    coloursAccepted_ = false;
    defaultSchemeChosen_ = true;
    blackSchemeChosen_ = true;
    closeWith(ColourDialogClose::BlackScheme);
}

void ColourDialog::run()
{
    // Whatever does not go through a closing button (the title-bar button, Escape) counts as a
    // close by the window.
    closedBy_ = ColourDialogClose::Window;
    exec();
}

bool applyColourDialogResult(RecorderState& st, const ColourSet& before, ColourDialogClose how)
{
    switch (how) {
        case ColourDialogClose::Ok:
            break;
        case ColourDialogClose::BrightScheme:
            st.SettingsColors = BrightScreenScheme;
            break;
        case ColourDialogClose::BlackScheme:
            st.SettingsColors = BlackScreenScheme;
            break;
        case ColourDialogClose::Cancel:
        case ColourDialogClose::Window:
            // Nothing picked in a dialog that was not accepted survives it: the stored colours, which
            // are written to the settings file at exit, stay what they were.
            st.SettingsColors = before;
            st.ActiveColors = before;
            return false;
    }
    st.ActiveColors = st.SettingsColors;
    deriveColours(st);  // the dark grid; the recorder window brings in its "Bright Grid" tick
    return true;
}

void runColourDialog(RecorderState& st, RecorderWindow* recorder, ColourDialog* dialog)
{
    std::unique_ptr<ColourDialog> own;
    if (dialog == nullptr) {
        own = std::make_unique<ColourDialog>(st, recorder);
        dialog = own.get();
    }
    const ColourSet before = st.SettingsColors;
    dialog->drawPreview();
    dialog->run();
    if (applyColourDialogResult(st, before, dialog->closedBy()) && recorder != nullptr)
        recorder->applyColours();
}
