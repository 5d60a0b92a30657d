// The channel switches ("ON" under CH1..CH4): a switched-off channel is not drawn and its DVM
// panel is greyed; it is still sampled, stored and saved. The switches are disabled while a
// recording runs, so a switch always happens on a stopped screen.
#include <QCheckBox>

#include "ui/ChannelRangeRow.h"
#include "ui/DvmPanel.h"
#include "ui/RecorderWindow.h"

void RecorderWindow::applyChannelSwitch(int channel)
{
    const size_t c = static_cast<size_t>(channel);
    const bool on = channelSwitch[c]->isChecked();
    screen.switchChannel(channel, on);
    rangeRows_[c]->setLabelColour(on ? st.ActiveColors[static_cast<size_t>(Ch1 + channel)] : 0x000000);
}

void RecorderWindow::channelSwitchClick(int channel)
{
    applyChannelSwitch(channel);
    dvmPanels_[static_cast<size_t>(channel)]->showChannelOn(channelSwitch[static_cast<size_t>(channel)]->isChecked());
}

void RecorderWindow::applyChannel1Switch()
{
    applyChannelSwitch(0);
}
void RecorderWindow::applyChannel2Switch()
{
    applyChannelSwitch(1);
}
void RecorderWindow::applyChannel3Switch()
{
    applyChannelSwitch(2);
}
void RecorderWindow::applyChannel4Switch()
{
    applyChannelSwitch(3);
}

void RecorderWindow::channel1SwitchClick()
{
    channelSwitchClick(0);
}
void RecorderWindow::channel2SwitchClick()
{
    channelSwitchClick(1);
}
void RecorderWindow::channel3SwitchClick()
{
    channelSwitchClick(2);
}
void RecorderWindow::channel4SwitchClick()
{
    channelSwitchClick(3);
}
