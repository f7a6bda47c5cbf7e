#include "app/singleinstance.h"

#include "platform/instancename.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <utility>

namespace {

constexpr QByteArrayView kShowRequest = "show\n";
constexpr int kAnswerTimeoutMs = 2000;

} // namespace

SingleInstance::SingleInstance(QString name, QObject *parent) : QObject(parent), m_name(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultName() { return PerUserInstanceName(); }

bool SingleInstance::askRunningCopy()
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kAnswerTimeoutMs))
        return false;
    socket.write(kShowRequest.data(), kShowRequest.size());
    socket.waitForBytesWritten(kAnswerTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::claim()
{
    if (askRunningCopy())
        return false;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // A copy that ended without closing its socket leaves the name behind.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name))
            return true; // run all the same: one window is better than none
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = m_server->nextPendingConnection()) {
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (client->readAll().startsWith(kShowRequest.first(4).toByteArray()))
                    emit showRequested();
            });
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        }
    });
    return true;
}
