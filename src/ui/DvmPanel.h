#pragma once

#include <QFrame>
#include <array>

#include "ui/DvmHoldLabel.h"

class QCheckBox;
class QDateTime;
class QLabel;
class QLocale;

class SevenSegmentDigit;

// The DVM panel of one channel: four seven-segment digits with sign and decimal point, "DC" and
// "V", and the Max and Min hold boxes with their labels. The panel keeps the extremes it holds.
// It lies over the screen when "DVM Display" is ticked; the window tells it each reading.
class DvmPanel : public QFrame {
    Q_OBJECT
public:
    // channel 0..3; the panel's objectName is dvmPanel1..dvmPanel4, its controls' names end in
    // the channel number.
    DvmPanel(int channel, const QRect& geometry, QWidget* parent);

    // A reading within range: digits and sign, and the holds of the ticked Max and Min boxes
    // (stamped `now`). An unticked box forgets its extreme; its label keeps its last text.
    void showReading(int value, int rangeTenths, const QDateTime& now, const QLocale& locale);
    // A reading at an end of the range: only the middle bar of each digit, - - - -. Sign and holds
    // stay as they were.
    void showOverRange();
    // Paints the panel for its channel switched on (white on navy, holds enabled) or off (+00.00 in
    // grey, holds disabled). An over-range panel keeps its dashes when its channel comes on: white
    // alone would light every segment, 88.88, a reading never measured.
    void showChannelOn(bool on);
    bool showsOverRange() const;

    // The extremes held for the ticked boxes (-1000 and 1000 V when none is held).
    double heldMax() const { return heldMax_; }
    double heldMin() const { return heldMin_; }
    void forgetHolds();

    SevenSegmentDigit* digit(int index) const { return digits_[static_cast<size_t>(index)]; }
    const std::array<SevenSegmentDigit*, 4>& digits() const { return digits_; }
    QFrame* display() const { return display_; }
    QFrame* plusBar() const { return plusBar_; }
    QFrame* minusBar() const { return minusBar_; }
    QFrame* point(int index) const { return points_[static_cast<size_t>(index)]; }
    QLabel* dcLabel() const { return dcLabel_; }
    QLabel* voltLabel() const { return voltLabel_; }
    QCheckBox* maxBox() const { return maxBox_; }
    QCheckBox* minBox() const { return minBox_; }
    QLabel* maxLabel() const { return maxLabel_; }
    QLabel* minLabel() const { return minLabel_; }

private:
    QLabel* channelLabel_ = nullptr;
    QFrame* display_ = nullptr;
    std::array<SevenSegmentDigit*, 4> digits_{};  // left to right
    QFrame* minusBar_ = nullptr;                  // horizontal bar of the sign
    QFrame* plusBar_ = nullptr;                   // vertical bar of the sign
    std::array<QFrame*, 3> points_{};             // decimal points at x = 71, 110, 149
    QLabel* dcLabel_ = nullptr;
    QLabel* voltLabel_ = nullptr;
    QCheckBox* maxBox_ = nullptr;
    QCheckBox* minBox_ = nullptr;
    DvmHoldLabel* maxLabel_ = nullptr;
    DvmHoldLabel* minLabel_ = nullptr;
    double heldMax_ = -1000.0;
    double heldMin_ = 1000.0;
};
