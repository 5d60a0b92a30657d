#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>

#include "ui/RecorderState.h"

// One decimal digit shown as a seven-segment display whose segments scale with the control's
// size. Each segment is drawn in the "on" or the "off" colour, so patterns other than digits
// (the DVM's over-range dash) come from the choice of colours. The control takes no input:
// mouse events go to the widget below it.
//
// Every property change paints the whole digit at once into an off-screen bitmap (the drawing is
// sevenseg::paint); the paint event only copies that bitmap, so the control never shows a
// half-drawn digit.
class SevenSegmentDigit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(uint8_t value READ value WRITE setValue)
    Q_PROPERTY(Colour dispColor READ dispColor WRITE setDispColor)
    Q_PROPERTY(Colour backColor READ backColor WRITE setBackColor)
    Q_PROPERTY(Colour dispOffColor READ dispOffColor WRITE setDispOffColor)
public:
    static constexpr int DefaultWidth = 40;
    static constexpr int DefaultHeight = 70;
    static constexpr Colour DefaultDispColor = 0x00FF00;     // lime
    static constexpr Colour DefaultDispOffColor = 0x808080;  // grey

    explicit SevenSegmentDigit(QWidget* parent = nullptr);

    uint8_t value() const { return value_; }
    Colour dispColor() const { return dispColor_; }
    Colour backColor() const { return backColor_; }
    Colour dispOffColor() const { return dispOffColor_; }

    // 0..9 is stored and shown at once; 10 or more is ignored and the digit stays as it was.
    void setValue(uint8_t value);
    // Colours (red in the low byte) are stored and the control repainted, even when unchanged.
    void setDispColor(Colour colour);
    void setBackColor(Colour colour);
    void setDispOffColor(Colour colour);

    // Colour <-> QColor for a 24-bit value with red in the low byte.
    static QColor toQColor(Colour colour);
    static Colour fromQColor(const QColor& colour);

    // The digit as last painted, the size of the control.
    const QImage& frame() const { return frame_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Paints the digit off-screen and schedules the copy onto the control.
    void paintFrame();

    QImage frame_;
    uint8_t value_ = 0;
    Colour dispColor_ = DefaultDispColor;
    Colour backColor_ = 0;
    Colour dispOffColor_ = DefaultDispOffColor;
};
