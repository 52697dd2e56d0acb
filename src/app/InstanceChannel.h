#pragma once

#include <QLocalServer>
#include <QObject>

// Hands files from a second start of the program to the one already
// running: `tabulon FILE` while a window is open opens FILE in that window.
class CInstanceChannel : public QObject {
    Q_OBJECT
  public:
    // The socket: in $XDG_RUNTIME_DIR when set (private to the user),
    // otherwise a name with the user's id in the temporary folder.
    static QString ServerName();
    // True when a running instance took the path.
    static bool SendToRunning(const QString& strPath, int nTimeoutMs = 1000);
    // Starts listening for later instances; false when it cannot.
    bool Listen();

  signals:
    void openRequested(const QString& strPath);

  private:
    void ReadRequest();

    QLocalServer m_server;
};
