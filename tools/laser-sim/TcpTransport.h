#pragma once

#include "LineSplitter.h"

#include <QObject>
#include <QString>

class QTcpServer;

namespace lasersim {

// The laser behind a network relay: a TCP listener that treats every
// accepted connection as its own serial line (own line buffer, answers go
// back to the connection that asked).
class TTcpTransport : public QObject {
    Q_OBJECT
public:
    using TLineHandler = std::function<void(const QByteArray& line, const TSendFunction& send)>;

    explicit TTcpTransport(TLineHandler handler, QObject* parent = nullptr);

    // address: "[HOST:]PORT", host 127.0.0.1 when omitted, port 0 for any free
    // port. Returns false with a reason in error.
    bool Listen(const QString& address, QString& error);
    // "127.0.0.1:PORT" with the port actually bound.
    QString BoundAddress() const;
    // Handles whatever the clients have already sent (see TSimService).
    void Drain();
    // Closes every accepted connection (the relay drops the line); returns
    // how many there were. The listener stays open.
    int DropConnections();

private:
    void Accept();

    TLineHandler FHandler;
    QTcpServer* FServer = nullptr;
};

} // namespace lasersim
