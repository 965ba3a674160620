#include "dialogs/VersionCheckDialogs.h"

#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>

TVersionCheckDialogs::~TVersionCheckDialogs() {
    if (FBusy)
        QGuiApplication::restoreOverrideCursor();
}

void TVersionCheckDialogs::OpenUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

void TVersionCheckDialogs::SetBusy(bool busy) {
    if (busy == FBusy)
        return;
    FBusy = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}
