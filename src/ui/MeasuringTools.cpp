#include "ui/MeasuringTools.h"

#include "ui/RecorderState.h"

#include <QAction>
#include <algorithm>

#include "screen/Screen.h"
#include "ui/AddTextWindow.h"
#include "ui/Application.h"
#include "ui/RecorderMenu.h"

void chooseGridColour(RecorderState& st, bool brightGrid)
{
    st.GridColor = brightGrid ? st.ActiveColors[Bright_Grid] : st.ActiveColors[Dark_Grid];
}

MeasuringTools::MeasuringTools(QObject* parent, RecorderState& state, ViewState& view, Screen& screen,
                               RecorderMenu& menu)
    : QObject(parent), st(state), view_(view), screen_(screen), menu_(menu)
{
}

void MeasuringTools::mouseDown(Qt::MouseButton button, int x, int y)
{
    if (button == Qt::RightButton) {
        placeAnnotation(x, y);
        return;
    }
    // While a recording runs the overlay takes the mouse; markers are only grabbed on a stopped screen.
    if (button == Qt::LeftButton && view_.markers.shown && st.Idle)
        screen_.grabMarker(x, y);
}

void MeasuringTools::mouseMove(int x, int y)
{
    if (view_.drag.active)
        screen_.moveMarker(x, y, menu_.absoluteTimeMarkers());
}

void MeasuringTools::mouseUp(Qt::MouseButton button, int, int)
{
    if (button == Qt::LeftButton && view_.drag.active)
        screen_.releaseMarker(menu_.absoluteTimeMarkers());
}

void MeasuringTools::placeAnnotation(int x, int y)
{
    // While a recording runs, right clicks do nothing.
    if (!st.Idle)
        return;
    AddTextWindow* addText = windows().addText;
    const auto px = static_cast<uint16_t>(std::clamp(x, 0, 65535));
    const auto py = static_cast<uint16_t>(std::clamp(y, 0, 65535));
    if (!st.AnnotationOn) {
        // The text will appear here when it is added.
        st.AnnotationX = px;
        st.AnnotationY = py;
    } else if (addText != nullptr && addText->isVisible()) {
        st.AnnotationX = px;
        st.AnnotationY = py;
        st.ClearPending = true;
        screen_.redrawIfClearPending();
        screen_.drawTraces();
    }
    // With the window hidden, the first right click only brings it back.
    if (addText != nullptr)
        addText->show();
}

void MeasuringTools::updateTimeReadout()
{
    screen_.updateTimeReadout(menu_.absoluteTimeMarkers());
}

void MeasuringTools::updateVoltReadout()
{
    screen_.updateVoltReadout();
}

// Both menu items are checkable, so Qt has already turned the clicked item's tick over when its
// handler runs: the handler reads the new tick and clears the other item's. The other tick is
// cleared first, because the time readout drawn below reads the "dV && t" tick.
void MeasuringTools::markersTimeClick()
{
    // Time marker 1 parked: only marker 2 is shown.
    markerModeClick(RecorderMenu::MarkersTime, RecorderMenu::MarkersDeltaTime, -600);
}

void MeasuringTools::markersDeltaTimeClick()
{
    markerModeClick(RecorderMenu::MarkersDeltaTime, RecorderMenu::MarkersTime, st.GridLeft + 16);
}

void MeasuringTools::markerModeClick(RecorderMenu::Item item, RecorderMenu::Item other, int firstTimeMarkerX)
{
    menu_.action(other)->setChecked(false);
    view_.markers.shown = menu_.action(item)->isChecked();
    st.ClearPending = true;
    if (view_.markers.shown) {
        view_.markers.timeX[0] = firstTimeMarkerX;
        screen_.redrawIfClearPending();
        updateVoltReadout();
        updateTimeReadout();
        screen_.drawTraces();
    } else {
        screen_.redrawIfClearPending();
        screen_.drawTraces();
        screen_.drawScaleTexts();
    }
}

void MeasuringTools::brightGridClick()
{
    view_.brightGrid = !view_.brightGrid;
    menu_.action(RecorderMenu::BrightGrid)->setChecked(view_.brightGrid);
    chooseGridColour(st, view_.brightGrid);
    st.ClearPending = true;
    screen_.redrawIfClearPending();
    screen_.drawTraces();
    screen_.drawScaleTexts();
}
