#pragma once
// The work of one turnwise run: which pictures, under which names, on how many threads.

#include "engine/transform.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <functional>
#include <vector>

namespace cli {

struct Job {
    QString source;
    QString wanted;      // the source's name in the output folder
    QString destination; // the free name assigned to it
};

struct Plan {
    std::vector<Job> jobs;
    QStringList problems; // inputs that could not be used, each with its reason
};

// Gathers the pictures under `paths` (folders walked depth first, subfolders named _PAGE_
// skipped), keeps names ending in .jpg or .jpeg once each, and assigns free names in
// `outputFolder` in input order, so a run names its results the same whatever its threads.
// A file named directly that is not a .jpg or .jpeg name is reported, not passed over.
Plan MakePlan(const QStringList& paths, const QString& outputFolder);

struct JobOutcome {
    engine::TransformResult result;
    QString written; // the name written, when written
};

// Runs the jobs on `threads` threads. `onFinished` is called once per job, one call at a
// time, with the number of jobs finished so far.
std::vector<JobOutcome> RunJobs(const std::vector<Job>& jobs, const engine::RotationSettings& settings,
                                int threads, const std::function<void(std::size_t finished)>& onFinished = {});

} // namespace cli
