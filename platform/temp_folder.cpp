#include "platform/temp_folder.h"

#include "platform/path_text.h"

#include <QDir>

namespace platform {

QString TempFolder()
{
    QString folder = QDir::tempPath();
    if (!folder.endsWith(kPathSeparator))
        folder += kPathSeparator;
    return folder;
}

} // namespace platform
