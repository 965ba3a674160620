#include "ControlChannel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QSocketNotifier>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace lasersim {

TControlChannel::TControlChannel(TControlHandler handler, QObject* parent)
    : QObject(parent), FHandler(std::move(handler)) {}

TControlChannel::~TControlChannel() {
    if (FServer != nullptr)
        FServer->close(); // removes the socket file
}

QByteArray TControlChannel::Answer(QByteArray line) {
    if (line.endsWith('\r'))
        line.chop(1);
    return FHandler(line) + '\n';
}

void TControlChannel::ListenStdin() {
    FStdinNotifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(FStdinNotifier, &QSocketNotifier::activated, this, [this] {
        char buffer[1024];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            // End of input (for example started with </dev/null): the
            // simulator keeps serving; only the control input is gone.
            FStdinNotifier->setEnabled(false);
            return;
        }
        for (const QByteArray& line : FStdinSplitter.Feed(QByteArray(buffer, n))) {
            const QByteArray answer = Answer(line);
            std::fwrite(answer.constData(), 1, answer.size(), stdout);
            std::fflush(stdout);
        }
    });
}

bool TControlChannel::ListenSocket(const QString& path, QString& error) {
    FServer = new QLocalServer(this);
    QLocalServer::removeServer(path);
    if (!FServer->listen(path)) {
        error = QStringLiteral("cannot listen on %1: %2").arg(path, FServer->errorString());
        return false;
    }
    connect(FServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = FServer->nextPendingConnection()) {
            auto splitter = std::make_shared<TLineSplitter>('\n');
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket, splitter] {
                for (const QByteArray& line : splitter->Feed(socket->readAll()))
                    socket->write(Answer(line));
            });
        }
    });
    return true;
}

} // namespace lasersim
