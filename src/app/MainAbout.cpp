// The about box and the new-version check.
#include "app/LCAbout.h"
#include "app/LCMain.h"

#include "controls/KxFormManager.h"
#include "version/GetNewVersion.h"

#include <QDesktopServices>
#include <QGuiApplication>

namespace {

// The new-version check's messages, question, busy time and browser, as
// the main window shows them.
class TWindowVersionUi : public TVersionCheckUi {
public:
    explicit TWindowVersionUi(TDialogs& dialogs) : FDialogs(dialogs) {}
    ~TWindowVersionUi() override {
        if (FBusy)
            QGuiApplication::restoreOverrideCursor();
    }

    void ShowWarning(const QString& text) override {
        FDialogs.MessageBox(text, Caption(), TMsgButtons::mbOK, TMsgIcon::miExclamation);
    }
    void ShowInformation(const QString& text) override {
        FDialogs.MessageBox(text, Caption(), TMsgButtons::mbOK, TMsgIcon::miInformation);
    }
    bool AskYesNo(const QString& text) override {
        return FDialogs.MessageBox(text, Caption(), TMsgButtons::mbYesNo,
                                   TMsgIcon::miConfirmation) == TMsgResult::mrYes;
    }
    void OpenUrl(const QUrl& url) override { QDesktopServices::openUrl(url); }
    // The download keeps the window painted while it waits; the cursor
    // tells the operator why it does not answer clicks meanwhile.
    void SetBusy(bool busy) override {
        if (busy == FBusy)
            return;
        FBusy = busy;
        if (busy)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QGuiApplication::restoreOverrideCursor();
    }

private:
    static QString Caption() { return QStringLiteral("Check for New Version"); }

    TDialogs& FDialogs;
    bool FBusy = false;
};

} // namespace

void TformMain::About1Click() {
    // Made (and registered) first, so that it can be placed over this
    // window before the modal showing; a fresh box each time.
    FFormManager->ShowForm(formAbout, 3);
    formAbout->CentreOver(this);
    FFormManager->ShowForm(formAbout, 0);
}

TGetNewVersion* TformMain::NewVersionCheck() {
    if (!GetNewVersion1) {
        GetNewVersion1 = new TGetNewVersion(this);
        GetNewVersion1->setObjectName(QStringLiteral("GetNewVersion1"));
        GetNewVersion1->SetUi(std::make_unique<TWindowVersionUi>(*FDialogs));
    }
    return GetNewVersion1;
}

void TformMain::menuCheckforNewVersion1Click() {
    NewVersionCheck()->CheckForNewVersion(true);
}
