// Scrolling of a stopped screen.
#include <QScrollBar>

#include "ui/RecorderWindow.h"

void RecorderWindow::scrollBarChange()
{
    redrawIfClearPending();
    screen.removeTraces();
    st.ViewOffset = scrollBar->value();
    screen.drawTraces();
    updateTimeReadout();
}
