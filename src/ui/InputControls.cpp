#include "ui/InputControls.h"

#include "ui/RecorderState.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGroupBox>
#include <QToolButton>

#include "device/Commands.h"
#include "device/DeviceLink.h"
#include "recording/DemoSource.h"
#include "recording/TimeBase.h"
#include "screen/Screen.h"
#include "ui/Application.h"
#include "ui/ChannelRangeRow.h"
#include "ui/DvmPanel.h"
#include "ui/MeasuringTools.h"
#include "ui/TimeBaseGroup.h"

InputControls::InputControls(QObject* parent, RecorderState& state, Screen& screen, QGroupBox* rangeBox,
                             const std::array<ChannelRangeRow*, 4>& rows, TimeBaseGroup* timeBase,
                             const std::array<DvmPanel*, 4>& panels, MeasuringTools& measuring)
    : QObject(parent),
      st(state),
      screen_(screen),
      rangeBox_(rangeBox),
      rows_(rows),
      timeBase_(timeBase),
      panels_(panels),
      measuring_(measuring)
{
}

void InputControls::selectRange(int channel, int rangeIndex)
{
    const RangeEntry& range = Ranges[static_cast<size_t>(rangeIndex)];
    rows_[static_cast<size_t>(channel)]->rangeButton(rangeIndex)->setChecked(true);
    st.ChannelRange[channel] = static_cast<uint8_t>(range.channelRange);
    setChannelRange(QString::fromUtf8(range.label), channel + 1);
    measuring_.updateVoltReadout();
    st.CalOffset[channel] = range.usesOffset4 ? st.HwOffset4 : 0;
}

void InputControls::setChannelRange(const QString& label, int channel)
{
    // Without a recorder nothing is sent, as every command does nothing in demo mode.
    if (DeviceLink* link = windows().device)
        link->sendRanges(st.ChannelRange);
    screen_.redrawIfClearPending();
    if (channel >= 1 && channel <= ChannelCount) {
        const int n = channel - 1;
        const int x = screen_.rangeLabelX(n);
        screen_.drawText(st.RangeLabel[n], x, Screen::TopTextY, st.ActiveColors[Background]);
        if (st.ChannelOn[n])
            screen_.drawText(label, x, Screen::TopTextY, st.ActiveColors[Ch1 + n]);
        st.RangeLabel[n] = label;
        screen_.refreshImage();
    }
    if (st.DemoMode)
        buildDemoSignals();
}

void InputControls::selectTimeBase(int index)
{
    const TimeBaseEntry& entry = TimeBases[static_cast<size_t>(index)];
    timeBase_->button(index)->setChecked(true);
    st.TimeDivCode = entry.timeDivCode;
    st.SampleIntervalMs = entry.sampleIntervalMs;
    st.BaseTraceStep = 6.25;
    setTimeBase(QString::fromLatin1(entry.label));
}

void InputControls::setTimeBase(const QString& label)
{
    screen_.redrawIfClearPending();
    screen_.removeTraces();
    // A horizontal zoom of the stored screen: 6.25 positions per step at the time base it was
    // recorded with, fewer (stretched) at a shorter one, more (compressed) at a longer one.
    st.TraceStep = static_cast<double>(st.TimeDivCode) / st.BufferTimeDivCode * st.BaseTraceStep;
    // The old text is drawn again in the background colour, which removes it completely.
    screen_.drawTimeDiv(st.ActiveColors[Background]);
    st.TimeDivLabel = label;
    screen_.drawTimeDiv(st.ActiveColors[Time_Marker]);
    screen_.drawSampleRate();
    measuring_.updateTimeReadout();
    screen_.drawTraces();
    if (st.DemoMode) {
        st.DemoStep = 1;
        buildDemoSignals();
    }
}

// A switched-off channel is not drawn and its DVM panel is greyed; it is still sampled, stored and
// saved. The switches are disabled while a recording runs, so a switch always happens on a stopped
// screen.
void InputControls::applyChannelSwitch(int channel)
{
    const size_t c = static_cast<size_t>(channel);
    const bool on = rows_[c]->onSwitch()->isChecked();
    screen_.switchChannel(channel, on);
    rows_[c]->setLabelColour(on ? st.ActiveColors[static_cast<size_t>(Ch1 + channel)] : 0x000000);
}

void InputControls::channelSwitchClick(int channel)
{
    const size_t c = static_cast<size_t>(channel);
    applyChannelSwitch(channel);
    panels_[c]->showChannelOn(rows_[c]->onSwitch()->isChecked());
}

void InputControls::applyChannelSwitches()
{
    for (int channel = 0; channel < ChannelCount; ++channel)
        channelSwitchClick(channel);
}

void InputControls::setRecordingLocked(bool locked)
{
    for (ChannelRangeRow* row : rows_)
        row->onSwitch()->setEnabled(!locked);
    timeBase_->setEnabled(!locked);
    if (!locked)
        rangeBox_->setEnabled(true);
}

void InputControls::demoSetup()
{
    // The demo ranges: CH1 on ±8 V, CH2..CH4 on ±2 V, and the time base "1s".
    selectRange(0, rangeIndexOf(80));
    for (int channel = 1; channel < ChannelCount; ++channel)
        selectRange(channel, rangeIndexOf(20));
    selectTimeBase(TimeBase1s);
    st.ClearPending = true;
    screen_.redrawIfClearPending();
    random_.seed(std::random_device{}());
    demo::buildSources(st, random_);
    buildDemoSignals();
}

void InputControls::buildDemoSignals()
{
    if (st.DemoMode)
        screen_.drawText(QStringLiteral("DEMO"), screen_.demoMarkX(), Screen::TopTextY, st.ActiveColors[Bright_Grid]);
    demo::buildScreenTables(st, st);
}

void InputControls::rebuildDemoSources()
{
    demo::buildSources(st, random_);
    buildDemoSignals();
}

void InputControls::seedDemo()
{
    random_.seed(static_cast<std::mt19937::result_type>(QDateTime::currentMSecsSinceEpoch()));
}
