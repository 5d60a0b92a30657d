#pragma once

#include <functional>

class QWidget;
struct RecorderState;

// The recorder window's dealings with the recorder itself; messages open over `window`.

// The start-up search for the recorder: true when it was found and opened. A recorder that is
// present but cannot be opened is reported to the user and counts as not found.
bool probeRecorder(QWidget* window);

// Options > "Calibrate": after the user's OK (inputs disconnected), the zero-offset calibration,
// which sets the ranges through `selectRange(rangeIndex)` on channel 1; the offsets found go into
// the state, and the user learns how it went.
void calibrateRecorder(QWidget* window, RecorderState& st, const std::function<void(int)>& selectRange);
