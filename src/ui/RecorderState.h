#pragma once

#include "recording/ChannelSetup.h"
#include "recording/DemoSource.h"
#include "recording/RunState.h"
#include "recording/ScreenBuffer.h"
#include "screen/Colours.h"
#include "screen/ViewState.h"

// The parts of the recorder's state the recorder window keeps together: it hands each engine the
// parts that engine needs (the session the screen buffer, channel set-up, run state and demo
// source; the screen its buffer, view and colours; the data files the run state, channels and
// annotation; the settings the demo mode, offsets and colours). Each part is declared, and
// documented, next to the engine that owns it; the field names stay the recorder's own. What only
// a recording changes as it runs (stop flag, sums, elapsed time) is not here: the recording
// session keeps it and the window parts read it through the session.
struct RecorderState : ScreenBuffer,
                       ChannelSetup,
                       RunState,
                       DemoSource,
                       ScreenLayout,
                       FileView,
                       AnnotationState,
                       ColourScheme {};
