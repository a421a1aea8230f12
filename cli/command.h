#pragma once

#include <QStringList>

#include <cstdio>

namespace cli {

// Exit status of a run.
enum ExitStatus : int {
    kAllWritten = 0,
    kSomeFailed = 1,
    kUsageError = 2,
};

// The whole turnwise command: parses `args` (without the program name), transforms,
// and reports on `out` (help, version) and `err` (progress, errors, summary).
int RunCommand(const QStringList& args, std::FILE* out, std::FILE* err);

} // namespace cli
