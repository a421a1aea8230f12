#include "engine/batch.h"

#include "engine/path_rules.h"

namespace engine {

QStringList ChooseBatchSources(const QStringList& paths, const std::function<bool(int row)>& isSelected, bool all)
{
    QStringList chosen;
    for (int row = 0; row < paths.size(); ++row) {
        if (all || isSelected(row))
            chosen.append(paths.at(row));
    }
    return chosen;
}

BatchReport SaveRotatedInto(const QStringList& sources, const QString& folder, const RotationSettings& settings,
                            const std::function<void(int processed)>& afterEach)
{
    BatchReport report;
    for (const QString& source : sources) {
        if (GetPathType(source) == PathKind::Nothing)
            continue;
        QString written;
        const TransformResult result = SaveToFreeName(source, MakeOutputPath(source, folder), settings, &written);
        if (result)
            ++report.written;
        else
            report.failures.append(QStringLiteral("%1: %2").arg(source, result.message));
        ++report.processed;
        if (afterEach)
            afterEach(report.processed);
    }
    return report;
}

} // namespace engine
