#include "shell/Dialogs.h"

#include <QApplication>

namespace {
std::function<QMessageBox::StandardButton(const MessageRequest&)>& messageHook()
{
    static std::function<QMessageBox::StandardButton(const MessageRequest&)> hook;
    return hook;
}
}  // namespace

QMessageBox::StandardButton showMessage(QWidget* parent, const MessageRequest& request)
{
    if (messageHook())
        return messageHook()(request);
    QString text = request.text;
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QString title = request.title.isEmpty() ? QApplication::applicationDisplayName() : request.title;
    QMessageBox box(request.icon, title, text, request.buttons, parent);
    if (request.at)
        box.move(*request.at);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void setMessageHook(std::function<QMessageBox::StandardButton(const MessageRequest&)> hook)
{
    messageHook() = std::move(hook);
}
