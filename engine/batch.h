#pragma once
// The run behind the two save buttons, without its dialogs: every chosen picture is
// transformed into one folder under a free name. Sources are never changed.

#include "engine/transform.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace engine {

// The pictures a run takes, in collection order: all of them, or those whose row is
// selected.
QStringList ChooseBatchSources(const QStringList& paths, const std::function<bool(int row)>& isSelected, bool all);

struct BatchReport {
    int processed = 0; // sources that still existed and were handed to the transform
    int written = 0;   // of those, the ones written
    QStringList failures; // "source: reason" for each failed picture
};

// Saves each source that still exists into `folder` (its name, or the first free "_N"
// form of it) with `settings`. `afterEach` runs after each processed source with the number
// processed so far; vanished sources are skipped without it. A failed picture does not stop
// the run.
BatchReport SaveRotatedInto(const QStringList& sources, const QString& folder, const RotationSettings& settings,
                            const std::function<void(int processed)>& afterEach = {});

} // namespace engine
