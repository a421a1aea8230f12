#include "cli/arguments.h"

namespace cli {
namespace {

// The option values and the settings they stand for.
struct Choice {
    const char16_t* word;
    int value;
};
constexpr Choice kFlips[] = {{u"h", 1}, {u"v", 2}};
constexpr Choice kRotations[] = {{u"90", 1}, {u"180", 2}, {u"270", 4}};
constexpr int kMaxJobs = 256;

template <std::size_t N>
std::optional<int> Lookup(const Choice (&choices)[N], const QString& word)
{
    for (const Choice& choice : choices) {
        if (word == QStringView(choice.word))
            return choice.value;
    }
    return std::nullopt;
}

} // namespace

ParsedArguments ParseArguments(const QStringList& args)
{
    Arguments parsed;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString arg = args.at(i);
        if (optionsEnded || !arg.startsWith(u'-') || arg == u"-") {
            parsed.paths.append(arg);
            continue;
        }
        if (arg == u"--") {
            optionsEnded = true;
            continue;
        }
        if (arg == u"-h" || arg == u"--help") {
            parsed.help = true;
            continue;
        }
        if (arg == u"-V" || arg == u"--version") {
            parsed.version = true;
            continue;
        }
        // Options with a value: "--name value", "--name=value" or "-o value".
        QString value;
        bool hasValue = false;
        if (arg.startsWith(u"--") && arg.contains(u'=')) {
            const qsizetype eq = arg.indexOf(u'=');
            value = arg.mid(eq + 1);
            arg.truncate(eq);
            hasValue = true;
        }
        const bool known = arg == u"--flip" || arg == u"--rotate" || arg == u"-o" || arg == u"--output"
                           || arg == u"-j" || arg == u"--jobs";
        if (!known)
            return {std::nullopt, QStringLiteral("unknown option '%1'").arg(args.at(i))};
        if (!hasValue) {
            if (i + 1 >= args.size())
                return {std::nullopt, QStringLiteral("option '%1' needs a value").arg(arg)};
            value = args.at(++i);
        }
        if (arg == u"--flip") {
            const std::optional<int> flip = Lookup(kFlips, value);
            if (!flip)
                return {std::nullopt, QStringLiteral("--flip takes h or v, not '%1'").arg(value)};
            parsed.settings.m_nFlip = *flip;
        } else if (arg == u"--rotate") {
            const std::optional<int> rotation = Lookup(kRotations, value);
            if (!rotation)
                return {std::nullopt, QStringLiteral("--rotate takes 90, 180 or 270, not '%1'").arg(value)};
            parsed.settings.m_nRotation = *rotation;
        } else if (arg == u"-o" || arg == u"--output") {
            if (value.isEmpty())
                return {std::nullopt, QStringLiteral("the output folder must not be empty")};
            parsed.outputFolder = value;
        } else {
            bool number = false;
            parsed.jobs = value.toInt(&number);
            if (!number || parsed.jobs < 1 || parsed.jobs > kMaxJobs)
                return {std::nullopt, QStringLiteral("--jobs takes a number from 1 to %1, not '%2'").arg(kMaxJobs).arg(value)};
        }
    }
    if (parsed.help || parsed.version)
        return {parsed, {}};
    if (parsed.settings.IsNone())
        return {std::nullopt, QStringLiteral("choose a transform with --flip or --rotate")};
    if (parsed.outputFolder.isEmpty())
        return {std::nullopt, QStringLiteral("choose an output folder with -o FOLDER")};
    if (parsed.paths.isEmpty())
        return {std::nullopt, QStringLiteral("name at least one picture or folder")};
    return {parsed, {}};
}

QString UsageText()
{
    return QStringLiteral(
        "Usage: turnwise [--flip h|v] [--rotate 90|180|270] -o FOLDER [--jobs N] PATH...\n"
        "Turns and mirrors JPEG pictures without loss: the compressed data is rearranged,\n"
        "never decoded and encoded again.\n"
        "\n"
        "  --flip h|v            mirror left to right (h) or top to bottom (v)\n"
        "  --rotate 90|180|270   turn clockwise; a flip is applied before the turn\n"
        "  -o, --output FOLDER   existing folder for the results\n"
        "  -j, --jobs N          pictures transformed at once (default: one per core)\n"
        "  -h, --help            show this help\n"
        "  -V, --version         show the version\n"
        "\n"
        "Each PATH is a .jpg or .jpeg file or a folder; folders are walked at every depth,\n"
        "skipping subfolders named _PAGE_. Results keep the source's name, or get _0, _1, ...\n"
        "before the extension when the name is taken. Nothing is ever overwritten.\n"
        "\n"
        "Exit status: 0 all pictures written, 1 some failed, 2 usage error.\n");
}

QString VersionText()
{
    return QStringLiteral("turnwise %1.%2.%3.%4\n")
        .arg(TURNWISE_VERSION_MAJOR)
        .arg(TURNWISE_VERSION_MINOR)
        .arg(TURNWISE_VERSION_PATCH)
        .arg(TURNWISE_VERSION_TWEAK);
}

} // namespace cli
