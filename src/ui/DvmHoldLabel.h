#pragma once

#include <QLabel>

// A Max or Min label of a DVM panel. Its text stays as written (hold text, two TABs, time and
// date); it is drawn with the time stamp in a column of its own (dvm::holdLabelLayout) instead of
// at the platform's TAB stops, which would push the date out of the panel.
class DvmHoldLabel : public QLabel {
public:
    DvmHoldLabel(const QString& text, QWidget* parent);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
