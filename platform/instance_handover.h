#pragma once
// The hand-over between two copies of the program: the running copy listens on a local
// socket named after the title, and a copy started later asks it through that socket to
// bring its window to the front before it ends itself.
//
// Which copy runs is decided by the single-instance guard (single_instance.h); this is only
// the message from the late copy to the running one. The socket lives in the user's private
// folder of the guard, so only the same user's copies reach each other, and its name is
// made from a hash of the title, so any title makes a short, safe name.

#include <QObject>
#include <QString>

#include <chrono>

class QLocalServer;
class QLocalSocket;
class QWidget;

namespace platform {

// The full path of the hand-over socket for `title` in `folder` (a path ending with a
// separator), or empty when `folder` is empty.
QString HandoverSocketPath(const QString& title, const QString& folder);

// The running copy's side.
class InstanceHandoverServer : public QObject {
    Q_OBJECT

public:
    explicit InstanceHandoverServer(QObject* parent = nullptr);
    ~InstanceHandoverServer() override;

    // Starts listening for `title` in SingleInstanceFolder(), or in `folder`. A socket file
    // left behind by a copy that crashed is removed first, but only when no one answers on
    // it; while another copy listens, this returns false and leaves its socket alone.
    bool Listen(const QString& title);
    bool Listen(const QString& title, const QString& folder);

    bool IsListening() const;
    QString SocketPath() const; // empty unless listening

Q_SIGNALS:
    // A later copy asked this one to bring its main window to the front.
    void ActivationRequested();

private:
    void AcceptPending();
    void ReadHello(QLocalSocket* socket);

    QLocalServer* m_server = nullptr;
};

// The late copy's side: connects to the running copy for `title`, asks it to come to the
// front and waits at most `timeout` for its answer. True when a running copy answered.
// Returns false at once when no copy listens. A copy that is busy when asked reads the
// request once it is free again and still comes to the front, but then this has already
// returned false.
bool AskRunningInstanceToActivate(const QString& title,
                                  std::chrono::milliseconds timeout = std::chrono::milliseconds(1000));
bool AskRunningInstanceToActivate(const QString& title, const QString& folder, std::chrono::milliseconds timeout);

// Brings `window` to the front for the user: shown, no longer minimised, raised and made
// the active window. Window systems may still keep the focus where the user left it.
void RaiseAndActivate(QWidget* window);

} // namespace platform
