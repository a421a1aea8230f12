#include "resources/messages.h"

namespace resources {

platform::MessageAnswer ShowMessage(int id, platform::MessageKind kind, QWidget* owner,
                                    platform::UiLanguage language)
{
    platform::MessageRequest request;
    request.owner = owner;
    request.caption = AppTitle(language);
    request.text = LoadString(id, language);
    request.kind = kind;
    request.id = id;
    return platform::ShowMessageBox(request);
}

void ShowInformation(TextPair text, QWidget* owner, platform::UiLanguage language)
{
    ShowMessage(TextId(text, language), platform::MessageKind::Information, owner, language);
}

void ShowInformation(TextPair text, QWidget* owner)
{
    ShowInformation(text, owner, platform::SystemUiLanguage());
}

bool AskQuestion(TextPair text, QWidget* owner, platform::UiLanguage language)
{
    return ShowMessage(TextId(text, language), platform::MessageKind::Question, owner, language)
           == platform::MessageAnswer::Yes;
}

bool AskQuestion(TextPair text, QWidget* owner)
{
    return AskQuestion(text, owner, platform::SystemUiLanguage());
}

} // namespace resources
