#pragma once
// The command line of turnwise.

#include "engine/transform.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace cli {

struct Arguments {
    engine::RotationSettings settings;
    QString outputFolder;
    QStringList paths;
    int jobs = 0; // 0: one per core
    bool help = false;
    bool version = false;
};

struct ParsedArguments {
    std::optional<Arguments> arguments; // set when the command line is well formed
    QString error;                      // otherwise, what is wrong with it
};

// Parses the arguments after the program name. Checks the form only; whether the
// output folder exists is for the caller to see.
ParsedArguments ParseArguments(const QStringList& args);

QString UsageText();
QString VersionText();

} // namespace cli
