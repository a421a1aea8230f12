// Another copy of the program for the hand-over tests, as a real second process:
//   handover_peer ask FOLDER TITLE    asks the running copy to come forward; exit code 0 when
//                                     it answered, 1 when not
//   handover_peer serve FOLDER TITLE  listens as the running copy; prints "listening" once it
//                                     does (or ends with 2 when it cannot) and "activated" for
//                                     every request; ends when killed or after kLongestLife

#include "platform/instance_handover.h"

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace {

// Far above what a request takes, so a busy machine never makes a test fail; a test that
// sees a copy answer gets its answer long before.
constexpr std::chrono::milliseconds kAskLimit(30000);
// A serving peer whose test has gone away must not live on for ever.
constexpr std::chrono::minutes kLongestLife(2);

void Say(const char* line)
{
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4)
        return 3;
    const QString& mode = arguments[1];
    const QString& folder = arguments[2];
    const QString& title = arguments[3];

    if (mode == QStringLiteral("ask"))
        return platform::AskRunningInstanceToActivate(title, folder, kAskLimit) ? 0 : 1;
    if (mode != QStringLiteral("serve"))
        return 3;

    platform::InstanceHandoverServer server;
    if (!server.Listen(title, folder))
        return 2;
    QObject::connect(&server, &platform::InstanceHandoverServer::ActivationRequested, [] { Say("activated"); });
    QTimer::singleShot(kLongestLife, &app, &QCoreApplication::quit);
    Say("listening");
    return app.exec();
}
