#pragma once

#include <QColor>
#include <QRect>
#include <QString>

#include "ui/RecorderState.h"

class QCheckBox;
class QFrame;
class QLabel;
class QToolButton;
class QWidget;

// Small helpers that put a control at a fixed place with its name as objectName. The recorder
// window's parts lay out their controls by pixel, without layouts, so each control gets its
// geometry here once.
namespace widgets {

// Colours with red in the low byte.
constexpr Colour Grey = 0x808080;
constexpr Colour Navy = 0x800000;
constexpr Colour White = 0xFFFFFF;
constexpr Colour Yellow = 0x00FFFF;
constexpr Colour Black = 0x000000;

QColor qColour(Colour colour);
void setBackground(QWidget* w, const QColor& colour);
// Sets the fill colour without switching the background fill on (for widgets that already fill).
void setFill(QWidget* w, Colour colour);
void setTextColour(QWidget* w, const QColor& colour);
void setBold(QWidget* w, int pointSize = 0);

QFrame* makePanel(QWidget* parent, const QString& name, const QRect& geometry, int frameStyle);
// A filled rectangle without a border: the sign bars and decimal points of the DVM.
QFrame* makeBox(QWidget* parent, const QString& name, const QRect& geometry, const QColor& colour);
// Labels do not grow with their text in a parent without a layout, so each gets the width that
// the longest text it will show needs (or the room up to its parent's edge).
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y, int width);
QToolButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry,
                        bool checkable);
QCheckBox* makeCheckBox(QWidget* parent, const QString& name, const QString& caption, int x, int y);

}  // namespace widgets
