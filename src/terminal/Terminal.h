#pragma once

#include "comm/CommChannel.h"
#include "controls/Form.h"
#include "controls/HandlerGate.h"

#include <QByteArray>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QWidget;
class TDialogs;
struct TTerminalState;

// The terminal window: a service person types raw protocol lines to
// whatever is on a port and watches the text that comes back, bypassing the
// laser object. Nothing is framed and no reply is awaited.
//
// Ports: while shown the window takes every port away from the rest of the
// program. At show it saves the connection manager's port table, releases
// every port and network routing, lists the present serial slots and opens
// the first one for exclusive use; when it closes it closes its channel and
// gives the saved ports back (counts, exclusive flags, routings). When no
// port opens at show it says "No COM ports available" and disables the send
// box; a later port choice or network routing that opens enables it again
// and starts the response timer.
//
// Sending: Enter or keypad Enter anywhere in the window sends the send box's
// text as Latin-1 followed by one terminator byte (CR, LF or the "Other:"
// number 0..255), once; no button takes Enter. Distinct lines (letter case
// ignored) go to the top of the history, which keeps at most 21.
//
// Receiving: every 500 ms at most 20 bytes are read and at most one line
// (up to and including the terminator) is put at the top of the responses;
// text without the terminator waits, never shown.
//
// The texts, the terminator choice, the predefined commands and the history
// are restored at every show and stored at close (TerminalState.h).
//
// Messages and input boxes go through the dialogs given with SetDialogs; the
// caller keeps them alive while the window exists. Without them no message
// is shown and every input box counts as cancelled.
//
// A close that arrives while a handler is at work (in a message box or a
// network connect wait) gives the ports back at once and hides the window;
// the window is freed once the handler has returned.
class TformTerminal : public TForm {
    Q_OBJECT
public:
    static constexpr int ResponseInterval = 500;  // ms
    static constexpr unsigned ResponseChunk = 20; // bytes read per tick
    static constexpr int HistoryLimit = 21;       // entries

    explicit TformTerminal(QWidget* parent = nullptr);
    // Gives the ports back if the window is destroyed without being closed.
    ~TformTerminal() override;

    void SetDialogs(TDialogs* dialogs) { FDialogs = dialogs; }

    // One tick of the response timer (tests call it directly).
    void Timer1Timer();

    // The byte that ends sent lines and splits received text.
    int Terminator() const { return FTerminator; }
    const TCommChannel& Channel() const { return *FChannel; }
    QTimer* ResponseTimer() const { return Timer1; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void LayOut();

    // Runs a handler: exceptions go to the application's display, a handler
    // arriving while another is at work returns, and a close requested
    // meanwhile is carried out afterwards.
    void RunHandler(const std::function<void()>& body);

    // Window life.
    void FormShow();
    void FormClose(TCloseAction& action);
    void GiveBackPorts();
    void FormKeyPress();

    // Handlers, by control and event.
    void editSendKeyPress();
    void radioCRClick();
    void radioLFClick();
    void radioOtherClick();
    void editOtherExit();
    void listPortsClick(int index);
    void btnNetworkClick();
    void listHistoryClick(QListWidgetItem* item);
    void listCmdsClick();
    void btnAdvancedClick();
    void chkEditModeClick();
    void btnClearClick();

    // The "Other:" number into the terminator: the invalid-value message,
    // terminator 0 and text "0" for anything but a number 0..255.
    void TakeOtherNumber();
    void AddToHistory(const QString& text);
    void EnableSending();
    void ShowMessage(const QString& text);
    QString AskText(const QString& caption, const QString& prompt);

    TTerminalState State() const;
    void RestoreState();
    void SaveState() const;

    std::unique_ptr<TCommChannel> FChannel;
    int FTerminator = 13;
    QByteArray FPending;
    TDialogs* FDialogs = nullptr;
    THandlerGate FGate;
    bool FPortsTaken = false;
    bool FCloseRequested = false;
    bool FClosed = false;

    QWidget* panelMain = nullptr;
    QComboBox* listPorts = nullptr;
    QGroupBox* grpTerminator = nullptr;
    QRadioButton* radioCR = nullptr;
    QRadioButton* radioLF = nullptr;
    QRadioButton* radioOther = nullptr;
    QLineEdit* editOther = nullptr;
    QLineEdit* editSend = nullptr;
    QListWidget* listHistory = nullptr;
    QPushButton* btnClear = nullptr;
    QListWidget* listResponse = nullptr;
    QPushButton* btnNetwork = nullptr;
    QPushButton* btnAdvanced = nullptr;
    QGroupBox* grpAdvanced = nullptr;
    QPlainTextEdit* listCmds = nullptr;
    QCheckBox* chkEditMode = nullptr;
    QTimer* Timer1 = nullptr;
};
