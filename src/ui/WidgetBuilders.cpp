#include "ui/WidgetBuilders.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QToolButton>

#include "ui/SevenSegmentDigit.h"

namespace widgets {

QColor qColour(Colour colour)
{
    return SevenSegmentDigit::toQColor(colour);
}

void setBackground(QWidget* w, const QColor& colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

void setFill(QWidget* w, Colour colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, qColour(colour));
    w->setPalette(pal);
}

void setTextColour(QWidget* w, const QColor& colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, colour);
    w->setPalette(pal);
}

void setBold(QWidget* w, int pointSize)
{
    QFont f = w->font();
    f.setBold(true);
    if (pointSize > 0)
        f.setPointSize(pointSize);
    w->setFont(f);
}

QFrame* makePanel(QWidget* parent, const QString& name, const QRect& geometry, int frameStyle)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(frameStyle);
    panel->setLineWidth(1);
    panel->setGeometry(geometry);
    return panel;
}

QFrame* makeBox(QWidget* parent, const QString& name, const QRect& geometry, const QColor& colour)
{
    QFrame* box = makePanel(parent, name, geometry, QFrame::NoFrame);
    setBackground(box, colour);
    return box;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y, int width)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(x, y, width, label->sizeHint().height());
    return label;
}

QToolButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry,
                        bool checkable)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setCheckable(checkable);
    button->setGeometry(geometry);
    return button;
}

QCheckBox* makeCheckBox(QWidget* parent, const QString& name, const QString& caption, int x, int y)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->move(x, y);
    box->adjustSize();
    return box;
}

}  // namespace widgets
