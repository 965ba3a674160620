#include "comm/TraceText.h"

namespace comm {

QByteArray EscapeTraceText(const char* bytes, std::size_t length) {
    static const char hex[] = "0123456789ABCDEF";
    QByteArray text;
    if (!bytes)
        return text;
    text.reserve(static_cast<qsizetype>(length));
    for (std::size_t i = 0; i < length && bytes[i] != '\0'; ++i) {
        const auto code = static_cast<unsigned char>(bytes[i]);
        if (code < 33 || code > 126) {
            text.append('$');
            text.append(hex[code >> 4]);
            text.append(hex[code & 0x0F]);
        } else {
            text.append(static_cast<char>(code));
        }
    }
    return text;
}

QByteArray TracePortLine(std::int64_t ms, int port, const char* event) {
    return "[" + QByteArray::number(static_cast<qlonglong>(ms)) + ":PORT " +
           QByteArray::number(port) + " " + event + "]";
}

QByteArray TraceReadLine(std::int64_t ms, int port, const char* bytes, std::size_t length) {
    return "[" + QByteArray::number(static_cast<qlonglong>(ms)) + ":READ" +
           QByteArray::number(port) + "]" + EscapeTraceText(bytes, length);
}

QByteArray TraceWriteLine(std::int64_t ms, int port, const char* bytes, std::size_t length) {
    return "[" + QByteArray::number(static_cast<qlonglong>(ms)) + ":WRITE" +
           QByteArray::number(port) + "]" + EscapeTraceText(bytes, length);
}

} // namespace comm
