#include "ui/DvmPanel.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLabel>
#include <QLocale>

#include "screen/ValueDisplay.h"
#include "ui/DvmHoldLabel.h"
#include "ui/SevenSegmentDigit.h"
#include "ui/WidgetBuilders.h"

using namespace widgets;

namespace {

constexpr std::array<int, 4> DigitX = {36, 75, 114, 153};
constexpr std::array<int, 3> PointX = {71, 110, 149};
constexpr double NoMax = -1000.0;
constexpr double NoMin = 1000.0;

}  // namespace

DvmPanel::DvmPanel(int channel, const QRect& geometry, QWidget* parent) : QFrame(parent)
{
    const QString n = QString::number(channel + 1);
    setObjectName(QStringLiteral("dvmPanel") + n);
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    setLineWidth(1);
    setGeometry(geometry);
    setAutoFillBackground(true);  // covers the screen below it
    hide();

    channelLabel_ = makeLabel(this, QStringLiteral("dvmChannelLabel") + n, QStringLiteral("CH") + n, 134, 4, 40);
    setBold(channelLabel_);

    display_ =
        makePanel(this, QStringLiteral("dvmDisplay") + n, {16, 24, 257, 85}, QFrame::StyledPanel | QFrame::Sunken);
    setBackground(display_, qColour(Navy));

    for (size_t i = 0; i < digits_.size(); ++i) {
        auto* digit = new SevenSegmentDigit(display_);
        digit->setObjectName(QStringLiteral("dvmDigit%1_%2").arg(n).arg(i + 1));
        digit->setGeometry(DigitX[i], 14, 35, 55);
        digit->setBackColor(Navy);
        digit->setDispColor(White);
        digit->setDispOffColor(Navy);
        digits_[i] = digit;
    }

    minusBar_ = makeBox(display_, QStringLiteral("dvmMinusBar") + n, {8, 40, 21, 5}, qColour(White));
    plusBar_ = makeBox(display_, QStringLiteral("dvmPlusBar") + n, {16, 32, 5, 21}, qColour(White));
    for (size_t i = 0; i < points_.size(); ++i) {
        // Only the middle point shows at first; the outer two are the yellow points of other ranges.
        const bool middle = i == 1;
        points_[i] = makeBox(display_, QStringLiteral("dvmPoint%1_%2").arg(n).arg(i + 1), {PointX[i], 62, 5, 5},
                             qColour(middle ? White : Yellow));
        points_[i]->setVisible(middle);
    }

    dcLabel_ = makeLabel(display_, QStringLiteral("dvmDcLabel") + n, QStringLiteral("DC"), 199, 12, 40);
    setTextColour(dcLabel_, qColour(White));
    voltLabel_ = makeLabel(display_, QStringLiteral("dvmVoltLabel") + n, QStringLiteral("V"), 200, 37, 40);
    setBold(voltLabel_, 24);
    voltLabel_->resize(40, voltLabel_->sizeHint().height());
    setTextColour(voltLabel_, qColour(White));

    maxBox_ = makeCheckBox(this, QStringLiteral("dvmMaxBox") + n, QStringLiteral("Max"), 24, 118);
    minBox_ = makeCheckBox(this, QStringLiteral("dvmMinBox") + n, QStringLiteral("Min"), 24, 138);
    // The hold labels reach to the panel's inner edge: the time and date of an extreme need the room.
    const auto makeHoldLabel = [this](const QString& name, int y) {
        auto* label = new DvmHoldLabel(QStringLiteral("- - -"), this);
        label->setObjectName(name);
        const int x = 76;
        label->setGeometry(x, y, contentsRect().right() + 1 - x, label->sizeHint().height());
        return label;
    };
    maxLabel_ = makeHoldLabel(QStringLiteral("dvmMaxLabel") + n, 120);
    minLabel_ = makeHoldLabel(QStringLiteral("dvmMinLabel") + n, 140);
}

void DvmPanel::showReading(int value, int rangeTenths, const QDateTime& now, const QLocale& locale)
{
    const dvm::Panel shown = dvm::panel(value, rangeTenths);
    for (size_t i = 0; i < digits_.size(); ++i) {
        digits_[i]->setDispColor(White);
        digits_[i]->setDispOffColor(Navy);
        digits_[i]->setValue(shown.digits[i]);
    }
    plusBar_->setVisible(shown.plus);

    const double volts = dvm::volts(value, rangeTenths);
    const QString hold = dvm::holdValueText(value, rangeTenths, locale);
    if (maxBox_->isChecked()) {
        if (volts > heldMax_) {
            heldMax_ = volts;
            maxLabel_->setText(dvm::holdLabel(hold, now, locale));
        }
    } else {
        heldMax_ = NoMax;  // the label keeps its last text
    }
    if (minBox_->isChecked()) {
        if (volts < heldMin_) {
            heldMin_ = volts;
            minLabel_->setText(dvm::holdLabel(hold, now, locale));
        }
    } else {
        heldMin_ = NoMin;
    }
}

void DvmPanel::showOverRange()
{
    for (SevenSegmentDigit* digit : digits_) {
        digit->setValue(0);
        digit->setDispColor(Navy);
        digit->setDispOffColor(White);
    }
}

bool DvmPanel::showsOverRange() const
{
    return digits_[0]->dispColor() == Navy && digits_[0]->dispOffColor() == White;
}

void DvmPanel::showChannelOn(bool on)
{
    QFrame* point = points_[1];  // the fixed decimal point between digits 2 and 3
    Colour sign = White;
    if (on) {
        if (!showsOverRange()) {
            for (SevenSegmentDigit* digit : digits_) {
                digit->setDispColor(White);
                digit->setDispOffColor(Navy);
            }
        }
        setFill(point, White);
        setTextColour(voltLabel_, qColour(White));
        setTextColour(dcLabel_, qColour(White));
    } else {
        for (SevenSegmentDigit* digit : digits_) {
            digit->setValue(0);
            digit->setDispColor(Grey);
            digit->setDispOffColor(Navy);
        }
        setFill(point, Grey);
        setTextColour(voltLabel_, qColour(Grey));
        setTextColour(dcLabel_, qColour(Grey));
        plusBar_->setVisible(true);
        sign = Grey;
    }
    setFill(minusBar_, sign);
    setFill(plusBar_, sign);
    maxBox_->setEnabled(on);
    minBox_->setEnabled(on);
}

void DvmPanel::forgetHolds()
{
    heldMax_ = NoMax;
    heldMin_ = NoMin;
}
