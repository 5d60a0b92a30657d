// The recorder window's side of the measuring markers: the mouse on Image1 and the two marker
// modes of the View menu. The drawing and the readouts are Screen's (Markers.cpp).
#include <QAction>

#include "shell/Winrecx.h"

void TForm1_rec::Image1MouseDown(Qt::MouseButton button, int x, int y)
{
    if (button == Qt::RightButton) {
        annotationRightClick(x, y);
        return;
    }
    // While a recording runs the overlay takes the mouse; markers are only grabbed on a stopped screen.
    if (button == Qt::LeftButton && st.MarkersOn && st.Idle)
        screen.dso_down(x, y);
}

void TForm1_rec::Image1MouseMove(int x, int y)
{
    if (st.DragActive)
        screen.dso_move(x, y, Markers1->isChecked());
}

void TForm1_rec::Image1MouseUp(Qt::MouseButton button, int, int)
{
    if (button == Qt::LeftButton && st.DragActive)
        screen.dso_up(Markers1->isChecked());
}

// The time readout gives an absolute time in the "dV && t" mode only.
void TForm1_rec::kursoriaika()
{
    screen.kursoriaika(Markers1->isChecked());
}

void TForm1_rec::kursorivoltit()
{
    screen.kursorivoltit();
}

// Both menu items are checkable, so Qt has already turned the clicked item's tick over when its
// handler runs: the handler reads the new tick and clears the other item's. The other tick is
// cleared first, because the time readout drawn below reads the "dV && t" tick.
void TForm1_rec::Markers1Click()
{
    markerModeClick(Markers1, MarkersVdt1, -600);  // time marker 1 parked: only marker 2 is shown
}

void TForm1_rec::MarkersVdt1Click()
{
    markerModeClick(MarkersVdt1, Markers1, st.GridLeft + 16);
}

void TForm1_rec::markerModeClick(QAction* item, QAction* other, int firstTimeMarkerX)
{
    other->setChecked(false);
    st.MarkersOn = item->isChecked();
    st.ClearPending = true;
    if (st.MarkersOn) {
        st.TimeMarkerX[0] = firstTimeMarkerX;
        putsataanko();
        kursorivoltit();
        kursoriaika();
        screen.piirrot();
    } else {
        putsataanko();
        screen.piirrot();
        tekstit();
    }
}
