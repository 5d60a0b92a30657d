// The channel switches CheckBox9..CheckBox12 ("ON" under CH1..CH4): a switched-off channel is not
// drawn and its DVM panel is greyed; it is still sampled, stored and saved. The switches are
// disabled while a recording runs, so a switch always happens on a stopped screen.
#include <QCheckBox>
#include <QFrame>
#include <QLabel>

#include "ui/SevenSegmentDigit.h"
#include "ui/RecorderWindow.h"

namespace {

constexpr Colour White = 0xFFFFFF;
constexpr Colour Grey = 0x808080;
constexpr Colour Navy = 0x800000;
constexpr Colour Black = 0x000000;

void setFill(QWidget* box, Colour colour)
{
    QPalette pal = box->palette();
    pal.setColor(QPalette::Window, SevenSegmentDigit::toQColor(colour));
    box->setPalette(pal);
}

void setTextColour(QWidget* label, Colour colour)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, SevenSegmentDigit::toQColor(colour));
    label->setPalette(pal);
}

// The digits as the DVM refresh draws an over-range reading: - - - -.
bool isOverRangeLook(const RecorderWindow::DvmPanel& d)
{
    return d.digits[0]->dispColor() == Navy && d.digits[0]->dispOffColor() == White;
}

}  // namespace

void RecorderWindow::applyChannelSwitch(int channel)
{
    const bool on = channelSwitch[static_cast<size_t>(channel)]->isChecked();
    screen.switchChannel(channel, on);
    setTextColour(channelLabels[static_cast<size_t>(channel)],
                  on ? st.ActiveColors[static_cast<size_t>(Ch1 + channel)] : Black);
}

void RecorderWindow::channelSwitchClick(int channel)
{
    applyChannelSwitch(channel);

    const bool on = channelSwitch[static_cast<size_t>(channel)]->isChecked();
    DvmPanel& d = dvm[static_cast<size_t>(channel)];
    QFrame* point = d.points[1];  // the fixed decimal point between digits 2 and 3
    Colour sign = White;
    if (on) {
        // The digits white on navy. A panel that shows an over-range reading (digits in the panel
        // colour, only the middle bars lit white) keeps showing it: white alone would light every
        // segment, 88.88, a reading never measured.
        if (!isOverRangeLook(d)) {
            for (SevenSegmentDigit* digit : d.digits) {
                digit->setDispColor(White);
                digit->setDispOffColor(Navy);
            }
        }
        setFill(point, White);
        setTextColour(d.voltLabel, White);
        setTextColour(d.dcLabel, White);
    } else {
        // The panel reads +00.00 in grey.
        for (SevenSegmentDigit* digit : d.digits) {
            digit->setValue(0);
            digit->setDispColor(Grey);
            digit->setDispOffColor(Navy);
        }
        setFill(point, Grey);
        setTextColour(d.voltLabel, Grey);
        setTextColour(d.dcLabel, Grey);
        d.plusBar->setVisible(true);
        sign = Grey;
    }
    setFill(d.minusBar, sign);
    setFill(d.plusBar, sign);
    d.maxBox->setEnabled(on);
    d.minBox->setEnabled(on);
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
