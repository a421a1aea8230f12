#pragma once

#include <QString>

namespace platform {

// The folder of the running program file, ending with a separator. Links to the program
// are resolved, so a program started through a link in bin/ still finds the files beside it.
// Empty when the running program cannot be located.
QString GetModuleFolder();

} // namespace platform
