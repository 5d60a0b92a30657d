#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "screen/Surface.h"
#include "ui/RecorderState.h"

class QFrame;
class QLabel;
class QToolButton;
class QPushButton;
class ScreenView;
class RecorderWindow;

// The two default colour schemes, in the order of a colour set.
constexpr ColourSet BlackScreenScheme = DefaultColours;
constexpr ColourSet BrightScreenScheme = {8421440, 16711680, 65280, 65535, 255, 12632256, 16777215, 4194432};

// How the colour dialog was closed this time.
enum class ColourDialogClose {
    Ok,            // "OK"
    Cancel,        // "Cancel"
    BrightScheme,  // "Bright Screen"
    BlackScheme,   // "Black Screen"
    Window,        // the title-bar button or Escape
};

// The colour picker behind the item buttons. It is preset with the item's colour and returns the
// colour chosen, or the preset when the user cancels it. Tests replace it; an empty function
// restores Qt's full colour dialog.
using ColourPicker = std::function<QColor(const QColor& preset, QWidget* parent)>;
void setColourPicker(ColourPicker picker);

// The colour dialog: edits SettingsColors directly with one button per item, shows them in the
// preview and offers the two default schemes. It records in its result flags and in closedBy()
// how it was closed.
class ColourDialog : public QDialog {
    Q_OBJECT
public:
    ColourDialog(RecorderState& state, QWidget* parent);
    // The application's dialog belongs to the recorder window and edits its state.
    explicit ColourDialog(RecorderWindow* recorder);

    RecorderState& st;

    static constexpr int PreviewWidth = 89;
    static constexpr int PreviewHeight = 189;
    Surface previewSurface{PreviewWidth, PreviewHeight};

    void initialise();
    // Draws the preview from SettingsColors: every line shows its item's colour on the background.
    void drawPreview();

    // Item buttons: pick the item's colour.
    void pickChannel1Colour() { pickItem(0); }
    void pickChannel2Colour() { pickItem(1); }
    void pickChannel3Colour() { pickItem(2); }
    void pickChannel4Colour() { pickItem(3); }
    void pickDarkGridColour() { pickItem(4); }
    void pickBrightGridColour() { pickItem(5); }
    void pickTimeMarkerColour() { pickItem(6); }
    void pickBackgroundColour() { pickItem(7); }

    // Closing buttons.
    void okClick();            // "OK"
    void cancelClick();        // "Cancel"
    void brightScreenClick();  // "Bright Screen"
    void blackScreenClick();   // "Black Screen"

    // Shows the dialog modally; afterwards closedBy() tells how it was closed.
    void run();
    ColourDialogClose closedBy() const { return closedBy_; }
    // The result flags of the closing buttons, kept from one use of the dialog to the next: OK
    // accepts the picks and leaves the default schemes; a scheme button chooses a default scheme,
    // the black or the bright one. The title-bar button changes none.
    bool coloursAccepted() const { return coloursAccepted_; }
    bool defaultSchemeChosen() const { return defaultSchemeChosen_; }
    bool blackSchemeChosen() const { return blackSchemeChosen_; }

private:
    void pickItem(int button);
    void closeWith(ColourDialogClose how);

    QFrame* itemsBevel_ = nullptr;
    // Item buttons in the order Ch1, Ch2, Ch3, Ch4, Dark Grid, Bright Grid, Time Marker, Background.
    std::array<QToolButton*, 8> itemButtons_{};
    QFrame* previewPanel_ = nullptr;
    ScreenView* previewImage_ = nullptr;
    QFrame* schemesBevel_ = nullptr;
    QLabel* pleaseNoteLabel_ = nullptr;           // "Please note:"
    std::array<QLabel*, 4> displayNoteLabels_{};  // the four lines about the display's colour depth
    QLabel* defaultSchemesLabel_ = nullptr;       // "Select Default Colors:"
    QPushButton* brightScreenButton_ = nullptr;   // "Bright Screen"
    QPushButton* blackScreenButton_ = nullptr;    // "Black Screen"
    QPushButton* okButton_ = nullptr;             // "OK"
    QPushButton* cancelButton_ = nullptr;         // "Cancel"
    ColourDialogClose closedBy_ = ColourDialogClose::Window;
    bool coloursAccepted_ = false;
    bool defaultSchemeChosen_ = true;
    bool blackSchemeChosen_ = true;
};

// Applies the way the dialog was closed to both colour sets. `before` is SettingsColors as it was
// when the dialog opened. OK keeps the picks, a scheme button puts that scheme in place; Cancel and
// the title-bar button give back the colours of before. Returns whether the colours changed in a
// way that needs the derived colours, the channel labels and the screen renewed, and renews the
// derived colours (XorColors and the grid colours, the grid by the "Bright Grid" tick) if so.
bool applyColourDialogResult(RecorderState& st, const ColourSet& before, ColourDialogClose how);

// The whole colour dialog sequence of "Colors...": runs the dialog on SettingsColors and applies its
// result to both colour sets, the derived colours, the channel labels and the screen of `recorder`.
// Without a dialog of the application's (window tests), a dialog is made for the time of the call.
void runColourDialog(RecorderState& st, RecorderWindow* recorder, ColourDialog* dialog);
