#include "cli/command.h"

#include "cli/arguments.h"
#include "cli/batch.h"
#include "engine/path_rules.h"
#include "platform/terminal.h"

#include <QFileInfo>

#include <algorithm>
#include <thread>

namespace cli {
namespace {

constexpr int kProgressBarMaxWidth = 40;

void Print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// A one-line bar redrawn in place on a terminal.
class ProgressBar {
public:
    ProgressBar(std::FILE* stream, std::size_t total)
        : m_stream(stream), m_total(total), m_shown(platform::IsTerminal(stream) && total > 0)
    {
        const int columns = platform::TerminalColumns(stream);
        const int room = columns > 0 ? columns - 30 : kProgressBarMaxWidth;
        m_width = std::clamp(room, 10, kProgressBarMaxWidth);
    }

    void Show(std::size_t done)
    {
        if (!m_shown)
            return;
        const int filled = int(done * std::size_t(m_width) / m_total);
        std::fprintf(m_stream, "\r[%s%s] %zu/%zu", QByteArray(filled, '#').constData(),
                     QByteArray(m_width - filled, '.').constData(), done, m_total);
        std::fflush(m_stream);
    }

    void Clear()
    {
        if (m_shown)
            std::fputs("\r\033[K", m_stream);
    }

private:
    std::FILE* m_stream;
    std::size_t m_total;
    bool m_shown;
    int m_width = kProgressBarMaxWidth;
};

} // namespace

int RunCommand(const QStringList& args, std::FILE* out, std::FILE* err)
{
    const ParsedArguments parsed = ParseArguments(args);
    if (!parsed.arguments) {
        Print(err, QStringLiteral("turnwise: %1\nTry 'turnwise --help' for more information.\n").arg(parsed.error));
        return kUsageError;
    }
    const Arguments& arguments = *parsed.arguments;
    if (arguments.help) {
        Print(out, UsageText());
        return kAllWritten;
    }
    if (arguments.version) {
        Print(out, VersionText());
        return kAllWritten;
    }
    const QFileInfo folder(arguments.outputFolder);
    if (engine::GetPathType(arguments.outputFolder) != engine::PathKind::Folder) {
        Print(err, QStringLiteral("turnwise: the output folder %1 does not exist\n").arg(arguments.outputFolder));
        return kUsageError;
    }
    if (!folder.isWritable()) {
        Print(err, QStringLiteral("turnwise: the output folder %1 is not writable\n").arg(arguments.outputFolder));
        return kUsageError;
    }

    const Plan plan = MakePlan(arguments.paths, arguments.outputFolder);
    for (const QString& problem : plan.problems)
        Print(err, QStringLiteral("turnwise: %1\n").arg(problem));

    const int threads = arguments.jobs > 0 ? arguments.jobs : int(std::max(1u, std::thread::hardware_concurrency()));
    ProgressBar bar(err, plan.jobs.size());
    bar.Show(0);
    const std::vector<JobOutcome> outcomes
        = RunJobs(plan.jobs, arguments.settings, threads, [&](std::size_t finished) { bar.Show(finished); });
    bar.Clear();

    std::size_t written = 0;
    std::size_t failed = 0;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const engine::TransformResult& result = outcomes[i].result;
        if (result.ok())
            ++written;
        else
            ++failed;
        if (result.status == engine::TransformStatus::WrittenWithWarnings)
            Print(err, QStringLiteral("turnwise: %1: warning: %2 (written as %3)\n")
                           .arg(plan.jobs[i].source, result.message, outcomes[i].written));
        else if (!result.ok())
            Print(err, QStringLiteral("turnwise: %1: %2\n").arg(plan.jobs[i].source, result.message));
    }
    const std::size_t problems = std::size_t(plan.problems.size());
    QString summary = QStringLiteral("turnwise: %1 of %2 pictures written to %3")
                          .arg(written).arg(outcomes.size()).arg(arguments.outputFolder);
    if (failed > 0)
        summary += QStringLiteral(", %1 failed").arg(failed);
    if (problems > 0)
        summary += QStringLiteral(", %1 inputs unusable").arg(problems);
    Print(err, summary + u'\n');
    return failed == 0 && problems == 0 ? kAllWritten : kSomeFailed;
}

} // namespace cli
