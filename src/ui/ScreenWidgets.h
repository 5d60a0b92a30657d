#pragma once

#include <QWidget>

class Surface;

// screenImage: shows the persistent screen bitmap and reports mouse events in bitmap pixels.
class ScreenView : public QWidget {
    Q_OBJECT
public:
    ScreenView(Surface& surface, QWidget* parent);

signals:
    void mouseDown(Qt::MouseButton button, int x, int y);
    void mouseMove(int x, int y);
    void mouseUp(Qt::MouseButton button, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Surface& surface_;
};

// liveOverlay: a transparent overlay above screenImage for the live drawing of a recording. While it is
// disabled the mouse passes through to screenImage; enabled, it takes the mouse input.
class OverlayView : public QWidget {
    Q_OBJECT
public:
    OverlayView(Surface& surface, QWidget* parent);

    // Enables or disables the overlay together with its mouse transparency.
    void setOverlayEnabled(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Surface& surface_;
};
