// The "Time/Div." buttons and the demo source of the recorder window.
#include <QToolButton>

#include "recording/DemoSource.h"
#include "recording/TimeBase.h"
#include "ui/RecorderWindow.h"

void RecorderWindow::timeButtonClick(int index)
{
    const TimeBaseEntry& entry = TimeBases[static_cast<size_t>(index)];
    timeButtons[static_cast<size_t>(index)]->setChecked(true);
    st.TimeDivCode = entry.timeDivCode;
    st.SampleIntervalMs = entry.sampleIntervalMs;
    st.BaseTraceStep = 6.25;
    setTimeBase(QString::fromLatin1(entry.label));
}

void RecorderWindow::setTimeBase(const QString& label)
{
    redrawIfClearPending();
    screen.removeTraces();
    // A horizontal zoom of the stored screen: 6.25 positions per step at the time base it was
    // recorded with, fewer (stretched) at a shorter one, more (compressed) at a longer one.
    st.TraceStep = static_cast<double>(st.TimeDivCode) / st.BufferTimeDivCode * st.BaseTraceStep;
    // The old text is drawn again in the background colour, which removes it completely.
    screen.drawTimeDiv(st.ActiveColors[Background]);
    st.TimeDivLabel = label;
    screen.drawTimeDiv(st.ActiveColors[Time_Marker]);
    screen.drawSampleRate();
    updateTimeReadout();
    screen.drawTraces();
    if (st.DemoMode) {
        st.DemoStep = 1;
        buildDemoSignals();
    }
}

void RecorderWindow::demoSetup()
{
    buildDemoTables();
    buildDemoSignals();
}

void RecorderWindow::buildDemoTables()
{
    // The demo ranges: CH1 on ±8 V, CH2..CH4 on ±2 V, and the time base "1s".
    range8VCh1Click();
    range2VCh2Click();
    range2VCh3Click();
    range2VCh4Click();
    timeBase1sClick();
    st.ClearPending = true;
    redrawIfClearPending();
    random.seed(std::random_device{}());
    demo::buildSources(st, random);
}

void RecorderWindow::buildDemoSignals()
{
    if (st.DemoMode)
        drawText(QStringLiteral("DEMO"), screen.demoMarkX(), Screen::TopTextY, st.ActiveColors[Bright_Grid]);
    demo::buildScreenTables(st, st);
}
