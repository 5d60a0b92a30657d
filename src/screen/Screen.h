#pragma once

#include <array>
#include <functional>

#include <QPoint>

#include <QString>

#include "screen/Surface.h"
#include "recording/ChannelSetup.h"
#include "recording/RunState.h"
#include "recording/ScreenBuffer.h"
#include "screen/Colours.h"
#include "screen/ViewState.h"

// The routines that draw the recorder's screen: the persistent screen bitmap and the live
// overlay above it. They read the screen buffer, the channel set-up, the run state (time base,
// mode, value texts), the view and the colours and draw on the two surfaces; they never touch a
// widget. Of the parts it is given, the screen changes only the view's layout and a channel's on
// state (switchChannel). The window connects `refreshImage` and `refreshOverlay` to its repaint.
class Screen {
public:
    static constexpr int ImageWidth = 567;
    static constexpr int ImageHeight = 299;
    static constexpr int TopTextY = 3;

    Screen(const ScreenBuffer& buffer, ChannelSetup& channels, const RunState& run, ScreenLayout& layout,
           const FileView& file, const AnnotationState& annotation, const ColourScheme& colours, ViewState& view,
           Surface& image, Surface& overlay);

    const ScreenBuffer& buffer;
    ChannelSetup& channels;
    const RunState& run;
    ScreenLayout& layout;  // grid geometry and the view's offset and step
    const FileView& file;
    const AnnotationState& annotation;
    const ColourScheme& colours;
    ViewState& view;   // markers, their drag, the traces drawn, the bright grid
    Surface& image;    // the screen bitmap
    Surface& overlay;  // the live overlay

    std::function<void()> refreshImage = [] {};
    std::function<void()> refreshOverlay = [] {};

    // Geometry of the grid and the text rows, from the size of the screen bitmap.
    void computeGeometry();

    // Draws `text` opaque on the screen bitmap with its top-left at (x, y) in `colour`; the cell is filled with
    // the surface's brush colour (Background at rest).
    void drawText(const QString& text, int x, int y, Colour colour);
    // The same on the overlay, with the cell filled with Background.
    void drawOverlayText(const QString& text, int x, int y, Colour colour);

    void drawGrid();
    void drawScaleTexts();
    // Carries out a pending clear: a fresh bitmap with grid and texts. Returns whether it did.
    bool redrawIfClearPending();

    // The drawing of a freshly created window: grid, sample rate, time per division, range labels.
    void drawStartupScreen();

    // Text slots.
    int rangeLabelX(int channel) const { return layout.GridLeft + 10 + 60 * channel; }
    int valueTextX(int channel) const { return layout.GridLeft + 10 + 60 * channel; }
    int demoMarkX() const { return layout.GridLeft + 240; }
    int timeDivX() const { return layout.GridLeft + 390; }
    int autoSaveMarkX() const { return layout.GridLeft + 450; }
    int sampleRateX() const { return layout.GridLeft + 485; }
    int voltReadoutX() const { return layout.GridLeft + 380; }
    int timeReadoutX() const { return layout.GridLeft + 460; }

    void drawSampleRate();
    void drawTimeDiv(Colour colour);

    // The armed auto-save file, empty while none is armed (kept by the data-file handlers). Every
    // drawing of the texts shows "AUTOSAVE ON" while a file is armed, and the line that names the
    // file while a recording writes it, so a full redraw never hides that the recording is saved.
    QString autoSaveFile;
    bool autoSaveArmed() const { return run.AutoSaveOn && !autoSaveFile.isEmpty(); }
    // "AUTOSAVE ON" in bold, and the "SAVING DATA TO FILE: " line of `path`; in the Background
    // colour they erase the texts.
    void drawAutoSaveMark(Colour colour);
    void drawAutoSaveFileLine(const QString& path, Colour colour);

    // ---- Measuring markers (Markers.cpp)
    // Draws every marker line dotted with the inverting pen when markers are shown; a second call with the
    // same state removes them again, so callers use it as a toggle.
    void toggleMarkers();
    // Recomputes, redraws and stores the voltage readout (nothing while markers are off).
    void updateVoltReadout();
    // Recomputes, redraws and stores the time readout and redraws the sample rate (nothing while
    // markers are off). absoluteTime: the "dV && t" mode, whose readout is a time from the start.
    void updateTimeReadout(bool absoluteTime);
    // Grabs the marker nearest to (x, y) and shows it as a solid line while it is held.
    void grabMarker(int x, int y);
    // Moves the held marker to (x, y), kept inside the grid, and updates its readout.
    void moveMarker(int x, int y, bool absoluteTime);
    // Releases the held marker: dotted again at its new place; both readouts redrawn.
    void releaseMarker(bool absoluteTime);
    // A channel switched on or off on the screen: its trace, range label and value text, and the
    // voltage markers and readout recoloured for the new set of enabled channels. Idempotent.
    void switchChannel(int n, bool on);

    // ---- Traces of the screen buffer on the screen bitmap, drawn and removed with the inverting pen.
    // Toggles channel n's trace (0..3); the caller keeps view.traceDrawn.
    void toggleTrace(int n);
    // Computes the points of the channel whose region starts at `first`, reading positions below
    // `limit`, and draws them.
    void drawTraceRegion(int first, int limit);
    // Draws the first `count` points of the point buffer as one polyline with the current pen.
    void drawTracePolyline(int count);
    // Draws every enabled channel not yet drawn, then the annotation.
    void drawTraces();
    // Removes every drawn trace.
    void removeTraces();
    // The live overlay on (cleared, with its top and bottom grid lines) and off.
    void showLiveOverlay();
    void hideLiveOverlay();
    // Repaints the top and bottom grid lines in the dark grid colour, then rests in NOT-XOR.
    void repaintEdgeLines();

    // Hooks of the window: the overlay's enabled state and the annotation drawing.
    std::function<void(bool)> setOverlayEnabled = [](bool) {};
    std::function<void()> drawAnnotation = [] {};

    // The points of the last drawTraceRegion (x, y in screen bitmap pixels).
    std::array<QPoint, 273> points{};

private:
    Colour active(ColourIndex i) const { return colours.ActiveColors[i]; }
    // One marker line with the present pen: voltage marker at row y, time marker at column x.
    void voltMarkerLine(int y);
    void timeMarkerLine(int x);
    // The held marker's line (drag target 1, 2: time; 3, 4: voltage) at its drag position, dotted or
    // solid, with the inverting pen in the marker's colour.
    void heldMarkerLine(bool dotted);
};

// The sample-rate text of a sample interval, trailing blanks included (they overwrite a longer
// previous text). Unknown intervals give an empty text.
QString sampleRateText(int sampleIntervalMs);
