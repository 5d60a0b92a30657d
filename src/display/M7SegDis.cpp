#include "display/M7SegDis.h"

#include <QPainter>

M7SegDisp::M7SegDisp(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("M7SegDisp"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    backColor_ = fromQColor(palette().color(QPalette::Button));
    resize(DefaultWidth, DefaultHeight);
}

void M7SegDisp::setValue(uint8_t value)
{
    if (value >= 10)
        return;
    value_ = value;
    update();
}

void M7SegDisp::setDispColor(Colour colour)
{
    dispColor_ = colour;
    update();
}

void M7SegDisp::setBackColor(Colour colour)
{
    backColor_ = colour;
    update();
}

void M7SegDisp::setDispOffColor(Colour colour)
{
    dispOffColor_ = colour;
    update();
}

QColor M7SegDisp::toQColor(Colour colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

Colour M7SegDisp::fromQColor(const QColor& colour)
{
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

void M7SegDisp::paintEvent(QPaintEvent*)
{
    // Only the background for now; the segments (outline plus border-bounded fill per segment,
    // drawn off-screen and copied in one go) come with the digit drawing.
    QPainter p(this);
    p.fillRect(rect(), toQColor(backColor_));
}
