#pragma once

// A small HTTP server on 127.0.0.1 inside the test process, driven by the
// event loop the client under test runs. It answers each request with
// `Status` and `Body`, or, by `Mode`, never answers or trickles the body a
// byte at a time.

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

class LocalHttpServer {
public:
    enum class TMode { Answer, Silent, Trickle };

    LocalHttpServer() {
        FServer.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&FServer, &QTcpServer::newConnection, &FServer, [this] {
            while (QTcpSocket* socket = FServer.nextPendingConnection()) {
                socket->setParent(&FServer);
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { Read(socket); });
            }
        });
    }

    bool Listening() const { return FServer.isListening(); }
    QString Url(const QString& path = QStringLiteral("/versions.txt")) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(FServer.serverPort()).arg(path);
    }

    TMode Mode = TMode::Answer;
    int Status = 200;
    QByteArray Body;
    int Requests = 0;
    // Called as each request arrives, before it is answered.
    std::function<void()> OnRequest;

private:
    void Read(QTcpSocket* socket) {
        QByteArray& pending = FPending[socket];
        pending += socket->readAll();
        if (!pending.contains("\r\n\r\n"))
            return;
        pending.clear();
        ++Requests;
        if (OnRequest)
            OnRequest();
        if (Mode == TMode::Silent)
            return;
        const QByteArray reason = Status == 200 ? "OK" : "Error";
        socket->write("HTTP/1.1 " + QByteArray::number(Status) + ' ' + reason +
                      "\r\nContent-Type: text/plain\r\nContent-Length: " +
                      QByteArray::number(Body.size()) + "\r\nConnection: close\r\n\r\n");
        if (Mode == TMode::Answer) {
            socket->write(Body);
            socket->disconnectFromHost();
            return;
        }
        // One byte every 100 ms: never a pause long enough for an idle
        // limit, yet the whole body takes far longer than a test waits.
        auto* timer = new QTimer(socket);
        QObject::connect(timer, &QTimer::timeout, socket, [socket, body = Body]() mutable {
            if (body.isEmpty())
                return;
            socket->write(body.left(1));
            body.remove(0, 1);
        });
        timer->start(100);
    }

    QTcpServer FServer;
    QHash<QTcpSocket*, QByteArray> FPending;
};
