#include "app/InstanceChannel.h"

#include <QLocalSocket>

#include <unistd.h>

QString CInstanceChannel::ServerName() {
    const QString strRuntime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!strRuntime.isEmpty())
        return strRuntime + QStringLiteral("/tabulon5.socket");
    return QStringLiteral("tabulon5-%1").arg(getuid());
}

bool CInstanceChannel::SendToRunning(const QString& strPath, int nTimeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(nTimeoutMs))
        return false;
    socket.write(strPath.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(nTimeoutMs))
        return false;
    // The running instance closes the connection once it has the path.
    socket.waitForDisconnected(nTimeoutMs);
    return true;
}

bool CInstanceChannel::Listen() {
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* pSocket = m_server.nextPendingConnection()) {
            auto readPath = [this, pSocket] {
                if (!pSocket->canReadLine())
                    return;
                const QString strPath = QString::fromUtf8(pSocket->readLine()).trimmed();
                pSocket->disconnectFromServer();
                pSocket->deleteLater();
                if (!strPath.isEmpty())
                    emit openRequested(strPath);
            };
            connect(pSocket, &QLocalSocket::readyRead, this, readPath);
            readPath(); // the line may be there already
        }
    });
    if (m_server.listen(ServerName()))
        return true;
    // Nobody answered before we got here, so a socket that is there was left
    // by an instance that did not end cleanly.
    QLocalServer::removeServer(ServerName());
    return m_server.listen(ServerName());
}
