#pragma once
// Message boxes by string id, with the application title as caption.

#include "platform/message_box.h"
#include "platform/ui_language.h"
#include "resources/strings.h"

class QWidget;

namespace resources {

// Shows the text of `id` in `language`; the request carries the id. Returns the answer.
platform::MessageAnswer ShowMessage(int id, platform::MessageKind kind, QWidget* owner,
                                    platform::UiLanguage language);

// An information box (OK button) with the pair's text for the UI language.
void ShowInformation(TextPair text, QWidget* owner, platform::UiLanguage language);
void ShowInformation(TextPair text, QWidget* owner = nullptr); // in the system's UI language

// A question box (Yes and No); true only when the answer is Yes.
bool AskQuestion(TextPair text, QWidget* owner, platform::UiLanguage language);
bool AskQuestion(TextPair text, QWidget* owner = nullptr); // in the system's UI language

} // namespace resources
