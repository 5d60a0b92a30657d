#pragma once

#include <QGroupBox>
#include <array>

class QButtonGroup;
class QToolButton;

// The "Time/Div." box: 13 time buttons in two columns, one of which is always down ("1s" at first).
class TimeBaseGroup : public QGroupBox {
    Q_OBJECT
public:
    static constexpr int ButtonCount = 13;

    explicit TimeBaseGroup(QWidget* parent);

    // Time buttons in the order 1000s, 500s, 200s, 100s, 50s, 20s, 10s, 5s, 2s, 1s, 0.5s, 0.2s, 0.1s.
    QToolButton* button(int index) const { return buttons_[static_cast<size_t>(index)]; }

signals:
    void timeClicked(int index);

private:
    std::array<QToolButton*, ButtonCount> buttons_{};
    QButtonGroup* group_ = nullptr;
};
