#pragma once

#include <QString>
#include <QUrl>

// What the new-version check shows, asks and opens. The check lives below
// the windows; the program implements this with its message boxes, its
// busy cursor and the system's web browser, a test with scripted answers.
class TVersionCheckUi {
public:
    virtual ~TVersionCheckUi() = default;

    // A warning box with an OK button.
    virtual void ShowWarning(const QString& text) = 0;
    // An information box with an OK button.
    virtual void ShowInformation(const QString& text) = 0;
    // A confirmation box with Yes and No buttons; true on Yes (closing the
    // box counts as No).
    virtual bool AskYesNo(const QString& text) = 0;
    // Hands `url` to the system's default handler (the web browser). The
    // check passes only http and https addresses.
    virtual void OpenUrl(const QUrl& url) = 0;
    // True while the versions file is being downloaded (events keep being
    // processed meanwhile), false once it is done.
    virtual void SetBusy(bool busy) { (void)busy; }
};
