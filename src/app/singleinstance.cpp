#include "app/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {
const QByteArray kActivateRequest("activate\n");
constexpr int kConnectTimeoutMs = 2000;

QString runtimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QDir().mkpath(folder);
    return folder;
}
} // namespace

SingleInstance::SingleInstance(const QString &key, QObject *parent)
    : QObject(parent), m_key(key), m_lock(runtimeFolder() + QLatin1Char('/') + key + QStringLiteral(".lock"))
{
    m_lock.setStaleLockTime(0); // a lock is stale only when its process is gone
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultKey()
{
    // The runtime folder is per user, so its hash keeps two users' copies apart.
    const QByteArray hash = QCryptographicHash::hash(runtimeFolder().toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("Cobrelle-") + QString::fromLatin1(hash.left(12));
}

bool SingleInstance::tryAcquire()
{
    if (!m_lock.tryLock(0))
        return false;
    // Holding the lock, any server of that name is a leftover of a crashed copy.
    QLocalServer::removeServer(m_key);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::readRequest);
    m_server->listen(m_key);
    return true;
}

void SingleInstance::readRequest()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto handle = [this, socket] {
            if (socket->canReadLine() && socket->readLine() == kActivateRequest)
                emit activationRequested();
        };
        connect(socket, &QLocalSocket::readyRead, this, handle);
        handle();
    }
}

bool SingleInstance::requestActivation()
{
    QLocalSocket socket;
    socket.connectToServer(m_key);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.write(kActivateRequest);
    const bool written = socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    return written;
}

QString SingleInstance::alreadyRunningMessage()
{
    return QStringLiteral("L'applicazione e' stata gia' avviata") + QStringLiteral("\n\n")
           + QStringLiteral("Controlla la barra dei menu' per la riattivazione premendo ")
           + QStringLiteral("doppio click sull'icona corrispondente...");
}
