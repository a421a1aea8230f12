#include "collection/rotation_preview.h"

#include "collection/thumbnail.h"
#include "engine/path_rules.h"
#include "platform/file_system.h"

namespace collection {
namespace {

// Removes the temporary file when the scope ends, whatever happened in it.
class TemporaryFile {
public:
    TemporaryFile() = default;
    ~TemporaryFile()
    {
        if (!m_path.isEmpty())
            platform::RemoveFile(engine::ToNarrowPath(m_path));
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    void Own(const QString& path) { m_path = path; }

private:
    QString m_path;
};

} // namespace

bool MakeRotationPreview(const QString& path, const engine::RotationSettings& settings, const QSize& box,
                         draw::CImg& preview)
{
    QString pictureFile = path;
    TemporaryFile temporary;
    if (!settings.IsNone()) {
        engine::TransformResult result;
        do {
            pictureFile = engine::MakeTempPath(kPreviewExtension);
            result = engine::SaveWithSettings(path, pictureFile, settings);
        } while (result.status == engine::TransformStatus::DestinationExists);
        if (!result)
            return false;
        temporary.Own(pictureFile);
    }
    draw::CImg made;
    QSize size = box;
    if (!LoadFitted(made, pictureFile, size))
        return false;
    preview = std::move(made);
    return true;
}

} // namespace collection
