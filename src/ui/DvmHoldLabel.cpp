#include "ui/DvmHoldLabel.h"

#include <QPainter>
#include <QStyle>

#include "screen/ValueDisplay.h"

DvmHoldLabel::DvmHoldLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

QSize DvmHoldLabel::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return QSize(dvm::holdLabelLayout(text(), metrics).width, metrics.height()).grownBy(contentsMargins());
}

QSize DvmHoldLabel::minimumSizeHint() const
{
    return sizeHint();
}

void DvmHoldLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect();
    const dvm::HoldLabelLayout layout = dvm::holdLabelLayout(text(), fontMetrics());
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    style()->drawItemText(&painter, area, flags, palette(), isEnabled(), layout.hold, foregroundRole());
    if (!layout.stamp.isEmpty())
        style()->drawItemText(&painter, area.adjusted(layout.stampX, 0, 0, 0), flags, palette(), isEnabled(),
                              layout.stamp, foregroundRole());
}
