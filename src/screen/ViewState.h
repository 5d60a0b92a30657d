#pragma once

#include <array>
#include <cstdint>

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

struct ViewState {
    MarkerState markers;
    MarkerDrag drag;
    // Which channels' traces are on the bitmap now. Traces are drawn and removed with the inverting
    // pen, so these flags must always be exact: a second drawing would remove the trace.
    std::array<bool, 4> traceDrawn{};
    bool brightGrid = false;  // the tick of the "Bright Grid" menu item
};
