#include "dialogs/QtDialogs.h"

#include "dialogs/PlainText.h"

#include "controls/KxAdjuster.h"
#include "controls/KxUpDown.h"
#include "controls/RepeatTimer.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>

namespace {

// A dialog takes the mouse; the release that would end a held arrow's
// repetition goes to the dialog, so the repetition ends here.
void StopRepeats() {
    if (TRepeatTimer* timer = TKxAdjuster::RepeatTimer())
        timer->SetEnabled(false);
    if (TRepeatTimer* timer = TKxUpDown::RepeatTimer())
        timer->SetEnabled(false);
}

QMessageBox::Icon ToQt(TMsgIcon icon) {
    switch (icon) {
    case TMsgIcon::miExclamation:
        return QMessageBox::Warning;
    case TMsgIcon::miError:
        return QMessageBox::Critical;
    case TMsgIcon::miInformation:
        return QMessageBox::Information;
    case TMsgIcon::miConfirmation:
        return QMessageBox::Question;
    case TMsgIcon::miNone:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

TQtDialogs::TQtDialogs(QWidget* parent) : FParent(parent) {}

TMsgResult TQtDialogs::MessageBox(const QString& text, const QString& caption, TMsgButtons buttons,
                                  TMsgIcon icon) {
    if (FAborted)
        return buttons == TMsgButtons::mbYesNo ? TMsgResult::mrNo : TMsgResult::mrCancel;
    StopRepeats();
    QPointer<QMessageBox> box = new QMessageBox(FParent);
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    box->setWindowTitle(caption);
    box->setTextFormat(Qt::PlainText);
    box->setText(PlainLines(text));
    box->setIcon(ToQt(icon));
    switch (buttons) {
    case TMsgButtons::mbOK:
        box->setStandardButtons(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
        break;
    case TMsgButtons::mbOKCancel:
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box->setEscapeButton(QMessageBox::Cancel);
        break;
    case TMsgButtons::mbRetryCancel:
        box->setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        box->setEscapeButton(QMessageBox::Cancel);
        break;
    case TMsgButtons::mbYesNo:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setEscapeButton(QMessageBox::No);
        break;
    }
    const int answer = box->exec();
    delete box.data();
    if (FAborted)
        return buttons == TMsgButtons::mbYesNo ? TMsgResult::mrNo : TMsgResult::mrCancel;
    if (answer == QMessageBox::Retry)
        return TMsgResult::mrRetry;
    if (answer == QMessageBox::Ok)
        return TMsgResult::mrOK;
    if (buttons == TMsgButtons::mbYesNo)
        return answer == QMessageBox::Yes ? TMsgResult::mrYes : TMsgResult::mrNo;
    return buttons == TMsgButtons::mbOK ? TMsgResult::mrOK : TMsgResult::mrCancel;
}

bool TQtDialogs::InputQuery(const QString& caption, const QString& prompt, QString& value) {
    if (FAborted)
        return false;
    StopRepeats();
    QPointer<QInputDialog> dialog = new QInputDialog(FParent);
    dialog->setWindowTitle(caption);
    dialog->setLabelText(PlainLines(prompt));
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setTextValue(value);
    const bool ok = dialog->exec() == QDialog::Accepted && !FAborted;
    if (ok)
        value = dialog->textValue();
    delete dialog.data();
    return ok;
}

QString TQtDialogs::OpenFileName(const QString& caption, const QString& folder,
                                 const QString& filter, const QString& defaultSuffix) {
    return FileName(false, caption, folder, filter, defaultSuffix);
}

QString TQtDialogs::SaveFileName(const QString& caption, const QString& folder,
                                 const QString& filter, const QString& defaultSuffix) {
    return FileName(true, caption, folder, filter, defaultSuffix);
}

QString TQtDialogs::FileName(bool save, const QString& caption, const QString& folder,
                             const QString& filter, const QString& defaultSuffix) {
    if (FAborted)
        return {};
    StopRepeats();
    // A dialog object rather than the static helpers: only it takes a
    // default suffix. Saving confirms an overwrite, Qt's default.
    QPointer<QFileDialog> dialog = new QFileDialog(FParent, caption, folder, filter);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setDefaultSuffix(defaultSuffix);
    const bool ok = dialog->exec() == QDialog::Accepted && !FAborted;
    const QStringList files = ok ? dialog->selectedFiles() : QStringList();
    delete dialog.data();
    return files.value(0);
}

void TQtDialogs::Abort() {
    FAborted = true;
    // Every modal dialog of ours is a QDialog; reject() ends its loop. One
    // that stays up (a window whose close handler keeps it) ends the round:
    // asking it again would never end.
    QWidget* previous = nullptr;
    while (QWidget* modal = QApplication::activeModalWidget()) {
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || !dialog->isVisible() || dialog == previous)
            break;
        previous = dialog;
        dialog->reject();
    }
}
