#include "terminal/TerminalState.h"

#include <QSettings>

namespace terminal {

namespace {

// Keys inside the storage group, one per control, in the order the window
// restores them: texts, then the radio buttons, then the lists.
const QString KeyOtherText = QStringLiteral("editOther/Text");
const QString KeySendText = QStringLiteral("editSend/Text");
const QString KeyCR = QStringLiteral("radioCR/Checked");
const QString KeyLF = QStringLiteral("radioLF/Checked");
const QString KeyOther = QStringLiteral("radioOther/Checked");
const QString KeyCommands = QStringLiteral("listCmds");
const QString KeyHistory = QStringLiteral("listHistory");
const QString KeyLine = QStringLiteral("Line");

// Lists as arrays rather than one comma-joined value: an entry may hold
// commas, quotes or control characters, and an empty list stays empty.
QStringList ReadLines(QSettings& settings, const QString& key, const QStringList& fallback) {
    if (!settings.childGroups().contains(key))
        return fallback;
    QStringList lines;
    const int count = settings.beginReadArray(key);
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        lines << settings.value(KeyLine).toString();
    }
    settings.endArray();
    return lines;
}

void WriteLines(QSettings& settings, const QString& key, const QStringList& lines) {
    settings.remove(key);
    settings.beginWriteArray(key, int(lines.size()));
    for (int i = 0; i < lines.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(KeyLine, lines.at(i));
    }
    settings.endArray();
}

} // namespace

std::unique_ptr<QSettings> OpenStorage() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Trevalon"), QStringLiteral("Trevalon"));
}

TTerminalState LoadState(const TTerminalState& defaults) {
    const std::unique_ptr<QSettings> settings = OpenStorage();
    settings->beginGroup(QLatin1String(StorageName));
    TTerminalState state;
    state.OtherText = settings->value(KeyOtherText, defaults.OtherText).toString();
    state.SendText = settings->value(KeySendText, defaults.SendText).toString();
    state.CR = settings->value(KeyCR, defaults.CR).toBool();
    state.LF = settings->value(KeyLF, defaults.LF).toBool();
    state.Other = settings->value(KeyOther, defaults.Other).toBool();
    state.Commands = ReadLines(*settings, KeyCommands, defaults.Commands);
    state.History = ReadLines(*settings, KeyHistory, defaults.History);
    settings->endGroup();
    return state;
}

void SaveState(const TTerminalState& state) {
    const std::unique_ptr<QSettings> settings = OpenStorage();
    settings->beginGroup(QLatin1String(StorageName));
    settings->setValue(KeyOtherText, state.OtherText);
    settings->setValue(KeySendText, state.SendText);
    settings->setValue(KeyCR, state.CR);
    settings->setValue(KeyLF, state.LF);
    settings->setValue(KeyOther, state.Other);
    WriteLines(*settings, KeyCommands, state.Commands);
    WriteLines(*settings, KeyHistory, state.History);
    settings->endGroup();
}

} // namespace terminal
