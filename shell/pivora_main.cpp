// pivora.bin, the main program: one copy per user, its window with the workspace.

#include "collection/collection_file.h"
#include "draw/ui_font.h"
#include "platform/file_version.h"
#include "platform/instance_handover.h"
#include "platform/module_folder.h"
#include "platform/readiness.h"
#include "platform/single_instance.h"
#include "platform/ui_language.h"
#include "resources/strings.h"
#include "shell/main_frame.h"

#include <QApplication>
#include <QStandardPaths>

namespace {

// The settings root of the program's maker; the program stores no settings under it.
const QString kOrganisation = QStringLiteral("Brantmoor");

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(kOrganisation);
    const platform::UiLanguage language = platform::SystemUiLanguage();
    const QString title = resources::AppTitle(language);
    QCoreApplication::setApplicationName(title);
    QGuiApplication::setApplicationDisplayName(title);
    QGuiApplication::setDesktopFileName(QStringLiteral("brantmoor-turnwise"));
    draw::InstallUiFontSubstitutes();

    // One copy per user: a second one brings the first one's window to the front and ends.
    const platform::SingleInstanceGuard guard(title);
    if (guard.GetState() == platform::SingleInstanceGuard::State::HeldElsewhere) {
        platform::AskRunningInstanceToActivate(title);
        return 0;
    }
    if (!guard.IsHeld())
        return 1;

    const platform::FileVersion version = platform::ProgramFileVersion();
    shell::FrameOptions options;
    options.language = language;
    options.title = title;
    options.version = version;
    options.dataFile = collection::CollectionFilePath(
        platform::GetModuleFolder(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    shell::CMainFrame frame(options);

    platform::InstanceHandoverServer handover;
    handover.Listen(title);
    QObject::connect(&handover, &platform::InstanceHandoverServer::ActivationRequested, &frame,
                     [&frame] { platform::RaiseAndActivate(&frame); });
    QObject::connect(&frame, &shell::CMainFrame::Started, &frame, [] { platform::SignalReady(); });
    return app.exec();
}
