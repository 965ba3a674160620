#pragma once

#include <QString>

// The buttons, icon and answer of a message box.
enum class TMsgButtons { mbOK, mbOKCancel, mbRetryCancel, mbYesNo };
enum class TMsgIcon { miNone, miExclamation, miError, miInformation, miConfirmation };
enum class TMsgResult { mrOK, mrCancel, mrRetry, mrYes, mrNo };

// Every dialog the main window opens goes through this interface, so that
// tests script the answers while the program shows real Qt dialogs.
//
// Texts from outside (laser errors, exception messages) are shown as plain
// text, never as rich text; "\r\n" and "\r" become line breaks. Escape or
// closing a box counts as Cancel (No in a Yes/No box). After Abort() every
// dialog answers Cancel (No) at once without showing anything, so a program
// that is being closed never waits for an operator.
class TDialogs {
public:
    virtual ~TDialogs();

    virtual TMsgResult MessageBox(const QString& text, const QString& caption, TMsgButtons buttons,
                                  TMsgIcon icon) = 0;
    // An input box: true on OK, with `value` holding the text; on Cancel
    // `value` keeps its preset and the result is false.
    virtual bool InputQuery(const QString& caption, const QString& prompt, QString& value) = 0;
    // The file dialogs: the chosen path, or empty on Cancel. They open in
    // `folder`, offer the file types of `filter` ("Name (*.a *.b)") and add
    // `defaultSuffix` (without the dot) to a name typed without one. The open
    // dialog takes only an existing file; the save dialog asks before it
    // overwrites one.
    virtual QString OpenFileName(const QString& caption, const QString& folder,
                                 const QString& filter, const QString& defaultSuffix) = 0;
    virtual QString SaveFileName(const QString& caption, const QString& folder,
                                 const QString& filter, const QString& defaultSuffix) = 0;

    // An input box whose Cancel returns the preset text.
    QString InputBox(const QString& caption, const QString& prompt, const QString& preset);
    // A plain box with an OK button and no icon.
    void ShowMessage(const QString& text);

    // Closes the dialog that is open, if any, as if Cancel had been pressed,
    // and answers every later one with Cancel.
    virtual void Abort() = 0;
    virtual bool Aborted() const = 0;
};
