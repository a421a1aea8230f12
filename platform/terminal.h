#pragma once

#include <cstdio>

namespace platform {

// Whether the stream is attached to an interactive terminal.
bool IsTerminal(std::FILE* stream);

// Columns of the terminal behind the stream, or 0 when unknown.
int TerminalColumns(std::FILE* stream);

} // namespace platform
