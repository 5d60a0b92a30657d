#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include "recording/RecorderState.h"
#include "settings/SettingsFile.h"

// What the settings file holds and in which order it is read and written. The functions only
// move values between the file and RecorderState; the windows apply them.

// Bounds of the main window as stored in the settings file; the defaults are its designed bounds.
struct WindowBounds {
    int left = 19, top = 35, width = 747, height = 528;
};

inline bool operator==(const WindowBounds& a, const WindowBounds& b)
{
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}
inline bool operator!=(const WindowBounds& a, const WindowBounds& b)
{
    return !(a == b);
}

// Start-up: the main window's Top, Left, Width and Height, the hardware keys, the skin and the
// eight colours, each defaulting to the current value; then the derived colours. The bounds
// come back as stored; pass them through usableBounds() before applying them.
void readStartupSettings(const SettingsFile& file, RecorderState& state, WindowBounds& shell);

// WasRunning := Status/Running (default 0), then Running = 1 is written and flushed at once,
// so that a second copy started meanwhile finds it set. False (with error) if the file cannot
// be written; the program can still run.
bool readAndMarkRunning(SettingsFile& file, RecorderState& state, QString* error = nullptr);

// Size of the "Add Text" window; width and height are the defaults on entry.
void readEditFormSize(const SettingsFile& file, int& width, int& height);

// Close: the window geometry (only when the main window is in its normal state, neither
// minimized nor maximized), Running = 0, MainForm/Status = 1, the hardware keys, the skin and
// the colours, in this order. Does not flush.
void writeShutdownSettings(SettingsFile& file, const RecorderState& state, const WindowBounds& shell,
                           bool shellNormalState, int editWidth, int editHeight);

// Stored geometry can come from another monitor set-up or a hand edit. This keeps it whenever
// the window can be used, and otherwise brings it back: a size below the designed (default) size
// becomes the designed size, one above 4 x the largest screen that; a window whose top row does
// not show on any screen (at least 100 x 50 pixels of it) goes to the default place. With no
// screens known only the size is repaired.
WindowBounds usableBounds(WindowBounds wanted, const QList<QRect>& screens);

// Size of the "Add Text" window brought into 120 .. 4000 pixels each way.
QSize usableEditSize(QSize wanted);
