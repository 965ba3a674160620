#include "TcpTransport.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

namespace lasersim {

TTcpTransport::TTcpTransport(TLineHandler handler, QObject* parent)
    : QObject(parent), FHandler(std::move(handler)), FServer(new QTcpServer(this)) {
    connect(FServer, &QTcpServer::newConnection, this, [this] { Accept(); });
}

bool TTcpTransport::Listen(const QString& address, QString& error) {
    QString host = QStringLiteral("127.0.0.1");
    QString portText = address;
    const qsizetype colon = address.lastIndexOf(':');
    if (colon >= 0) {
        host = address.left(colon);
        portText = address.mid(colon + 1);
    }
    bool ok = false;
    const uint port = portText.toUInt(&ok);
    QHostAddress hostAddress;
    if (!ok || port > 65535 || !hostAddress.setAddress(host)) {
        error = QStringLiteral("bad address '%1' (want [HOST:]PORT, HOST numeric)").arg(address);
        return false;
    }
    if (!FServer->listen(hostAddress, static_cast<quint16>(port))) {
        error = QStringLiteral("cannot listen on %1: %2").arg(address, FServer->errorString());
        return false;
    }
    return true;
}

QString TTcpTransport::BoundAddress() const {
    return QStringLiteral("%1:%2")
        .arg(FServer->serverAddress().toString())
        .arg(FServer->serverPort());
}

void TTcpTransport::Drain() {
    for (QTcpSocket* socket : findChildren<QTcpSocket*>(Qt::FindDirectChildrenOnly)) {
        // A zero wait only takes in what the system already holds; its
        // readyRead runs the line handler before we return.
        if (socket->state() == QAbstractSocket::ConnectedState)
            socket->waitForReadyRead(0);
    }
}

int TTcpTransport::DropConnections() {
    int dropped = 0;
    for (QTcpSocket* socket : findChildren<QTcpSocket*>(Qt::FindDirectChildrenOnly)) {
        if (socket->state() == QAbstractSocket::ConnectedState) {
            socket->abort();
            socket->deleteLater();
            ++dropped;
        }
    }
    return dropped;
}

void TTcpTransport::Accept() {
    while (QTcpSocket* socket = FServer->nextPendingConnection()) {
        socket->setParent(this);
        auto splitter = std::make_shared<TLineSplitter>('\r');
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, splitter] {
            const QList<QByteArray> lines = splitter->Feed(socket->readAll());
            for (const QByteArray& line : lines) {
                QPointer<QTcpSocket> peer(socket);
                FHandler(line, [peer](const QByteArray& bytes) {
                    if (peer && peer->state() == QAbstractSocket::ConnectedState)
                        peer->write(bytes);
                });
            }
        });
    }
}

} // namespace lasersim
