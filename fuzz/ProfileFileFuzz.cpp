// The profile-file reader and writer on any file content: reading never
// fails, a key written reads back as the value written (with the blanks
// around it and line breaks made blanks, and an enclosing pair of quotation
// marks taken off, as the reader documents), writing it again changes
// nothing, every other line stays byte for byte, and the saved file reads
// back as the content in memory.

#include "FuzzCheck.h"
#include "platform/ProfileFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringDecoder>

#include <unistd.h>

namespace {

const QString& FilePath() {
    static const QString path =
        QDir::tempPath() + QStringLiteral("/trevalon-fuzz-%1.ini").arg(getpid());
    return path;
}

// UTF-8 text with a leading U+FEFF kept, which QString::fromUtf8 would drop:
// names and values may start with one.
QString Decoded(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder(bytes);
}

void WriteFile(const QByteArray& content) {
    QFile file(FilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size())
        std::abort();
}

// The names the program writes: one line of text without blanks around
// it; a key holds no "=" and starts with neither ";" nor "[".
bool UsableName(const QString& name, bool key) {
    if (name.isEmpty())
        return false;
    const QByteArray bytes = name.toUtf8();
    if (bytes.trimmed() != bytes || bytes.contains('\r') || bytes.contains('\n'))
        return false;
    if (key && (bytes.contains('=') || bytes.startsWith(';') || bytes.startsWith('[')))
        return false;
    return true;
}

QString ExpectedValue(const QString& value) {
    QByteArray bytes = value.toUtf8();
    bytes.replace('\r', ' ');
    bytes.replace('\n', ' ');
    bytes = bytes.trimmed();
    if (bytes.size() >= 2 && (bytes.front() == '"' || bytes.front() == '\'') &&
        bytes.back() == bytes.front())
        bytes = bytes.mid(1, bytes.size() - 2);
    return Decoded(bytes);
}

// The lines of `content`, each with its line end.
QList<QByteArray> Lines(const QByteArray& content) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        const qsizetype newline = content.indexOf('\n', start);
        const qsizetype end = newline < 0 ? content.size() : newline + 1;
        lines.append(content.mid(start, end - start));
        start = end;
    }
    return lines;
}

bool IsLineOfKey(const QByteArray& line, const QString& key) {
    const qsizetype equals = line.indexOf('=');
    return equals > 0 &&
           Decoded(line.left(equals).trimmed()).compare(key, Qt::CaseInsensitive) == 0;
}

// Before and after a write: the same lines except one block, where at most
// one old line (the key's line, or the last line that gains a line end)
// gave way to at most three new ones (that line, a header, the key's line).
void CheckOtherLinesKept(const QByteArray& before, const QByteArray& after, const QString& key) {
    const QList<QByteArray> old = Lines(before);
    const QList<QByteArray> now = Lines(after);
    qsizetype head = 0;
    while (head < old.size() && head < now.size() && old[head] == now[head])
        ++head;
    qsizetype tail = 0;
    while (tail < old.size() - head && tail < now.size() - head &&
           old[old.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    const qsizetype removed = old.size() - head - tail;
    const qsizetype added = now.size() - head - tail;
    // A value written over the same value changes nothing.
    FUZZ_REQUIRE(removed <= 1 && added <= 3);
    if (removed == 1) {
        const QByteArray& gone = old[head];
        const bool gainedEnd =
            head == old.size() - 1 && !gone.endsWith('\n') && now[head] == gone + "\r\n";
        FUZZ_REQUIRE(added >= 1);
        FUZZ_REQUIRE(gainedEnd || IsLineOfKey(gone, key));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    QString section = Decoded(input.ConsumeRandomLengthString(24));
    QString key = Decoded(input.ConsumeRandomLengthString(24));
    const QString value = Decoded(input.ConsumeRandomLengthString(64));
    const QByteArray content = QByteArray::fromStdString(input.ConsumeRemainingBytesAsString());
    if (!UsableName(section, false))
        section = QStringLiteral("Laser");
    if (!UsableName(key, true))
        key = QStringLiteral("Port");

    WriteFile(content);
    platform::TProfileFile file(FilePath());
    FUZZ_REQUIRE(file.Content() == content);
    const QString fallback = QStringLiteral("\x01fallback");
    file.ReadString(section, key, fallback);

    file.WriteString(section, key, value);
    const QByteArray written = file.Content();
    FUZZ_REQUIRE(file.ReadString(section, key, fallback) == ExpectedValue(value));
    CheckOtherLinesKept(content, written, key);

    file.WriteString(section, key, value);
    FUZZ_REQUIRE(file.Content() == written);

    FUZZ_REQUIRE(file.Save());
    const platform::TProfileFile saved(FilePath());
    FUZZ_REQUIRE(saved.Content() == written);
    FUZZ_REQUIRE(saved.ReadString(section, key, fallback) == ExpectedValue(value));
    return 0;
}
