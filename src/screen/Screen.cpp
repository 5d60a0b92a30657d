#include "screen/Screen.h"

#include <QDir>

Screen::Screen(const ScreenBuffer& bufferPart, ChannelSetup& channelPart, const RunState& runPart,
               ScreenLayout& layoutPart, const FileView& filePart, const AnnotationState& annotationPart,
               const ColourScheme& colourPart, ViewState& viewState, Surface& imageSurface, Surface& overlaySurface)
    : buffer(bufferPart),
      channels(channelPart),
      run(runPart),
      layout(layoutPart),
      file(filePart),
      annotation(annotationPart),
      colours(colourPart),
      view(viewState),
      image(imageSurface),
      overlay(overlaySurface)
{
    image.font = screenFont();
    overlay.font = screenFont();
}

QString sampleRateText(int sampleIntervalMs)
{
    switch (sampleIntervalMs) {
        case 1:
            return QStringLiteral("1000S/s    ");
        case 2:
            return QStringLiteral("500S/s     ");
        case 5:
            return QStringLiteral("200S/s     ");
        case 10:
            return QStringLiteral("100S/s    ");
        case 20:
            return QStringLiteral("50S/s     ");
        case 50:
            return QStringLiteral("20S/s     ");
        case 100:
            return QStringLiteral("10S/s      ");
        case 200:
            return QStringLiteral("5S/s    ");
        case 500:
            return QStringLiteral("2S/s    ");
        case 1000:
            return QStringLiteral("1S/s    ");
        case 2000:
            return QStringLiteral("1S/2s    ");
        case 5000:
            return QStringLiteral("1S/5s    ");
        case 10000:
            return QStringLiteral("1S/10s    ");
        default:
            return {};
    }
}

void Screen::computeGeometry()
{
    // Integer halving toward zero; the designed 567 x 299 surface gives 10, 20, 279, 555, 277.
    layout.GridLeft = image.width() / 2 - 273;
    layout.GridTop = image.height() / 2 - 129;
    layout.BottomTextY = static_cast<uint16_t>(image.height() - 20);
    layout.MarkerRightX = image.width() - layout.GridLeft - 2;
    layout.MarkerBottomY = image.height() - layout.GridTop - 2;
}

void Screen::drawText(const QString& text, int x, int y, Colour colour)
{
    image.textOut(static_cast<uint16_t>(x), static_cast<uint16_t>(y), text, colour, true);
}

void Screen::drawOverlayText(const QString& text, int x, int y, Colour colour)
{
    overlay.brushColour = active(Background);
    overlay.textOut(static_cast<uint16_t>(x), static_cast<uint16_t>(y), text, colour, true);
}

void Screen::drawSampleRate()
{
    drawText(sampleRateText(run.SampleIntervalMs), sampleRateX(), TopTextY, active(Time_Marker));
    // "AUTOSAVE ON" covers the start of this slot while a file is armed, and stays whole.
    if (autoSaveArmed())
        drawAutoSaveMark(active(Ch1));
}

void Screen::drawTimeDiv(Colour colour)
{
    drawText(run.TimeDivLabel + "/Div.", timeDivX(), TopTextY, colour);
}

void Screen::drawAutoSaveMark(Colour colour)
{
    image.font = screenFont(true);
    drawText(QStringLiteral("AUTOSAVE ON"), autoSaveMarkX(), TopTextY, colour);
    image.font = screenFont();
}

void Screen::drawAutoSaveFileLine(const QString& path, Colour colour)
{
    // The blanks overwrite a longer text left from before.
    drawText(QStringLiteral("SAVING DATA TO FILE: ") + QDir::toNativeSeparators(path) + QString(79, QLatin1Char(' ')),
             layout.GridLeft, layout.BottomTextY, colour);
}

void Screen::drawGrid()
{
    const int gl = layout.GridLeft;
    const int gt = layout.GridTop;

    image.brushColour = active(Background);
    image.fillRect(0, 0, image.width(), image.height(), active(Background));

    image.penColour = colours.GridColor;
    image.penMode = Surface::PenMode::Copy;
    image.penStyle = Surface::PenStyle::Solid;
    for (int i = 0; i <= 8; ++i)
        image.line(gl, gt + 32 * i, gl + 545, gt + 32 * i);
    for (int i = 0; i <= 17; ++i)
        image.line(gl + 32 * i, gt, gl + 32 * i, gt + 257);

    // Frame one pixel outside the outermost grid lines, and the centre line.
    image.penColour = active(Bright_Grid);
    image.polyline({{gl - 1, gt - 1}, {gl - 1, gt + 257}, {gl + 545, gt + 257}, {gl + 545, gt - 1}, {gl - 1, gt - 1}});
    image.line(gl - 1, gt + 128, gl + 545, gt + 128);

    // NOT-XOR is the resting pen mode: traces and markers are drawn and removed in it.
    image.penMode = Surface::PenMode::NotXor;
    image.font = screenFont();

    if (view.markers.shown)
        toggleMarkers();
    drawScaleTexts();
}

void Screen::drawScaleTexts()
{
    drawText(QStringLiteral("DEMO"), demoMarkX(), TopTextY, run.DemoMode ? active(Bright_Grid) : active(Background));
    drawTimeDiv(active(Time_Marker));
    drawSampleRate();
    for (int n = 0; n < ChannelCount; ++n)
        if (channels.ChannelOn[n])
            drawText(channels.RangeLabel[n], rangeLabelX(n), TopTextY, active(static_cast<ColourIndex>(Ch1 + n)));
    if (!file.FileOnScreen)
        for (int n = 0; n < ChannelCount; ++n)
            if (channels.ChannelOn[n])
                drawText(run.ValueText[n] + "   ", valueTextX(n), layout.BottomTextY,
                         active(static_cast<ColourIndex>(Ch1 + n)));
    if (view.markers.shown && (view.markers.timeX[0] >= layout.GridLeft || view.markers.timeX[1] >= layout.GridLeft))
        drawText(view.markers.timeReadout, timeReadoutX(), layout.BottomTextY, active(Time_Marker));
    if (view.markers.shown && (view.markers.voltY[0] >= layout.GridTop || view.markers.voltY[1] >= layout.GridTop)) {
        // Drawn once per enabled channel from CH4 down; the last drawing wins, so the readout
        // shows in the colour of the lowest-numbered enabled channel.
        for (int n = ChannelCount - 1; n >= 0; --n)
            if (channels.ChannelOn[n])
                drawText(view.markers.voltReadout, voltReadoutX(), layout.BottomTextY,
                         active(static_cast<ColourIndex>(Ch1 + n)));
    }
    if (autoSaveArmed()) {
        if (!run.Idle && !file.FileViewMode)
            drawAutoSaveFileLine(autoSaveFile, active(Ch1));
        drawAutoSaveMark(active(Ch1));
    }
}

bool Screen::redrawIfClearPending()
{
    if (!layout.ClearPending)
        return false;
    image.reset(active(Background));
    drawGrid();
    refreshImage();
    view.traceDrawn.fill(false);
    layout.ClearPending = false;
    return true;
}

void Screen::drawStartupScreen()
{
    drawGrid();
    drawSampleRate();
    drawTimeDiv(active(Time_Marker));
    for (int n = 0; n < ChannelCount; ++n)
        drawText(channels.RangeLabel[n], rangeLabelX(n), TopTextY, active(static_cast<ColourIndex>(Ch1 + n)));
}

// toggleMarkers and the other marker routines are in Markers.cpp.
