#pragma once

#include "LineSplitter.h"

#include <QObject>
#include <QString>

class QLocalServer;
class QSocketNotifier;

namespace lasersim {

// Where control lines come from: standard input (answers on standard output)
// and, optionally, a Unix-domain socket (answers on the same connection).
// Lines end with LF; a CR before it is dropped.
class TControlChannel : public QObject {
    Q_OBJECT
public:
    // handler returns the one answer line (without newline) for a line.
    using TControlHandler = std::function<QByteArray(const QByteArray& line)>;

    explicit TControlChannel(TControlHandler handler, QObject* parent = nullptr);
    ~TControlChannel() override;

    void ListenStdin();
    // Creates the socket at path (a stale socket there is removed).
    bool ListenSocket(const QString& path, QString& error);

private:
    QByteArray Answer(QByteArray line);

    TControlHandler FHandler;
    TLineSplitter FStdinSplitter{'\n'};
    QSocketNotifier* FStdinNotifier = nullptr;
    QLocalServer* FServer = nullptr;
};

} // namespace lasersim
