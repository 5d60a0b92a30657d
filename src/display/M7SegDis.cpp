#include "display/M7SegDis.h"

#include <QPainter>

#include "display/SevenSegment.h"

M7SegDisp::M7SegDisp(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("M7SegDisp"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    backColor_ = fromQColor(palette().color(QPalette::Button));
    resize(DefaultWidth, DefaultHeight);
    Paint();
}

void M7SegDisp::setValue(uint8_t value)
{
    if (value >= 10)
        return;
    value_ = value;
    Paint();
}

void M7SegDisp::setDispColor(Colour colour)
{
    dispColor_ = colour;
    Paint();
}

void M7SegDisp::setBackColor(Colour colour)
{
    backColor_ = colour;
    Paint();
}

void M7SegDisp::setDispOffColor(Colour colour)
{
    dispOffColor_ = colour;
    Paint();
}

QColor M7SegDisp::toQColor(Colour colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

Colour M7SegDisp::fromQColor(const QColor& colour)
{
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

void M7SegDisp::Paint()
{
    frame_ = sevenseg::render(width(), height(), value_, dispColor_, dispOffColor_, backColor_);
    update();
}

void M7SegDisp::resizeEvent(QResizeEvent*)
{
    Paint();
}

void M7SegDisp::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, frame_);
}
