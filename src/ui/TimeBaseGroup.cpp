#include "ui/TimeBaseGroup.h"

#include <QButtonGroup>
#include <QToolButton>

#include "ui/WidgetBuilders.h"

namespace {

// Name tokens and captions of the time buttons, in button order; two per row, left column first.
const std::array<const char*, 13> TimeTokens = {"1000s", "500s", "200s", "100s", "50s", "20s", "10s",
                                                "5s",    "2s",   "1s",   "05s",  "02s", "01s"};
const std::array<const char*, 13> TimeCaptions = {"1000s", "500s", "200s", "100s", "50s",  "20s", "10s",
                                                  "5s",    "2s",   "1s",   "0.5s", "0.2s", "0.1s"};
constexpr int InitialButton = 9;  // "1s"

}  // namespace

TimeBaseGroup::TimeBaseGroup(QWidget* parent) : QGroupBox(QStringLiteral("Time/Div."), parent)
{
    setObjectName(QStringLiteral("timeBaseGroupBox"));
    setGeometry(604, 0, 125, 253);
    group_ = new QButtonGroup(this);
    group_->setObjectName(QStringLiteral("timeBaseGroup"));
    group_->setExclusive(true);
    for (int i = 0; i < ButtonCount; ++i) {
        const size_t t = static_cast<size_t>(i);
        const QRect geometry(8 + (i % 2) * 60, 20 + (i / 2) * 32, 49, 25);
        QToolButton* button = widgets::makeButton(
            this, QStringLiteral("timeBase") + QLatin1String(TimeTokens[t]) + QStringLiteral("Button"),
            QLatin1String(TimeCaptions[t]), geometry, true);
        group_->addButton(button, i);
        connect(button, &QToolButton::clicked, this, [this, i] { emit timeClicked(i); });
        buttons_[t] = button;
    }
    buttons_[InitialButton]->setChecked(true);
}
