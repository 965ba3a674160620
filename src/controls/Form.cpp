#include "controls/Form.h"

#include "controls/ExceptionDisplay.h"

#include <QCloseEvent>

TForm::TForm(QWidget* parent) : QDialog(parent) {}

TForm::~TForm() = default;

int TForm::ShowModal() {
    return exec();
}

TCloseAction TForm::RunCloseHandler() {
    TCloseAction action = caHide;
    if (!FOnClose)
        return action;
    // A copy: the handler may replace the window's handler while it runs
    // (the form manager puts the window's own one back).
    const TCloseEvent handler = FOnClose;
    if (!RunShowingExceptions([&] { handler(this, action); }))
        action = caNone;
    return action;
}

bool TForm::FinishClose(TCloseAction action, int result) {
    switch (action) {
    case caNone:
        return false;
    case caMinimize:
        showMinimized();
        return false;
    case caHide:
    case caFree:
        break;
    }
    QDialog::done(result);
    if (action == caFree)
        deleteLater();
    return true;
}

void TForm::done(int result) {
    FinishClose(RunCloseHandler(), result);
}

void TForm::closeEvent(QCloseEvent* event) {
    if (FinishClose(RunCloseHandler(), QDialog::Rejected))
        event->accept();
    else
        event->ignore();
}
