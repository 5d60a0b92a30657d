#include "ui/ScreenWidgets.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "screen/Surface.h"

ScreenView::ScreenView(Surface& surface, QWidget* parent) : QWidget(parent), surface_(surface)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void ScreenView::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect r = event->rect();
    p.drawImage(r, surface_.image(), r);
}

void ScreenView::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    emit mouseDown(event->button(), pos.x(), pos.y());
}

void ScreenView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    emit mouseMove(pos.x(), pos.y());
}

void ScreenView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    emit mouseUp(event->button(), pos.x(), pos.y());
}

OverlayView::OverlayView(Surface& surface, QWidget* parent) : QWidget(parent), surface_(surface)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setOverlayEnabled(false);
}

void OverlayView::setOverlayEnabled(bool on)
{
    setEnabled(on);
    setAttribute(Qt::WA_TransparentForMouseEvents, !on);
}

void OverlayView::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect r = event->rect();
    p.drawImage(r, surface_.image(), r);
}
