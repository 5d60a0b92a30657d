#include "ui/Dialogs.h"

namespace {
std::function<QMessageBox::StandardButton(const MessageRequest&)>& messageHook()
{
    static std::function<QMessageBox::StandardButton(const MessageRequest&)> hook;
    return hook;
}
}  // namespace

QString applicationTitle()
{
    return QStringLiteral("Recorder/Logger");
}

QString messageTitle(const MessageRequest& request)
{
    return request.title.isEmpty() ? applicationTitle() : request.title;
}

QMessageBox::StandardButton showMessage(QWidget* parent, const MessageRequest& request)
{
    if (messageHook())
        return messageHook()(request);
    QString text = request.text;
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(request.icon, messageTitle(request), text, request.buttons, parent);
    if (request.at)
        box.move(*request.at);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void setMessageHook(std::function<QMessageBox::StandardButton(const MessageRequest&)> hook)
{
    messageHook() = std::move(hook);
}
