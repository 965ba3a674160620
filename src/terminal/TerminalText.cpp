#include "terminal/TerminalText.h"

namespace terminal {

QString PortEntry(int port, const QString& devicePath) {
    QString entry = QStringLiteral("COM") + QString::number(port);
    if (!devicePath.isEmpty())
        entry += QStringLiteral("  ") + devicePath;
    return entry;
}

int PortOfEntry(const QString& entry) {
    if (!entry.startsWith(QLatin1String("COM")))
        return 0;
    qsizetype end = 3;
    while (end < entry.size() && entry.at(end) >= QLatin1Char('0') &&
           entry.at(end) <= QLatin1Char('9'))
        ++end;
    bool ok = false;
    const int port = entry.mid(3, end - 3).toInt(&ok);
    return ok ? port : 0;
}

QString CommandOfLine(const QString& line) {
    const qsizetype gap = line.indexOf(QLatin1String("  "));
    if (gap < 0)
        return {};
    // Spaces and control characters, as an operator's pasted line may carry
    // a tab or a stray carriage return.
    const auto blank = [](QChar c) { return c.unicode() <= ' '; };
    qsizetype first = 0;
    qsizetype last = gap;
    while (first < last && blank(line.at(first)))
        ++first;
    while (last > first && blank(line.at(last - 1)))
        --last;
    return line.mid(first, last - first);
}

std::optional<int> TerminatorOfText(const QString& text) {
    const QString number = text.trimmed();
    if (number.isEmpty())
        return std::nullopt;
    for (qsizetype i = 0; i < number.size(); ++i) {
        const QChar c = number.at(i);
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) &&
            !(i == 0 && (c == QLatin1Char('+') || c == QLatin1Char('-'))))
            return std::nullopt;
    }
    bool ok = false;
    const int value = number.toInt(&ok, 10);
    if (!ok || value < 0 || value > 255)
        return std::nullopt;
    return value;
}

} // namespace terminal
