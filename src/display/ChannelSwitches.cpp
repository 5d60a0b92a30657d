// The channel switches CheckBox9..CheckBox12 ("ON" under CH1..CH4): a switched-off channel is not
// drawn and its DVM panel is greyed; it is still sampled, stored and saved. The switches are
// disabled while a recording runs, so a switch always happens on a stopped screen.
#include <QCheckBox>
#include <QFrame>
#include <QLabel>

#include "display/M7SegDis.h"
#include "shell/Winrecx.h"

namespace {

constexpr Colour White = 0xFFFFFF;
constexpr Colour Grey = 0x808080;
constexpr Colour Navy = 0x800000;
constexpr Colour Black = 0x000000;

void setFill(QWidget* box, Colour colour)
{
    QPalette pal = box->palette();
    pal.setColor(QPalette::Window, M7SegDisp::toQColor(colour));
    box->setPalette(pal);
}

void setTextColour(QWidget* label, Colour colour)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, M7SegDisp::toQColor(colour));
    label->setPalette(pal);
}

// The digits as the DVM refresh draws an over-range reading: - - - -.
bool isOverRangeLook(const TForm1_rec::DvmPanel& d)
{
    return d.digits[0]->dispColor() == Navy && d.digits[0]->dispOffColor() == White;
}

}  // namespace

void TForm1_rec::channelDso(int channel)
{
    const bool on = channelSwitch[static_cast<size_t>(channel)]->isChecked();
    screen.switchChannel(channel, on);
    setTextColour(LabelCh[static_cast<size_t>(channel)],
                  on ? st.ActiveColors[static_cast<size_t>(Ch1 + channel)] : Black);
}

void TForm1_rec::channelSwitchClick(int channel)
{
    channelDso(channel);

    const bool on = channelSwitch[static_cast<size_t>(channel)]->isChecked();
    DvmPanel& d = dvm[static_cast<size_t>(channel)];
    QFrame* point = d.points[1];  // the fixed decimal point between digits 2 and 3
    Colour sign = White;
    if (on) {
        // The digits white on navy. A panel that shows an over-range reading (digits in the panel
        // colour, only the middle bars lit white) keeps showing it: white alone would light every
        // segment, 88.88, a reading never measured.
        if (!isOverRangeLook(d)) {
            for (M7SegDisp* digit : d.digits) {
                digit->setDispColor(White);
                digit->setDispOffColor(Navy);
            }
        }
        setFill(point, White);
        setTextColour(d.voltLabel, White);
        setTextColour(d.dcLabel, White);
    } else {
        // The panel reads +00.00 in grey.
        for (M7SegDisp* digit : d.digits) {
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

void TForm1_rec::ch1_dso()
{
    channelDso(0);
}
void TForm1_rec::ch2_dso()
{
    channelDso(1);
}
void TForm1_rec::ch3_dso()
{
    channelDso(2);
}
void TForm1_rec::ch4_dso()
{
    channelDso(3);
}

void TForm1_rec::CheckBox9Click()
{
    channelSwitchClick(0);
}
void TForm1_rec::CheckBox10Click()
{
    channelSwitchClick(1);
}
void TForm1_rec::CheckBox11Click()
{
    channelSwitchClick(2);
}
void TForm1_rec::CheckBox12Click()
{
    channelSwitchClick(3);
}
