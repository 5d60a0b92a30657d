#include "screen/Screen.h"

// Trace drawing on the persistent bitmap. Traces are drawn with the NOT-XOR pen in each channel's
// inverting colour, so a second drawing removes a trace exactly and restores what lay beneath;
// The view's traceDrawn records which traces are on the bitmap at present and must always be kept exact.

void Screen::drawTraceRegion(int first, int limit)
{
    // The sum is formed in 16 bits, which is exact because ViewOffset is at most 1700.
    double f = static_cast<uint16_t>(first + st.ViewOffset);
    int x = static_cast<uint16_t>(st.GridLeft);
    int count = 0;
    while (static_cast<int>(f) < limit && x < st.GridLeft + 545 && count < static_cast<int>(points.size())) {
        const int i = static_cast<int>(f);
        const int v = st.TraceBuf[static_cast<size_t>(i)] & 0xFFFF;
        points[static_cast<size_t>(count++)] = QPoint(x, traceRow(st.GridTop, v));
        x += st.PointSpacing;
        f += st.TraceStep;
    }
    drawTracePolyline(count);
}

void Screen::drawTracePolyline(int count)
{
    image.polyline(points.data(), count);
}

void Screen::repaintEdgeLines()
{
    image.penMode = Surface::PenMode::Copy;
    image.penColour = st.SettingsColors[Dark_Grid];
    image.line(st.GridLeft, st.GridTop, st.GridLeft + 544, st.GridTop);
    image.line(st.GridLeft, st.GridTop + 256, st.GridLeft + 544, st.GridTop + 256);
    image.penMode = Surface::PenMode::NotXor;
}

void Screen::toggleTrace(int n)
{
    image.penColour = st.XorColors[static_cast<size_t>(n)];
    image.penMode = Surface::PenMode::NotXor;
    image.penStyle = Surface::PenStyle::Solid;
    drawTraceRegion(n * BufferLength, n * BufferLength + st.ScreenSamples);
    // A full-scale trace runs along the top or bottom grid line; the line is painted over it.
    repaintEdgeLines();
}

void Screen::drawTraces()
{
    for (int n = 0; n < ChannelCount; ++n) {
        if (st.ChannelOn[n]) {
            if (!view.traceDrawn[n])
                toggleTrace(n);
            view.traceDrawn[n] = true;
        }
    }
    repaintEdgeLines();
    if (st.AnnotationOn)
        drawAnnotation();
    refreshImage();
}

void Screen::removeTraces()
{
    for (int n = 0; n < ChannelCount; ++n) {
        if (view.traceDrawn[n])
            toggleTrace(n);
        view.traceDrawn[n] = false;
    }
    refreshImage();
}

void Screen::showLiveOverlay()
{
    setOverlayEnabled(true);
    overlay.clear();
    overlay.penColour = st.SettingsColors[Dark_Grid];
    overlay.penMode = Surface::PenMode::Copy;
    overlay.penStyle = Surface::PenStyle::Solid;
    overlay.line(st.GridLeft, st.GridTop, st.GridLeft + 544, st.GridTop);
    overlay.line(st.GridLeft, st.GridTop + 256, st.GridLeft + 544, st.GridTop + 256);
    refreshOverlay();
}

void Screen::hideLiveOverlay()
{
    setOverlayEnabled(false);
    // The live segments vanish at the next repaint: the overlay is cleared when it is disabled.
    overlay.clear();
    refreshOverlay();
}
