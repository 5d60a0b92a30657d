#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "recording/BoundedText.h"

// What the screen's viewer has set up on it, apart from the samples: owned by the window that
// shows the screen and handed by reference to the routines that draw it (Screen).

// The measuring markers of the View menu: two time markers (columns) and two voltage markers
// (rows), and the readouts last drawn for them. A time marker left of the grid is parked: it is not
// drawn, and the time readout gives a time from the start instead of a difference.
struct MarkerState {
    bool shown = false;  // a marker mode is ticked
    std::array<int32_t, 2> timeX{26, 538};
    std::array<int32_t, 2> voltY{36, 260};
    BoundedText<20> voltReadout = "0.0V";
    BoundedText<20> timeReadout;
};

// The marker held with the left mouse button and where it is being dragged.
struct MarkerDrag {
    bool active = false;
    int32_t target = 0;  // 1, 2: time marker 1, 2; 3, 4: voltage marker 1, 2
    int32_t x = 0, y = 0;
};

// Where the screen's parts lie and how the buffer is spread over it: the grid, the text rows, the
// distance of the trace points, and the offset the scroll bar has moved the view by.
struct ScreenLayout {
    int32_t GridLeft = 10;
    int32_t GridTop = 20;
    uint16_t BottomTextY = 279;
    int32_t MarkerRightX = 555;
    int32_t MarkerBottomY = 277;
    double BaseTraceStep = 6.25;
    double TraceStep = 6.25;
    int16_t PointSpacing = 2;
    int64_t ViewOffset = 0;
    // The screen is to be cleared (fresh grid and texts) before the next drawing on it.
    bool ClearPending = false;
};

// Whether the screen shows a page of a data file instead of a recording, and which page.
struct FileView {
    bool FileViewMode = false;  // a data file is open for viewing
    bool PageTurnMode = false;
    bool FileOnScreen = false;  // the screen shows a page of it
    int64_t PageEnd = 1700;     // the row the next page turn starts from
};

// The annotation of the screen: the text of the "Add Text" window, where it stands and how.
struct AnnotationState {
    bool AnnotationOn = false;
    uint16_t AnnotationX = 0, AnnotationY = 0;
    bool AnnotationTransparent = false;
    QString AnnotationText;
};

// Pixel row of a screen value where full negative scale (255) sits on the bottom grid line.
constexpr int traceRow(int gridTop, int v)
{
    return gridTop + v + (v == 255 ? 1 : 0);
}

struct ViewState {
    MarkerState markers;
    MarkerDrag drag;
    // Which channels' traces are on the bitmap now. Traces are drawn and removed with the inverting
    // pen, so these flags must always be exact: a second drawing would remove the trace.
    std::array<bool, 4> traceDrawn{};
    bool brightGrid = false;  // the tick of the "Bright Grid" menu item
};
