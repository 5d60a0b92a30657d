// The recorder window's side of the measuring markers: the mouse on screenImage and the two marker
// modes of the View menu. The drawing and the readouts are Screen's (Markers.cpp).
#include <QAction>

#include "ui/RecorderWindow.h"

void RecorderWindow::screenMouseDown(Qt::MouseButton button, int x, int y)
{
    if (button == Qt::RightButton) {
        annotationRightClick(x, y);
        return;
    }
    // While a recording runs the overlay takes the mouse; markers are only grabbed on a stopped screen.
    if (button == Qt::LeftButton && view.markers.shown && st.Idle)
        screen.grabMarker(x, y);
}

void RecorderWindow::screenMouseMove(int x, int y)
{
    if (view.drag.active)
        screen.moveMarker(x, y, markersTimeAction->isChecked());
}

void RecorderWindow::screenMouseUp(Qt::MouseButton button, int, int)
{
    if (button == Qt::LeftButton && view.drag.active)
        screen.releaseMarker(markersTimeAction->isChecked());
}

// The time readout gives an absolute time in the "dV && t" mode only.
void RecorderWindow::updateTimeReadout()
{
    screen.updateTimeReadout(markersTimeAction->isChecked());
}

void RecorderWindow::updateVoltReadout()
{
    screen.updateVoltReadout();
}

// Both menu items are checkable, so Qt has already turned the clicked item's tick over when its
// handler runs: the handler reads the new tick and clears the other item's. The other tick is
// cleared first, because the time readout drawn below reads the "dV && t" tick.
void RecorderWindow::markersTimeClick()
{
    markerModeClick(markersTimeAction, markersDeltaTimeAction, -600);  // time marker 1 parked: only marker 2 is shown
}

void RecorderWindow::markersDeltaTimeClick()
{
    markerModeClick(markersDeltaTimeAction, markersTimeAction, st.GridLeft + 16);
}

void RecorderWindow::markerModeClick(QAction* item, QAction* other, int firstTimeMarkerX)
{
    other->setChecked(false);
    view.markers.shown = item->isChecked();
    st.ClearPending = true;
    if (view.markers.shown) {
        view.markers.timeX[0] = firstTimeMarkerX;
        redrawIfClearPending();
        updateVoltReadout();
        updateTimeReadout();
        screen.drawTraces();
    } else {
        redrawIfClearPending();
        screen.drawTraces();
        drawScaleTexts();
    }
}
