#pragma once

#include "dialogs/Dialogs.h"

class QWidget;

// The dialogs of the program: QMessageBox, QInputDialog and QFileDialog,
// modal to `parent`. Before a dialog opens, the auto-repeat of a held arrow
// stops: its release would never arrive while the dialog has the mouse.
class TQtDialogs : public TDialogs {
public:
    explicit TQtDialogs(QWidget* parent);

    TMsgResult MessageBox(const QString& text, const QString& caption, TMsgButtons buttons,
                          TMsgIcon icon) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
    QString OpenFileName(const QString& caption, const QString& folder, const QString& filter,
                         const QString& defaultSuffix) override;
    QString SaveFileName(const QString& caption, const QString& folder, const QString& filter,
                         const QString& defaultSuffix) override;
    void Abort() override;
    bool Aborted() const override { return FAborted; }

private:
    QString FileName(bool save, const QString& caption, const QString& folder,
                     const QString& filter, const QString& defaultSuffix);

    QWidget* FParent;
    bool FAborted = false;
};
