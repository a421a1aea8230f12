#pragma once
// The modal message box. Tests replace it to record what was asked and to answer.

#include "platform/scoped_override.h"

#include <QString>

#include <functional>

class QWidget;

namespace platform {

enum class MessageKind {
    Information, // information icon, an OK button
    Question,    // question icon, Yes and No buttons, Yes the default
};

enum class MessageAnswer { Ok, Yes, No };

struct MessageRequest {
    QWidget* owner = nullptr;
    QString caption; // the application title
    QString text;
    MessageKind kind = MessageKind::Information;
    int id = 0; // the string id of the text, for whoever records the request
};

using MessageBoxFn = std::function<MessageAnswer(const MessageRequest&)>;

// Shows the box and waits for the answer. A question closed without Yes answers No.
MessageAnswer ShowMessageBox(const MessageRequest& request);

// Replaces the box until the guard is destroyed (for tests).
class ScopedMessageBox : public ScopedOverride<MessageBoxFn> {
public:
    explicit ScopedMessageBox(MessageBoxFn box);
};

} // namespace platform
