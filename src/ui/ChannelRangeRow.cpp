#include "ui/ChannelRangeRow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QToolButton>

#include "ui/WidgetBuilders.h"

using namespace widgets;

namespace {

// Name tokens and captions of the range buttons, in button order.
const std::array<const char*, 6> RangeTokens = {"20", "8", "4", "2", "08", "04"};
const std::array<const char*, 6> RangeCaptions = {"±20V", "±8V", "±4V", "±2V", "±0.8V", "±0.4V"};  // UTF-8

// The row's place in the box: the right half starts 292 pixels on, the lower rows 48 pixels down.
// The row covers its controls only, so the rows never lie over each other.
QRect rowGeometry(int channel)
{
    return {5 + channel / 2 * 292, 20 + channel % 2 * 48, 280, 43};
}

}  // namespace

ChannelRangeRow::ChannelRangeRow(int channel, QWidget* box) : QWidget(box)
{
    const QString n = QString::number(channel + 1);
    setObjectName(QStringLiteral("channelRangeRow") + n);
    setGeometry(rowGeometry(channel));

    labelPanel_ =
        makePanel(this, QStringLiteral("channelLabelPanel") + n, {3, 0, 33, 25}, QFrame::StyledPanel | QFrame::Raised);
    setBackground(labelPanel_, qColour(Grey));
    // The label's text colour follows the channel colour; the colour handlers set it.
    channelLabel_ = makeLabel(labelPanel_, QStringLiteral("channelLabel") + n, QStringLiteral("CH") + n, 0, 0, 33);
    channelLabel_->setGeometry(0, 0, 33, 25);
    channelLabel_->setAlignment(Qt::AlignCenter);
    setBold(channelLabel_);

    onSwitch_ = makeCheckBox(this, QStringLiteral("channel%1Switch").arg(n), QStringLiteral("ON"), 0, 24);
    onSwitch_->resize(44, 19);
    onSwitch_->setChecked(true);
    connect(onSwitch_, &QCheckBox::clicked, this, &ChannelRangeRow::switchClicked);

    group_ = new QButtonGroup(this);
    group_->setObjectName(QStringLiteral("rangeGroupChannel") + n);
    group_->setExclusive(true);
    for (int i = 0; i < RangeCount; ++i) {
        const size_t r = static_cast<size_t>(i);
        const QString name = QStringLiteral("range") + QLatin1String(RangeTokens[r]) + QStringLiteral("VCh") + n +
                             QStringLiteral("Button");
        QToolButton* button =
            makeButton(this, name, QString::fromUtf8(RangeCaptions[r]), {43 + 40 * i, 0, 37, 25}, true);
        group_->addButton(button, i);
        connect(button, &QToolButton::clicked, this, [this, i] { emit rangeClicked(i); });
        rangeButtons_[r] = button;
    }
    rangeButtons_[0]->setChecked(true);
}

void ChannelRangeRow::setLabelColour(Colour colour)
{
    setTextColour(channelLabel_, qColour(colour));
}
