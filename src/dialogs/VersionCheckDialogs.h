#pragma once

#include "dialogs/Dialogs.h"
#include "version/VersionCheckUi.h"

// The new-version check's messages, question, busy time and browser,
// through the program's dialogs: the busy time shows as the wait cursor, the
// browser is the desktop's.
class TVersionCheckDialogs : public TVersionCheckUi {
public:
    explicit TVersionCheckDialogs(TDialogs& dialogs) : FDialogs(dialogs) {}
    ~TVersionCheckDialogs() override;

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
    void OpenUrl(const QUrl& url) override;
    // The download keeps the window painted while it waits; the cursor
    // tells the operator why it does not answer clicks meanwhile.
    void SetBusy(bool busy) override;

private:
    static QString Caption() { return QStringLiteral("Check for New Version"); }

    TDialogs& FDialogs;
    bool FBusy = false;
};
