#include "platform/message_box.h"

#include <QMessageBox>

#include <utility>

namespace platform {
namespace {

MessageAnswer ShowQtMessageBox(const MessageRequest& request)
{
    if (request.kind == MessageKind::Information) {
        QMessageBox::information(request.owner, request.caption, request.text, QMessageBox::Ok);
        return MessageAnswer::Ok;
    }
    const QMessageBox::StandardButton answer = QMessageBox::question(
        request.owner, request.caption, request.text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

MessageBoxFn& CurrentMessageBox()
{
    static MessageBoxFn box = ShowQtMessageBox;
    return box;
}

} // namespace

MessageAnswer ShowMessageBox(const MessageRequest& request)
{
    return CurrentMessageBox()(request);
}

ScopedMessageBox::ScopedMessageBox(MessageBoxFn box) : ScopedOverride(CurrentMessageBox(), std::move(box))
{
}

} // namespace platform
