#include "platform/module_folder.h"

#include "platform/path_text.h"

#include <QFileInfo>

namespace platform {

QString GetModuleFolder()
{
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (program.isEmpty())
        return {};
    return program.left(program.lastIndexOf(kPathSeparator) + 1);
}

} // namespace platform
