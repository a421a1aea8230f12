#include "cli/batch.h"

#include "collection/folder_walk.h"
#include "engine/path_rules.h"

#include <QSet>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

namespace cli {

Plan MakePlan(const QStringList& paths, const QString& outputFolder)
{
    Plan plan;
    QSet<QString> seen;
    QSet<QString> assigned;
    const auto isTaken = [&](const QString& path) {
        return assigned.contains(path) || engine::GetPathType(path) != engine::PathKind::Nothing;
    };
    for (const QString& path : paths) {
        const engine::PathKind kind = engine::GetPathType(path);
        if (kind == engine::PathKind::Nothing) {
            plan.problems.append(QStringLiteral("%1: no such file or folder").arg(path));
            continue;
        }
        if (kind == engine::PathKind::File && !engine::HasJpegExtension(path)) {
            plan.problems.append(QStringLiteral("%1: not a .jpg or .jpeg name, skipped").arg(path));
            continue;
        }
        QStringList found;
        if (!collection::CollectFiles(path, found))
            plan.problems.append(QStringLiteral("%1: a folder below it cannot be listed; the rest of it was skipped").arg(path));
        for (const QString& file : std::as_const(found)) {
            if (!engine::HasJpegExtension(file) || seen.contains(file))
                continue;
            seen.insert(file);
            Job job{file, engine::MakeOutputPath(file, outputFolder), {}};
            job.destination = job.wanted;
            engine::MakeUniquePath(job.destination, isTaken);
            assigned.insert(job.destination);
            plan.jobs.push_back(std::move(job));
        }
    }
    return plan;
}

std::vector<JobOutcome> RunJobs(const std::vector<Job>& jobs, const engine::RotationSettings& settings,
                                int threads, const std::function<void(std::size_t finished)>& onFinished)
{
    std::vector<JobOutcome> outcomes(jobs.size());
    engine::TransformOptions options;
    options.printMessages = false; // the caller reports each failure with its file
    std::atomic<std::size_t> next{0};
    std::mutex reportLock;
    std::size_t finished = 0;

    const auto work = [&] {
        for (std::size_t i = next++; i < jobs.size(); i = next++) {
            const Job& job = jobs[i];
            JobOutcome& outcome = outcomes[i];
            outcome.result = engine::SaveWithSettings(job.source, job.destination, settings, options);
            outcome.written = job.destination;
            if (outcome.result.status == engine::TransformStatus::DestinationExists) {
                // Something outside this run took the name after it was assigned.
                outcome.result = engine::SaveToFreeName(job.source, job.wanted, settings, &outcome.written, options);
            }
            const std::lock_guard<std::mutex> lock(reportLock);
            ++finished;
            if (onFinished)
                onFinished(finished);
        }
    };

    const std::size_t count = std::clamp<std::size_t>(std::size_t(std::max(threads, 1)), 1, std::max<std::size_t>(jobs.size(), 1));
    std::vector<std::thread> workers;
    for (std::size_t t = 1; t < count; ++t)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    return outcomes;
}

} // namespace cli
