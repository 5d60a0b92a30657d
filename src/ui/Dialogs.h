#pragma once

#include <QMessageBox>
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>

// Message boxes of the recorder go through here, so that tests can answer them without a
// modal loop. Texts may use "\r" as a line break.
struct MessageRequest {
    QMessageBox::Icon icon = QMessageBox::Information;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    std::optional<QPoint> at = std::nullopt;  // top-left corner on the screen; centred on the parent when absent
};

// The application's title, "Recorder/Logger".
QString applicationTitle();

// The title a message box shows: its own, or the application's title when it names none.
QString messageTitle(const MessageRequest& request);

// Shows the message and returns the button the user chose.
QMessageBox::StandardButton showMessage(QWidget* parent, const MessageRequest& request);

// Replaces the real message box (tests). The hook receives each request and returns the answer;
// an empty function restores the real box.
void setMessageHook(std::function<QMessageBox::StandardButton(const MessageRequest&)> hook);
