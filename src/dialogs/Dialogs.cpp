#include "dialogs/Dialogs.h"

#include <QCoreApplication>

TDialogs::~TDialogs() = default;

QString TDialogs::InputBox(const QString& caption, const QString& prompt, const QString& preset) {
    QString value = preset;
    return InputQuery(caption, prompt, value) ? value : preset;
}

void TDialogs::ShowMessage(const QString& text) {
    MessageBox(text, QCoreApplication::applicationName(), TMsgButtons::mbOK, TMsgIcon::miNone);
}
