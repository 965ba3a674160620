#include "terminal/Terminal.h"

#include "comm/ConnectionManager.h"
#include "controls/ExceptionDisplay.h"
#include "dialogs/Dialogs.h"
#include "terminal/TerminalState.h"
#include "terminal/TerminalText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QTextBlock>
#include <QTimer>

namespace {

const char* const Password = "corvane";
constexpr int AdvancedMargin = 16;

} // namespace

TformTerminal::TformTerminal(QWidget* parent)
    : TForm(parent), FChannel(std::make_unique<TCommChannel>()) {
    CreateControls();
    FGate.SetOnIdle([this] {
        if (!FCloseRequested)
            return;
        FCloseRequested = false;
        // From the event loop, as the handler may have run inside the show
        // before the modal loop existed; and by done(), since a hidden
        // window gets no close event.
        QTimer::singleShot(0, this, [this] { done(QDialog::Rejected); });
    });

    SetOnClose([this](QObject*, TCloseAction& action) { FormClose(action); });
    // Enter is taken before any control sees it (the window's key preview);
    // the focus change and the click of the command list are watched too.
    qApp->installEventFilter(this);

    connect(radioCR, &QRadioButton::clicked, this,
            [this] { RunHandler([this] { radioCRClick(); }); });
    connect(radioLF, &QRadioButton::clicked, this,
            [this] { RunHandler([this] { radioLFClick(); }); });
    connect(radioOther, &QRadioButton::clicked, this,
            [this] { RunHandler([this] { radioOtherClick(); }); });
    connect(listPorts, &QComboBox::activated, this,
            [this](int index) { RunHandler([this, index] { listPortsClick(index); }); });
    connect(btnNetwork, &QPushButton::clicked, this,
            [this] { RunHandler([this] { btnNetworkClick(); }); });
    connect(btnAdvanced, &QPushButton::clicked, this,
            [this] { RunHandler([this] { btnAdvancedClick(); }); });
    connect(btnClear, &QPushButton::clicked, this,
            [this] { RunHandler([this] { btnClearClick(); }); });
    connect(chkEditMode, &QCheckBox::toggled, this, [this] { chkEditModeClick(); });
    connect(listHistory, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        RunHandler([this, item] { listHistoryClick(item); });
    });
    // Ticks keep running inside a message box or a connect wait: a read
    // never waits and touches nothing else.
    connect(Timer1, &QTimer::timeout, this,
            [this] { RunShowingExceptions([this] { Timer1Timer(); }); });
}

TformTerminal::~TformTerminal() {
    Timer1->stop();
    GiveBackPorts();
}

void TformTerminal::RunHandler(const std::function<void()>& body) {
    if (!FClosed)
        FGate.Run(body);
}

// ---- Window life ------------------------------------------------------------

void TformTerminal::showEvent(QShowEvent* event) {
    TForm::showEvent(event);
    if (event->spontaneous())
        return;
    FClosed = false;
    FCloseRequested = false;
    if (QScreen* where = screen())
        move(where->availableGeometry().center() - rect().center());
    RunHandler([this] { FormShow(); });
}

void TformTerminal::FormShow() {
    RestoreState();
    // Closed while a restored choice showed its message: nothing was taken.
    if (FClosed)
        return;
    listPorts->clear();
    TConnectionManager* manager = ConnectionManager();
    int port = 1;
    if (manager) {
        manager->SavePorts();
        manager->ReleaseAllPorts();
        FPortsTaken = true;
        const quint32 present = manager->AvailablePorts();
        for (int slot = TConnectionManager::FirstPort; slot <= TConnectionManager::LastPort; ++slot)
            if (present & (1u << slot))
                listPorts->addItem(terminal::PortEntry(slot, manager->DevicePath(slot)));
        if (listPorts->count() > 0) {
            listPorts->setCurrentIndex(0);
            port = terminal::PortOfEntry(listPorts->itemText(0));
        }
    }
    if (manager && FChannel->Open(port, true)) {
        Timer1->start();
        return;
    }
    editSend->setEnabled(false);
    ShowMessage(QStringLiteral("No COM ports available"));
}

void TformTerminal::FormClose(TCloseAction& action) {
    if (!FClosed) {
        FClosed = true;
        Timer1->stop();
        SaveState();
        GiveBackPorts();
    }
    // A handler is still at work (a message box, a connect wait): the
    // window only hides now and is freed once the handler has returned.
    if (FGate.Busy()) {
        FCloseRequested = true;
        if (action == caFree)
            action = caHide;
    }
}

void TformTerminal::GiveBackPorts() {
    if (!FPortsTaken)
        return;
    FPortsTaken = false;
    if (TConnectionManager* manager = ConnectionManager()) {
        FChannel->Close();
        manager->RestorePorts();
    }
}

bool TformTerminal::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            break;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != this || !isVisible())
            break;
        RunHandler([this] { FormKeyPress(); });
        return true;
    }
    case QEvent::FocusOut:
        if (watched == editOther) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // Leaving the box for another control of this window; not a
            // switch to another window or a popup menu.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                // After the focus change: a message box must not open in
                // the middle of one.
                QMetaObject::invokeMethod(
                    this, [this] { RunHandler([this] { editOtherExit(); }); },
                    Qt::QueuedConnection);
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == listCmds->viewport() &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            RunHandler([this] { listCmdsClick(); });
        break;
    default:
        break;
    }
    return TForm::eventFilter(watched, event);
}

// ---- Sending and receiving --------------------------------------------------

void TformTerminal::FormKeyPress() {
    // A number typed into "Other:" counts before the line goes out with it.
    if (editOther->hasFocus() && editOther->isEnabled())
        TakeOtherNumber();
    editSendKeyPress();
}

void TformTerminal::editSendKeyPress() {
    if (!editSend->isEnabled())
        return;
    const QString text = editSend->text();
    QByteArray line = text.toLatin1();
    line.append(char(FTerminator));
    FChannel->Write(line.constData(), unsigned(line.size()));
    AddToHistory(text);
}

void TformTerminal::AddToHistory(const QString& text) {
    for (int i = 0; i < listHistory->count(); ++i)
        if (listHistory->item(i)->text().compare(text, Qt::CaseInsensitive) == 0)
            return;
    while (listHistory->count() >= HistoryLimit)
        delete listHistory->takeItem(listHistory->count() - 1);
    listHistory->insertItem(0, text);
}

void TformTerminal::Timer1Timer() {
    QByteArray chunk(int(ResponseChunk) + 1, '\0');
    const unsigned count = FChannel->Read(chunk.data(), ResponseChunk);
    FPending.append(chunk.constData(), count);
    const qsizetype end = FPending.indexOf(char(FTerminator));
    if (end < 0)
        return;
    listResponse->insertItem(0, QString::fromLatin1(FPending.left(end + 1)));
    FPending.remove(0, end + 1);
}

void TformTerminal::listHistoryClick(QListWidgetItem* item) {
    if (!item)
        return;
    editSend->setText(item->text());
    editSendKeyPress();
}

void TformTerminal::listCmdsClick() {
    if (chkEditMode->isChecked())
        return;
    editSend->setText(terminal::CommandOfLine(listCmds->textCursor().block().text()));
    editSendKeyPress();
}

// ---- Terminator ---------------------------------------------------------------

void TformTerminal::radioCRClick() {
    FTerminator = 13;
    editOther->setEnabled(false);
    editSend->setFocus();
}

void TformTerminal::radioLFClick() {
    FTerminator = 10;
    editOther->setEnabled(false);
    editSend->setFocus();
}

void TformTerminal::radioOtherClick() {
    TakeOtherNumber();
    editOther->setEnabled(true);
    editSend->setFocus();
}

void TformTerminal::editOtherExit() {
    if (editOther->isEnabled())
        TakeOtherNumber();
}

void TformTerminal::TakeOtherNumber() {
    if (const std::optional<int> value = terminal::TerminatorOfText(editOther->text())) {
        FTerminator = *value;
        return;
    }
    ShowMessage(QStringLiteral("Invalid value, enter a decimal value between 0 and 255"));
    FTerminator = 0;
    editOther->setText(QStringLiteral("0"));
}

// ---- Ports ----------------------------------------------------------------------

void TformTerminal::EnableSending() {
    editSend->setEnabled(true);
    if (!Timer1->isActive())
        Timer1->start();
}

void TformTerminal::listPortsClick(int index) {
    if (index < 0)
        return;
    if (FChannel->Open(terminal::PortOfEntry(listPorts->itemText(index)), true))
        EnableSending();
}

void TformTerminal::btnNetworkClick() {
    const QString address = AskText(QStringLiteral("Network Connection"),
                                    QStringLiteral("Enter the Name or IP of Host:"));
    if (FClosed)
        return;
    TConnectionManager* manager = ConnectionManager();
    if (!manager)
        return;
    FChannel->Close();
    manager->SetNetworkAddress(FChannel->Port(), address);
    const bool opened = FChannel->Open(FChannel->Port(), true);
    // Closed during the connect wait: the ports have been given back, and
    // nothing may be held past that.
    if (FClosed) {
        FChannel->Close();
        return;
    }
    if (opened)
        EnableSending();
}

// ---- Advanced mode and the rest -----------------------------------------------

void TformTerminal::btnAdvancedClick() {
    const QString answer = AskText(QStringLiteral("Password"), QStringLiteral("Enter password:"));
    if (FClosed || answer != QLatin1String(Password))
        return;
    setFixedWidth(grpAdvanced->x() + grpAdvanced->width() + AdvancedMargin);
}

void TformTerminal::chkEditModeClick() {
    listCmds->setReadOnly(!chkEditMode->isChecked());
}

void TformTerminal::btnClearClick() {
    listHistory->clear();
    listResponse->clear();
    editSend->clear();
}

void TformTerminal::ShowMessage(const QString& text) {
    if (FDialogs)
        FDialogs->MessageBox(text, QCoreApplication::applicationName(), TMsgButtons::mbOK,
                             TMsgIcon::miNone);
}

QString TformTerminal::AskText(const QString& caption, const QString& prompt) {
    QString value;
    if (!FDialogs || !FDialogs->InputQuery(caption, prompt, value))
        return {};
    return value;
}
