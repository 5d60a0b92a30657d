#pragma once

// Finding a window's controls by their objectName, as the window tests reach the recorder window's
// private controls.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QObject>
#include <QToolButton>

#include "device/Commands.h"
#include "recording/TimeBase.h"

// The child of `parent` named `name`; a missing control fails the test.
template <typename T>
T* child(const QObject& parent, const QString& name)
{
    T* found = parent.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << qPrintable(name);
    return found;
}

template <typename T>
T* child(const QObject& parent, const char* name)
{
    return child<T>(parent, QString::fromLatin1(name));
}

// The range button `index` (0..5: ±20V .. ±0.4V) of channel 0..3.
inline QToolButton* rangeButton(const QObject& window, int channel, int index)
{
    return child<QToolButton>(window, QStringLiteral("range%1VCh%2Button")
                                          .arg(QLatin1String(Ranges[static_cast<size_t>(index)].token))
                                          .arg(channel + 1));
}

// The time button `index` (0..12: 1000s .. 0.1s).
inline QToolButton* timeButton(const QObject& window, int index)
{
    return child<QToolButton>(window, TimeBases[static_cast<size_t>(index)].buttonName);
}

inline QCheckBox* channelSwitch(const QObject& window, int channel)
{
    return child<QCheckBox>(window, QStringLiteral("channel%1Switch").arg(channel + 1));
}

inline QLabel* channelLabel(const QObject& window, int channel)
{
    return child<QLabel>(window, QStringLiteral("channelLabel%1").arg(channel + 1));
}

// Runs what a menu item does, as a direct call of its handler: a disabled item runs too, and a
// checkable item's tick is left as it is.
inline void fire(QAction* action)
{
    emit action->triggered(action->isChecked());
}
