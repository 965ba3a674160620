#pragma once

#include "dialogs/Dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <utility>

// Dialogs whose answers a test scripts. Every dialog shown is recorded as
// "caption|text" (input boxes as "caption|prompt|preset"). Message boxes
// take the next queued answer, or Cancel (OK for a plain box) when none is
// queued; input boxes take the next queued text, or Cancel when none is
// queued or the queued entry is empty (std::nullopt).
class TScriptedDialogs : public TDialogs {
public:
    TMsgResult MessageBox(const QString& text, const QString& caption, TMsgButtons buttons,
                          TMsgIcon) override {
        Shown << caption + QLatin1Char('|') + text;
        if (OnMessage)
            OnMessage(caption, text);
        Open();
        if (Aborted() || Answers.empty())
            return buttons == TMsgButtons::mbOK ? TMsgResult::mrOK : TMsgResult::mrCancel;
        const TMsgResult answer = Answers.front();
        Answers.pop_front();
        return answer;
    }

    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override {
        Shown << caption + QLatin1Char('|') + prompt + QLatin1Char('|') + value;
        Open();
        if (Aborted() || Inputs.empty())
            return false;
        const std::optional<QString> answer = Inputs.front();
        Inputs.pop_front();
        if (!answer)
            return false;
        value = *answer;
        return true;
    }

    QString OpenFileName(const QString& caption, const QString& folder, const QString& filter,
                         const QString& defaultSuffix) override {
        Shown << caption;
        FileDialogs << QStringList{caption, folder, filter, defaultSuffix}.join(QLatin1Char('|'));
        Open();
        return FileAnswer;
    }

    QString SaveFileName(const QString& caption, const QString& folder, const QString& filter,
                         const QString& defaultSuffix) override {
        Shown << caption;
        FileDialogs << QStringList{caption, folder, filter, defaultSuffix}.join(QLatin1Char('|'));
        Open();
        return FileAnswer;
    }

    void Abort() override { FAborted = true; }
    bool Aborted() const override { return FAborted; }

    // The texts of the message boxes shown so far (without captions).
    QStringList Messages() const {
        QStringList texts;
        for (const QString& entry : Shown)
            if (entry.count(QLatin1Char('|')) == 1)
                texts << entry.section(QLatin1Char('|'), 1);
        return texts;
    }

    QStringList Shown;
    std::deque<TMsgResult> Answers;
    std::deque<std::optional<QString>> Inputs;
    QString FileAnswer;
    // Each file dialog shown, as "caption|folder|filter|default suffix".
    QStringList FileDialogs;
    // Called as each message box opens (before it answers).
    std::function<void(const QString& caption, const QString& text)> OnMessage;
    // Called while a dialog of any kind is "open", before it answers, as the
    // operator's time in it: poll ticks and clicks happen here. Taken for
    // the first dialog only, so that a dialog it opens meets none.
    std::function<void()> WhileOpen;

private:
    void Open() {
        if (std::function<void()> during = std::exchange(WhileOpen, nullptr))
            during();
    }

    bool FAborted = false;
};
