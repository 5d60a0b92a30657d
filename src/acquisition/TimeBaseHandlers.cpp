// The "Time/Div." buttons and the demo source of the recorder window.
#include <QToolButton>

#include "acquisition/DemoSource.h"
#include "acquisition/TimeBase.h"
#include "shell/Winrecx.h"

void TForm1_rec::TimeButtonClick(int index)
{
    const TimeBaseEntry& entry = TimeBases[static_cast<size_t>(index)];
    timeButtons[static_cast<size_t>(index)]->setChecked(true);
    st.TimeDivCode = entry.timeDivCode;
    st.SampleIntervalMs = entry.sampleIntervalMs;
    st.BaseTraceStep = 6.25;
    AsetaAika(QString::fromLatin1(entry.label));
}

void TForm1_rec::AsetaAika(const QString& label)
{
    putsataanko();
    screen.poisto();
    // A horizontal zoom of the stored screen: 6.25 positions per step at the time base it was
    // recorded with, fewer (stretched) at a shorter one, more (compressed) at a longer one.
    st.TraceStep = static_cast<double>(st.TimeDivCode) / st.BufferTimeDivCode * st.BaseTraceStep;
    // The old text is drawn again in the background colour, which removes it completely.
    screen.drawTimeDiv(st.ActiveColors[Background]);
    st.TimeDivLabel = label;
    screen.drawTimeDiv(st.ActiveColors[Time_Marker]);
    screen.drawSampleRate();
    kursoriaika();
    screen.piirrot();
    if (st.DemoMode) {
        st.DemoStep = 1;
        tee_demo();
    }
}

void TForm1_rec::demoSetup()
{
    tee_demo_taulut();
    tee_demo();
}

void TForm1_rec::tee_demo_taulut()
{
    // The demo ranges: CH1 on ±8 V, CH2..CH4 on ±2 V, and the time base "1s".
    SpeedButton8ch1Click();
    SpeedButton2ch2Click();
    SpeedButton2ch3Click();
    SpeedButton2ch4Click();
    SpeedButton1sClick();
    st.ClearPending = true;
    putsataanko();
    random.seed(std::random_device{}());
    demo::buildSources(st, random);
}

void TForm1_rec::tee_demo()
{
    if (st.DemoMode)
        TulostaTeksti(QStringLiteral("DEMO"), screen.demoMarkX(), Screen::TopTextY, st.ActiveColors[Bright_Grid]);
    demo::buildScreenTables(st);
}

void TForm1_rec::LueDemo()
{
    demo::takeSample(st);
    const demo::Refresh refresh = demo::advanceDisplayClocks(st, static_cast<int>(FastTimer1->Interval()));
    if (refresh.dvm && DVMDisplay1->isChecked())
        DVM_display();
    if (refresh.values)
        v_display();
}
