#include "ui/SevenSegmentDigit.h"

#include <QPainter>

#include "screen/SevenSegment.h"

SevenSegmentDigit::SevenSegmentDigit(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SevenSegmentDigit"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    backColor_ = fromQColor(palette().color(QPalette::Button));
    resize(DefaultWidth, DefaultHeight);
    paintFrame();
}

void SevenSegmentDigit::setValue(uint8_t value)
{
    if (value >= 10)
        return;
    value_ = value;
    paintFrame();
}

void SevenSegmentDigit::setDispColor(Colour colour)
{
    dispColor_ = colour;
    paintFrame();
}

void SevenSegmentDigit::setBackColor(Colour colour)
{
    backColor_ = colour;
    paintFrame();
}

void SevenSegmentDigit::setDispOffColor(Colour colour)
{
    dispOffColor_ = colour;
    paintFrame();
}

QColor SevenSegmentDigit::toQColor(Colour colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

Colour SevenSegmentDigit::fromQColor(const QColor& colour)
{
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

void SevenSegmentDigit::paintFrame()
{
    frame_ = sevenseg::render(width(), height(), value_, dispColor_, dispOffColor_, backColor_);
    update();
}

void SevenSegmentDigit::resizeEvent(QResizeEvent*)
{
    paintFrame();
}

void SevenSegmentDigit::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, frame_);
}
