#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include "recording/ChannelSetup.h"
#include "recording/RunState.h"
#include "screen/Colours.h"
#include "settings/SettingsFile.h"

// What the settings file holds and in which order it is read and written. The functions only
// move values between the file, the program's settings (AppSettings) and the recorder's values
// (the demo mode of the run state, the calibration offsets of the channel set-up, the colour
// scheme); the windows apply them.

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

// The program's settings, owned by the application and handed to the start-up shell and the
// windows by reference: what the settings file holds for them, and the folders found at start-up.
struct AppSettings {
    WindowBounds window;         // [MainForm]: the recorder window's bounds
    bool calibrationDue = true;  // Hardware/HWdialog: the first-run calibration is still to run
    int skin = 4;                // Menu/Skin: 1..7 a skin, 8 "No Skin"; other numbers choose none
    bool wasRunning = false;     // Status/Running as found at start-up: another copy may be active
    bool resetOnExit = false;    // "Restore Default Settings & Exit": the file goes at close
    QString settingsDir;         // the folder of the settings file
    QString dataDir;             // where data files and pictures go by default
    QString exeDir;              // the program's folder, with a trailing '/'
};

// Start-up: the main window's Top, Left, Width and Height, the recorder's hardware keys (demo mode
// and offsets) and the eight colours, each defaulting to the current value; then the derived
// colours. The bounds come back as stored; pass them through usableBounds() before applying them.
void readStartupSettings(const SettingsFile& file, RunState& run, ChannelSetup& channels, ColourScheme& colours,
                         WindowBounds& shell);
// Start-up: the main window's bounds (as stored), the first-run calibration flag and the skin,
// each defaulting to the current value.
void readAppSettings(const SettingsFile& file, AppSettings& settings);

// wasRunning := Status/Running (default 0), then Running = 1 is written and flushed at once,
// so that a second copy started meanwhile finds it set. False (with error) if the file cannot
// be written; the program can still run.
bool readAndMarkRunning(SettingsFile& file, AppSettings& settings, QString* error = nullptr);

// Size of the "Add Text" window; width and height are the defaults on entry.
void readEditFormSize(const SettingsFile& file, int& width, int& height);

// Close: the window geometry (only when the main window is in its normal state, neither
// minimized nor maximized), Running = 0, MainForm/Status = 1, the hardware keys, the skin and
// the colours, in this order. Does not flush.
void writeShutdownSettings(SettingsFile& file, const RunState& run, const ChannelSetup& channels,
                           const ColourScheme& colours, const AppSettings& settings, bool shellNormalState,
                           int editWidth, int editHeight);

// Stored geometry can come from another monitor set-up or a hand edit. This keeps it whenever
// the window can be used, and otherwise brings it back: a size below the designed (default) size
// becomes the designed size, one above 4 x the largest screen that; a window whose top row does
// not show on any screen (at least 100 x 50 pixels of it) goes to the default place. With no
// screens known only the size is repaired.
WindowBounds usableBounds(WindowBounds wanted, const QList<QRect>& screens);

// Size of the "Add Text" window brought into 120 .. 4000 pixels each way.
QSize usableEditSize(QSize wanted);
