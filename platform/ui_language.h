#pragma once

namespace platform {

enum class UiLanguage { Japanese, English };

// Japanese when the system's language is Japanese (LC_ALL, LC_MESSAGES, LANG), English otherwise.
UiLanguage SystemUiLanguage();

} // namespace platform
