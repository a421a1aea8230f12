// diviza: the program the user starts. It has no window and shows nothing.
//
// Qt Core serves for text: the title in the UI language, the settings root, and a folder
// path in any characters. Starting and watching the child is plain POSIX through platform/:
// posix_spawn, poll and waitpid need no event loop, so no application object is made, and
// unlike QProcess nothing stops the child when the launcher goes away.

#include "launcher/launcher.h"
#include "platform/module_folder.h"
#include "resources/strings.h"

#include <QCoreApplication>

int main()
{
    // The same title and settings root as the main program; the launcher stores nothing.
    QCoreApplication::setOrganizationName(QString::fromUtf16(launcher::kSettingsRoot));
    QCoreApplication::setApplicationName(resources::AppTitle());

    launcher::LauncherOptions options;
    options.programFolder = platform::GetModuleFolder();
    launcher::RunLauncher(options);
    // Whatever happened (another launcher runs, the main program is missing, failed to
    // start, crashed or ended with any code), the launcher ends normally.
    return 0;
}
