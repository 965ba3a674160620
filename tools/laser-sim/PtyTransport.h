#pragma once

#include "LineSplitter.h"

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace lasersim {

// The laser's serial line as a pseudo-terminal: the simulator holds the
// controlling (master) end and publishes the device end as a symbolic link,
// the way a USB serial adapter appears under /dev. It keeps a descriptor of
// the device end open itself, so a client may close and reopen the port
// without the master seeing a hang-up.
class TPtyTransport : public QObject {
    Q_OBJECT
public:
    using TLineHandler = std::function<void(const QByteArray& line, const TSendFunction& send)>;

    explicit TPtyTransport(TLineHandler handler, QObject* parent = nullptr);
    ~TPtyTransport() override;

    // Creates the pair and the link at linkPath (an existing symbolic link
    // there is replaced, any other file is refused). Returns false with a
    // reason in error.
    bool Open(const QString& linkPath, QString& error);
    QString DevicePath() const { return FDevicePath; }

    // Handles whatever the client has already written (see TSimService).
    void Drain();

    // Writes to the master end (what the device end cannot take is lost).
    void Send(const QByteArray& bytes);

private:
    void ReadMaster();

    TLineHandler FHandler;
    TLineSplitter FSplitter{'\r'};
    int FMaster = -1;
    int FDevice = -1;
    QString FLinkPath;
    QString FDevicePath;
    QSocketNotifier* FReadNotifier = nullptr;
};

} // namespace lasersim
