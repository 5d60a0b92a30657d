// The two sampling loops of the recorder window: the device loop, which runs a whole recording
// inside one timer event, and the demo tick, which takes one sample per tick of demoTimer. Both
// share the per-sample steps: elapsed time, auto-save line, wrap, live drawing and advance.
#include <QLabel>
#include <algorithm>
#include <cstdlib>
#include <QTimer>

#include "recording/TimeBase.h"
#include "ui/ScreenWidgets.h"
#include "ui/RecorderWindow.h"

void RecorderWindow::runDeviceLoop()
{
    // Not used again during this recording, so the loop cannot be entered twice. A Run pressed
    // again while a stopped loop finishes its last pass restarts the timer: that recording simply
    // goes on in the loop that is still running.
    deviceLoopTimer->stop();
    if (deviceLoopRunning)
        return;
    deviceLoopRunning = true;
    // The value displays refresh after the first 11 passes of the report loop, then every 1001.
    st.DvmRefreshCount = 990;
    const double timeStep = timeStepOf(st.RecTimeDivLabel);
    do {
        readDeviceSample();
        // A pass that got no report at all has measured nothing (the recorder is gone or silent,
        // or the stop came before the next report): it takes no sample, so no auto-save line, no
        // time step, no advance and no live point. Such a pass only ends with StopFlag set, so
        // the recording ends on its last measured sample.
        if (st.ReportCount > 0)
            perSampleSteps(timeStep, true);
    } while (!st.StopFlag);
    deviceLoopRunning = false;
    stopRecording();
}

void RecorderWindow::demoTick()
{
    // A tick that was already queued when the recording stopped takes no sample.
    if (st.Idle || !demoTimer->Enabled())
        return;
    const double timeStep = timeStepOf(st.RecTimeDivLabel);
    readDemoSample();
    perSampleSteps(timeStep, false);
}

void RecorderWindow::perSampleSteps(double timeStep, bool deviceMode)
{
    // Elapsed time. The device loop does not count its first sample.
    if (!deviceMode || st.SampleIndex != 0)
        st.ElapsedMs += st.SampleIntervalMs;
    st.ElapsedHours = st.ElapsedMs / 3600000;
    st.ElapsedMinutes = static_cast<int32_t>(st.ElapsedMs % 3600000 / 60000);
    st.ElapsedSeconds = static_cast<int32_t>(st.ElapsedMs % 3600000 % 60000 / 1000);
    st.ElapsedMinText = twoDigits(st.ElapsedMinutes);
    st.ElapsedSecText = twoDigits(st.ElapsedSeconds);
    elapsedTimeLabel->setText(elapsedText(st.ElapsedHours, st.ElapsedMinutes, st.ElapsedSeconds));

    if (st.AutoSaveOn) {
        if (!deviceMode)
            for (int c = 0; c < ChannelCount; ++c)
                st.sample(c, st.SampleIndex) = sampleOfScreenValue(st.trace(c, st.SampleIndex));
        WriteSampleLine(st.SampleIndex, timeStep);
    }

    // Wrap: the finished screen's live traces are erased with one repaint of the overlay.
    if (st.SampleIndex == LastRecordedPosition) {
        if (!st.AutoSaveOn) {
            st.ElapsedMs = 0;
            st.ElapsedHours = 0;
            st.ElapsedMinutes = 0;
            st.ElapsedSeconds = 0;
        }
        screen.showLiveOverlay();
        st.SampleIndex = 0;
        st.ScreenWrapped = true;
        st.LiveStep = 0;
    }

    // Live drawing, one line per channel per 2-pixel step. The device loop puts full negative
    // scale on the bottom grid line; the demo draws every value at GridTop + v.
    auto rowOf = [&](int v) { return deviceMode ? traceRow(st.GridTop, v) : st.GridTop + v; };
    if (st.SampleIndex == 1) {
        st.LiveX = static_cast<uint16_t>(st.GridLeft + 1);
        for (int c = 0; c < ChannelCount; ++c)
            st.LiveY[c] = static_cast<uint16_t>(rowOf(st.trace(c, 1) & 0xFFFF));
    } else {
        const int step = static_cast<int>(std::lround(st.SampleIndex / 6.25));
        if (step > st.LiveStep) {
            const int x = st.GridLeft + 2 * step - 1;
            Surface& overlay = paintBox1Surface;
            for (int c = 0; c < ChannelCount; ++c) {
                if (!st.ChannelOn[c])
                    continue;
                const int y = rowOf(st.trace(c, st.SampleIndex) & 0xFFFF);
                overlay.penColour = st.ActiveColors[Ch1 + c];
                overlay.line(st.LiveX, st.LiveY[c], x, y);
                st.LiveY[c] = static_cast<uint16_t>(y);
            }
            if (deviceMode) {
                overlay.penColour = st.SettingsColors[Dark_Grid];
                overlay.line(st.GridLeft, st.GridTop, st.GridLeft + 544, st.GridTop);
                overlay.line(st.GridLeft, st.GridTop + 256, st.GridLeft + 544, st.GridTop + 256);
            }
            // Only the strip of the new segments is repainted: the live drawing runs up to 160
            // steps a second, and a full repaint of the overlay each time would cost more than
            // the sampling itself.
            liveOverlay->update(QRect(std::min<int>(st.LiveX, x) - 1, st.GridTop - 1, std::abs(x - st.LiveX) + 3, 259));
            st.LiveX = static_cast<uint16_t>(x);
            st.LiveStep = static_cast<uint16_t>(step);
        }
    }

    ++st.SampleIndex;
    if (st.SingleShot && st.SampleIndex == LastRecordedPosition) {
        if (deviceMode)
            st.StopFlag = true;
        else
            stopRecording();
    }
}
