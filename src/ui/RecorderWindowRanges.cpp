// The range buttons of the recorder window and the range command they send.
#include <QToolButton>

#include "device/Commands.h"
#include "device/DeviceLink.h"
#include "ui/Application.h"
#include "ui/RecorderWindow.h"

void RecorderWindow::DoWrite()
{
    // Without a recorder the write fails without effect, as every command does in demo mode.
    if (DeviceLink* link = windows().device)
        link->DoWrite();
}

void RecorderWindow::rangeButtonClick(int channel, int rangeIndex)
{
    const RangeEntry& range = Ranges[static_cast<size_t>(rangeIndex)];
    rangeButtons[static_cast<size_t>(channel)][static_cast<size_t>(rangeIndex)]->setChecked(true);
    st.ChannelRange[channel] = static_cast<uint8_t>(range.channelRange);
    setChannelRange(QString::fromUtf8(range.label), channel + 1);
    updateVoltReadout();
    st.CalOffset[channel] = range.usesOffset4 ? st.HwOffset4 : 0;
}

void RecorderWindow::setChannelRange(const QString& label, int channel)
{
    if (DeviceLink* link = windows().device)
        link->sendRanges(st.ChannelRange);
    redrawIfClearPending();
    if (channel >= 1 && channel <= ChannelCount) {
        const int n = channel - 1;
        const int x = screen.rangeLabelX(n);
        drawText(st.RangeLabel[n], x, Screen::TopTextY, st.ActiveColors[Background]);
        if (st.ChannelOn[n])
            drawText(label, x, Screen::TopTextY, st.ActiveColors[Ch1 + n]);
        st.RangeLabel[n] = label;
        screen.refreshImage();
    }
    if (st.DemoMode)
        buildDemoSignals();
}
