#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

const QByteArray CrLf = QByteArrayLiteral("\r\n");
const QByteArray Utf8Mark = QByteArrayLiteral("\xEF\xBB\xBF");

enum class TLineKind { Other, Section, Key };

struct TParsedLine {
    TLineKind Kind = TLineKind::Other;
    QByteArray Name;
    QByteArray Value;
};

TParsedLine ParseLine(QByteArray text, bool firstLine) {
    // Editors on other systems may start the file with a byte-order mark.
    if (firstLine && text.startsWith(Utf8Mark))
        text.remove(0, Utf8Mark.size());
    const QByteArray line = text.trimmed();
    TParsedLine parsed;
    if (line.startsWith('[')) {
        const qsizetype close = line.lastIndexOf(']');
        if (close > 0) {
            parsed.Kind = TLineKind::Section;
            parsed.Name = line.mid(1, close - 1).trimmed();
        }
        return parsed;
    }
    if (line.startsWith(';'))
        return parsed;
    const qsizetype equals = line.indexOf('=');
    if (equals <= 0)
        return parsed;
    parsed.Kind = TLineKind::Key;
    parsed.Name = line.left(equals).trimmed();
    parsed.Value = line.mid(equals + 1).trimmed();
    return parsed;
}

// QString::fromUtf8 takes a leading U+FEFF for a byte-order mark and drops
// it, so a name or value that starts with one would no longer read back as
// written. Only the file's first bytes are a mark (ParseLine).
QString Decoded(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder(bytes);
}

bool SameName(const QByteArray& name, const QString& wanted) {
    return Decoded(name).compare(wanted, Qt::CaseInsensitive) == 0;
}

QByteArray OneLine(const QString& text) {
    QByteArray bytes = text.toUtf8();
    bytes.replace('\r', ' ');
    bytes.replace('\n', ' ');
    return bytes;
}

// The new file belongs to whoever saves it: root saving a user's file would
// take it from the user.
void KeepOwner(const QString& path, int handle) {
    struct stat old {};
    struct stat now {};
    if (stat(QFile::encodeName(path).constData(), &old) != 0 || fstat(handle, &now) != 0)
        return;
    if ((old.st_uid == now.st_uid && old.st_gid == now.st_gid) ||
        fchown(handle, old.st_uid, old.st_gid) == 0)
        return;
    // An ordinary user can give the file to no one else, but to a group of
    // their own, so that the group keeps its access. Where even that fails,
    // the file is the saver's, as a file they made would be.
    [[maybe_unused]] const int groupKept = fchown(handle, uid_t(-1), old.st_gid);
}

} // namespace

TProfileFile::TProfileFile(QString path) : FPath(std::move(path)) {
    QFile file(FPath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray content = file.readAll();
    qsizetype start = 0;
    while (start < content.size()) {
        const qsizetype newline = content.indexOf('\n', start);
        TLine line;
        if (newline < 0) {
            line.Text = content.mid(start);
            start = content.size();
        } else {
            line.Text = content.mid(start, newline - start);
            line.End = QByteArrayLiteral("\n");
            if (line.Text.endsWith('\r')) {
                line.Text.chop(1);
                line.End = CrLf;
            }
            start = newline + 1;
        }
        FLines.append(line);
    }
}

qsizetype TProfileFile::FindSection(const QString& section) const {
    for (qsizetype i = 0; i < FLines.size(); ++i) {
        const TParsedLine parsed = ParseLine(FLines[i].Text, i == 0);
        if (parsed.Kind == TLineKind::Section && SameName(parsed.Name, section))
            return i;
    }
    return -1;
}

qsizetype TProfileFile::FindKey(qsizetype header, const QString& key, qsizetype* end) const {
    qsizetype found = -1;
    qsizetype i = header + 1;
    for (; i < FLines.size(); ++i) {
        const TParsedLine parsed = ParseLine(FLines[i].Text, false);
        if (parsed.Kind == TLineKind::Section)
            break;
        if (found < 0 && parsed.Kind == TLineKind::Key && SameName(parsed.Name, key))
            found = i;
    }
    if (end)
        *end = i;
    return found;
}

QString TProfileFile::ReadString(const QString& section, const QString& key,
                                 const QString& fallback) const {
    const qsizetype header = FindSection(section);
    if (header < 0)
        return fallback;
    const qsizetype line = FindKey(header, key, nullptr);
    if (line < 0)
        return fallback;
    QByteArray value = ParseLine(FLines[line].Text, false).Value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return Decoded(value);
}

void TProfileFile::TerminateLast() {
    if (!FLines.isEmpty() && FLines.last().End.isEmpty())
        FLines.last().End = CrLf;
}

void TProfileFile::WriteString(const QString& section, const QString& key, const QString& value) {
    const qsizetype header = FindSection(section);
    if (header < 0) {
        TerminateLast();
        FLines.append(TLine{'[' + OneLine(section) + ']', CrLf});
        FLines.append(TLine{OneLine(key) + '=' + OneLine(value), CrLf});
        return;
    }
    qsizetype end = 0;
    const qsizetype line = FindKey(header, key, &end);
    if (line >= 0) {
        // The key keeps the spelling the file gave it.
        const QByteArray name = ParseLine(FLines[line].Text, false).Name;
        FLines[line] = TLine{name + '=' + OneLine(value), CrLf};
        return;
    }
    // After the section's last line that is not blank, so that blank lines
    // separating it from the next section stay where they are.
    qsizetype after = end - 1;
    while (after > header && FLines[after].Text.trimmed().isEmpty())
        --after;
    if (after == FLines.size() - 1)
        TerminateLast();
    FLines.insert(after + 1, TLine{OneLine(key) + '=' + OneLine(value), CrLf});
}

QByteArray TProfileFile::Content() const {
    QByteArray content;
    for (const TLine& line : FLines)
        content += line.Text + line.End;
    return content;
}

bool TProfileFile::CanWrite() const {
    const QFileInfo info(FPath);
    // Save() makes the new file beside the file that the links lead to, in
    // the end, and renames it over the old one. The effective user is
    // asked, with the kernel's answer for root: a folder on a read-only
    // mount refuses root too.
    QString target = info.canonicalFilePath();
    if (target.isEmpty())
        target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    const QString folder = QFileInfo(target).absolutePath();
    if (!QFileInfo(folder).isDir() ||
        faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK | X_OK, AT_EACCESS) != 0)
        return false;
    if (!info.exists())
        return true;
    if (!info.isFile())
        return false;
    // The mode bits alone: Qt's "User" bits ask the kernel, which lets root
    // write anything.
    const QFile::Permissions writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!(info.permissions() & writeBits))
        return false;
    // Opening for appending tries the real access without changing a byte.
    QFile file(FPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    file.close();
    return true;
}

bool TProfileFile::Save() {
    if (!CanWrite())
        return false;
    // Never QSaveFile's fallback of writing in place: a full disk or a crash
    // midway would leave half a file, and with it go the sections that other
    // programs keep in it. No temporary file, no save.
    QSaveFile file(FPath);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // QSaveFile gives the new file the old one's permission bits, not its
    // owner.
    KeepOwner(FPath, file.handle());
    const QByteArray content = Content();
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}

} // namespace platform
