#include "diag/ExcMagic.h"

#include "platform/AppPaths.h"
#include "platform/VersionBlock.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

TExcMagic* theInstance = nullptr;

const QByteArray Hyphens(27, '-');

// Appends with O_APPEND under an exclusive flock: a second process writing
// the same log waits for the entry in progress instead of losing its own.
bool AppendToFile(const QString& fileName, const QByteArray& bytes) {
    const int fd = ::open(QFile::encodeName(fileName).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    ::flock(fd, LOCK_EX);
    qsizetype done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        done += n;
    }
    ::flock(fd, LOCK_UN);
    ::close(fd);
    return ok;
}

} // namespace

TExcMagic::TExcMagic(const QString& logFileName) : FLogFileName(logFileName) {
    if (theInstance)
        throw std::logic_error("Only one instance of TExcMagic allowed");
    theInstance = this;
}

TExcMagic::~TExcMagic() {
    if (theInstance == this)
        theInstance = nullptr;
}

TExcMagic* TExcMagic::Instance() {
    return theInstance;
}

QString TExcMagic::DefaultLogFileName() {
    return platform::LogFolder() + "ExcMagic.Log";
}

QByteArray TExcMagic::TimeStamp(const QDateTime& local) {
    const QDate d = local.date();
    const QTime t = local.time();
    return QString::asprintf("%.2d:%.2d:%.2d %.2d/%.2d/%.4d", t.hour(), t.minute(), t.second(),
                             d.day(), d.month(), d.year())
        .toLatin1();
}

void TExcMagic::WriteEntry(const QByteArray& text, bool withSeparator) {
    if (!FEnabled || FLogFileName.isEmpty())
        return;
    QByteArray entry;
    if (withSeparator)
        entry += "\r\n" + Hyphens + TimeStamp(QDateTime::currentDateTime()) + Hyphens;
    entry += text;
    entry += "\r\n";
    AppendToFile(FLogFileName, entry);
}

void TExcMagic::TrimAtStartup(const QString& executablePath) {
    if (SizeOfPath(FLogFileName) > TrimThreshold)
        QFile::remove(FLogFileName);
    WriteEntry("Program Started - V" + VersionString(executablePath, 2).toLatin1(), true);
}

qint64 TExcMagic::SizeOfPath(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return 0;
    if (!info.isDir())
        return info.size();
    qint64 total = 0;
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo entry = it.fileInfo();
        if (entry.isFile())
            total += entry.size();
    }
    return total;
}

QString TExcMagic::VersionString(const QString& fileName, int keyIndex) {
    if (keyIndex < 0 || keyIndex >= platform::VersionKeyCount)
        throw std::out_of_range("Range check error");
    return platform::ReadVersionValue(fileName, platform::VersionKeys[keyIndex]);
}
