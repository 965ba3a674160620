#include "PtyTransport.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace lasersim {

TPtyTransport::TPtyTransport(TLineHandler handler, QObject* parent)
    : QObject(parent), FHandler(std::move(handler)) {}

TPtyTransport::~TPtyTransport() {
    if (!FLinkPath.isEmpty())
        ::unlink(QFile::encodeName(FLinkPath).constData());
    if (FMaster >= 0)
        ::close(FMaster);
    if (FDevice >= 0)
        ::close(FDevice);
}

bool TPtyTransport::Open(const QString& linkPath, QString& error) {
    FMaster = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (FMaster < 0 || ::grantpt(FMaster) != 0 || ::unlockpt(FMaster) != 0) {
        error =
            QStringLiteral("cannot create a pty: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    const char* name = ::ptsname(FMaster);
    if (name == nullptr) {
        error = QStringLiteral("cannot name the pty's device end");
        return false;
    }
    FDevicePath = QString::fromLocal8Bit(name);
    FDevice = ::open(name, O_RDWR | O_NOCTTY);
    if (FDevice < 0) {
        error = QStringLiteral("cannot open %1: %2")
                    .arg(FDevicePath, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    // Raw 9600 8N1, as the laser's line is: no echo, no CR/LF translation,
    // so the client sees exactly the bytes the laser sends, even a client
    // that opens the device without setting the line up itself.
    termios tio{};
    if (::tcgetattr(FDevice, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        tio.c_cflag |= CLOCAL | CREAD;
        ::tcsetattr(FDevice, TCSANOW, &tio);
    }
    ::fcntl(FMaster, F_SETFL, ::fcntl(FMaster, F_GETFL) | O_NONBLOCK);

    const QByteArray link = QFile::encodeName(linkPath);
    const QFileInfo existing(linkPath);
    if (existing.isSymLink()) {
        ::unlink(link.constData());
    } else if (existing.exists()) {
        error = QStringLiteral("%1 exists and is not a symbolic link").arg(linkPath);
        return false;
    }
    if (::symlink(name, link.constData()) != 0) {
        error = QStringLiteral("cannot link %1 to %2: %3")
                    .arg(linkPath, FDevicePath, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    FLinkPath = linkPath;

    FReadNotifier = new QSocketNotifier(FMaster, QSocketNotifier::Read, this);
    connect(FReadNotifier, &QSocketNotifier::activated, this, [this] { ReadMaster(); });
    return true;
}

void TPtyTransport::Drain() {
    if (FMaster >= 0)
        ReadMaster();
}

void TPtyTransport::ReadMaster() {
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(FMaster, buffer, sizeof buffer);
        if (n <= 0)
            break; // EAGAIN: all read; EIO cannot happen while FDevice is open
        const QList<QByteArray> lines = FSplitter.Feed(QByteArray(buffer, n));
        for (const QByteArray& line : lines) {
            QPointer<TPtyTransport> self(this);
            FHandler(line, [self](const QByteArray& bytes) {
                if (self)
                    self->Send(bytes);
            });
        }
    }
}

void TPtyTransport::Send(const QByteArray& bytes) {
    // A serial line transmits whether anyone listens or not: what the device
    // end's input queue cannot take (nobody has read it for kilobytes) is
    // lost, as it would be on the wire, rather than delivered stale later.
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(FMaster, bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            break;
        done += n;
    }
}

} // namespace lasersim
