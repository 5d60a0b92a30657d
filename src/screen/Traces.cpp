#include "screen/Screen.h"

// Trace drawing on the persistent bitmap. Traces are drawn with the NOT-XOR pen in each channel's
// inverting colour, so a second drawing removes a trace exactly and restores what lay beneath;
// The view's traceDrawn records which traces are on the bitmap at present and must always be kept exact.

void Screen::drawTraceRegion(int first, int limit)
{
    // The sum is formed in 16 bits, which is exact because ViewOffset is at most 1700.
    double f = static_cast<uint16_t>(first + layout.ViewOffset);
    int x = static_cast<uint16_t>(layout.GridLeft);
    int count = 0;
    while (static_cast<int>(f) < limit && x < layout.GridLeft + 545 && count < static_cast<int>(points.size())) {
        const int i = static_cast<int>(f);
        const int v = buffer.TraceBuf[static_cast<size_t>(i)] & 0xFFFF;
        points[static_cast<size_t>(count++)] = QPoint(x, traceRow(layout.GridTop, v));
        x += layout.PointSpacing;
        f += layout.TraceStep;
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
    image.penColour = colours.SettingsColors[Dark_Grid];
    image.line(layout.GridLeft, layout.GridTop, layout.GridLeft + 544, layout.GridTop);
    image.line(layout.GridLeft, layout.GridTop + 256, layout.GridLeft + 544, layout.GridTop + 256);
    image.penMode = Surface::PenMode::NotXor;
}

void Screen::toggleTrace(int n)
{
    image.penColour = colours.XorColors[static_cast<size_t>(n)];
    image.penMode = Surface::PenMode::NotXor;
    image.penStyle = Surface::PenStyle::Solid;
    drawTraceRegion(n * BufferLength, n * BufferLength + buffer.ScreenSamples);
    // A full-scale trace runs along the top or bottom grid line; the line is painted over it.
    repaintEdgeLines();
}

void Screen::drawTraces()
{
    for (int n = 0; n < ChannelCount; ++n) {
        if (channels.ChannelOn[n]) {
            if (!view.traceDrawn[n])
                toggleTrace(n);
            view.traceDrawn[n] = true;
        }
    }
    repaintEdgeLines();
    if (annotation.AnnotationOn)
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
    overlay.penColour = colours.SettingsColors[Dark_Grid];
    overlay.penMode = Surface::PenMode::Copy;
    overlay.penStyle = Surface::PenStyle::Solid;
    overlay.line(layout.GridLeft, layout.GridTop, layout.GridLeft + 544, layout.GridTop);
    overlay.line(layout.GridLeft, layout.GridTop + 256, layout.GridLeft + 544, layout.GridTop + 256);
    refreshOverlay();
}

void Screen::hideLiveOverlay()
{
    setOverlayEnabled(false);
    // The live segments vanish at the next repaint: the overlay is cleared when it is disabled.
    overlay.clear();
    refreshOverlay();
}
