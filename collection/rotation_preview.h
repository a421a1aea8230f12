#pragma once
// The preview of the current picture exactly as a save will write it: the picture file
// goes through the real lossless transform into a temporary file, which is decoded and
// fitted into the preview box, then removed.

#include "draw/image.h"
#include "engine/transform.h"

#include <QSize>
#include <QString>

namespace collection {

// Extension of the temporary file a preview is transformed into.
inline const QString kPreviewExtension = QStringLiteral(".tmp");

// Makes the preview of the picture at `path` under `settings`, fitted into `box`. With no
// flip and no rotation the file is decoded as it is. No temporary file outlives the call.
// False, leaving `preview` as it was, when the file is gone or cannot be transformed or decoded.
bool MakeRotationPreview(const QString& path, const engine::RotationSettings& settings, const QSize& box,
                         draw::CImg& preview);

} // namespace collection
