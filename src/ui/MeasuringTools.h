#pragma once

#include <QObject>

struct RecorderState;
#include "ui/RecorderMenu.h"

class Screen;
struct ViewState;

// The grid colour of the "Bright Grid" tick: the bright or the dark grid colour.
void chooseGridColour(RecorderState& st, bool brightGrid);

// Measuring on a stopped screen: the mouse on the screen (markers grabbed, dragged and let go with
// the left button; the annotation placed with the right one), the two marker modes of the View menu
// with their readouts, and the bright grid. The drawing and the readouts are the screen's.
class MeasuringTools : public QObject {
    Q_OBJECT
public:
    MeasuringTools(QObject* parent, RecorderState& state, ViewState& view, Screen& screen, RecorderMenu& menu);

    void mouseDown(Qt::MouseButton button, int x, int y);
    void mouseMove(int x, int y);
    void mouseUp(Qt::MouseButton button, int x, int y);
    // A right click at (x, y): places the annotation of the "Add Text" window.
    void placeAnnotation(int x, int y);

    // "Markers  dV && t" and "Markers  dV && dt".
    void markersTimeClick();
    void markersDeltaTimeClick();
    // "Bright Grid". The state is the record of the tick: a click from the menu has already toggled
    // the item, a call from code has not, and both end with the tick and the state agreeing.
    void brightGridClick();

    // The marker readouts; the time readout gives an absolute time in the "dV && t" mode only.
    void updateTimeReadout();
    void updateVoltReadout();

private:
    // `item` was clicked, `other` loses its tick; time marker 1 goes to `firstTimeMarkerX` when
    // markers come on.
    void markerModeClick(RecorderMenu::Item item, RecorderMenu::Item other, int firstTimeMarkerX);

    RecorderState& st;
    ViewState& view_;
    Screen& screen_;
    RecorderMenu& menu_;
};
