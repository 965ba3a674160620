#include "SimControl.h"

namespace lasersim {

namespace {

// Splits off the first word; rest keeps its inner spaces.
QByteArray FirstWord(const QByteArray& text, QByteArray& rest) {
    const QByteArray trimmed = text.trimmed();
    const qsizetype space = trimmed.indexOf(' ');
    if (space < 0) {
        rest.clear();
        return trimmed;
    }
    rest = trimmed.mid(space + 1).trimmed();
    return trimmed.left(space);
}

QByteArray Ok(const QByteArray& text = {}) {
    return text.isEmpty() ? QByteArray("OK") : "OK " + text;
}

QByteArray Err(const QByteArray& text) {
    return "ERR " + text;
}

} // namespace

QByteArray TSimControl::Execute(const QByteArray& line, qint64 nowMs) {
    QByteArray rest;
    const QByteArray verb = FirstWord(line, rest).toLower();
    if (verb.isEmpty())
        return Err("empty line");
    if (verb == "ping")
        return Ok("pong");
    if (verb == "quit") {
        FQuit = true;
        return Ok("bye");
    }
    if (verb == "fault")
        return Fault(rest.simplified().split(' '));
    if (verb == "reply" || verb == "error" || verb == "silent" || verb == "garbage" ||
        verb == "late" || verb == "normal")
        return Override(verb, rest);
    if (verb == "set") {
        QByteArray value;
        const QByteArray key = FirstWord(rest, value).toLower();
        if (key.isEmpty())
            return Err("set needs a name and a value");
        const QByteArray problem = FLaser.Set(key, value, nowMs);
        return problem.isEmpty() ? Ok() : Err(problem);
    }
    if (verb == "get") {
        const std::optional<QByteArray> value = FLaser.Get(rest.trimmed().toLower(), nowMs);
        return value ? Ok(*value) : Err("unknown name '" + rest.trimmed() + "'");
    }
    return Err("unknown control '" + verb + "'");
}

QByteArray TSimControl::Fault(const QList<QByteArray>& words) {
    const QByteArray mode = words.value(0).toLower();
    static const QMap<QByteArray, ELinkFault> modes = {
        {"none", ELinkFault::None}, {"silent", ELinkFault::Silent}, {"nocr", ELinkFault::NoCr},
        {"nul", ELinkFault::Nul},   {"extra", ELinkFault::Extra},   {"long", ELinkFault::Long},
        {"late", ELinkFault::Late}, {"split", ELinkFault::Split},   {"burst", ELinkFault::Burst}};
    if (!modes.contains(mode))
        return Err("fault needs one of none silent nocr nul extra long late split burst");
    if (mode == "late" || mode == "split") {
        bool ok = false;
        const int ms = words.value(1).toInt(&ok);
        if (!ok || ms < 0 || words.size() > 2)
            return Err("fault " + mode + " needs a time in milliseconds");
        FResponder.SetFault(modes.value(mode), ms);
        return Ok();
    }
    if (words.size() > 1)
        return Err("fault " + mode + " takes no argument");
    FResponder.SetFault(modes.value(mode));
    return Ok();
}

QByteArray TSimControl::Override(const QByteArray& verb, const QByteArray& rest) {
    QByteArray argument;
    // The command is taken as typed apart from case; the reply text of
    // "reply" keeps its spaces and may be empty (an empty line is sent).
    const qsizetype space = rest.indexOf(' ');
    const QByteArray command = (space < 0 ? rest : rest.left(space)).toUpper();
    if (space >= 0)
        argument = rest.mid(space + 1);
    if (command.isEmpty())
        return Err(verb + " needs a command");

    if (verb == "normal") {
        if (command == "ALL") {
            FResponder.ClearOverrides();
            return Ok();
        }
        return FResponder.ClearOverride(command) ? Ok() : Err("no override for " + command);
    }
    TCommandOverride action;
    if (verb == "reply") {
        action.Kind = TCommandOverride::Reply;
        action.Text = argument;
    } else if (verb == "error") {
        action.Kind = TCommandOverride::Error;
        action.Text = argument.trimmed();
        if (action.Text.size() != 1)
            return Err("error needs one character after the command, e.g. error RR* 1");
    } else if (verb == "silent") {
        action.Kind = TCommandOverride::Silent;
    } else if (verb == "late") {
        bool ok = false;
        action.Kind = TCommandOverride::Late;
        action.DelayMs = argument.trimmed().toInt(&ok);
        if (!ok || action.DelayMs < 0)
            return Err("late needs a delay in milliseconds after the command, e.g. late SC 2100");
        argument.clear();
    } else {
        action.Kind = TCommandOverride::Garbage;
    }
    if (verb != "reply" && verb != "error" && !argument.trimmed().isEmpty())
        return Err(verb + " takes only a command");
    FResponder.SetOverride(command, action);
    return Ok();
}

} // namespace lasersim
