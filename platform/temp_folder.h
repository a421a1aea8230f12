#pragma once

#include <QString>

namespace platform {

// The system's folder for short-lived files (honours TMPDIR), ending with a separator.
QString TempFolder();

} // namespace platform
