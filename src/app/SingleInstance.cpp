#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace kv {

namespace {
const QByteArray kRestore = QByteArrayLiteral("RESTORE\n");
constexpr int kConnectMs = 1000;
} // namespace

TSingleInstance::TSingleInstance(const QString &key, QObject *parent) : QObject(parent), m_key(key) {}

TSingleInstance::~TSingleInstance()
{
    if (m_server)
        m_server->close();
}

QString TSingleInstance::KeyForProgram(const QString &programFile)
{
    QFileInfo fi(programFile);
    QString path = fi.canonicalFilePath();
    if (path.isEmpty())
        path = QDir::cleanPath(fi.absoluteFilePath());
    // Two users of one machine each run their own copy.
    const QByteArray id = path.toUtf8() + '\0' + QByteArray::number(static_cast<qulonglong>(getuid()));
    const QByteArray hash = QCryptographicHash::hash(id, QCryptographicHash::Sha1).toHex().left(20);
    return QStringLiteral("Kalvio6-") + QString::fromLatin1(hash);
}

bool TSingleInstance::NotifyRunningCopy()
{
    QLocalSocket socket;
    socket.connectToServer(m_key, QIODevice::WriteOnly);
    if (!socket.waitForConnected(kConnectMs))
        return false;
    socket.write(kRestore);
    socket.waitForBytesWritten(kConnectMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kConnectMs);
    return true;
}

bool TSingleInstance::Acquire()
{
    if (m_server)
        return true;
    if (NotifyRunningCopy())
        return false;

    auto *server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_key)) {
        // Either a copy started at the same moment, or a copy that crashed
        // left its socket file behind.
        if (NotifyRunningCopy()) {
            delete server;
            return false;
        }
        QLocalServer::removeServer(m_key);
        if (!server->listen(m_key)) {
            // Without the guard the program still runs; a second copy then
            // is not detected.
            qWarning("single-instance guard unavailable: %s", qPrintable(server->errorString()));
            delete server;
            return true;
        }
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &TSingleInstance::OnNewConnection);
    return true;
}

void TSingleInstance::OnNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine())
                if (socket->readLine() == kRestore)
                    emit restoreRequested();
        });
        if (socket->canReadLine())
            QMetaObject::invokeMethod(socket, "readyRead", Qt::QueuedConnection);
    }
}

} // namespace kv
