// The terminal window's controls, their places, and its kept state.
#include "terminal/Terminal.h"
#include "terminal/TerminalState.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The window's client area at design, and the predefined-command group that
// sits right of it until the advanced mode brings it into view.
constexpr int DesignWidth = 230;
constexpr int DesignHeight = 442;
constexpr int Margin = 8;
constexpr int AdvancedGap = 10;
constexpr int AdvancedWidth = 355;

const char* const DesignCommands[] = {
    ";A5HM    Home aperture wheel", ";LCEX?0  Get beam expander position",
    ";LCEX!-  Save small spot",     ";LCEX!+  Save large spot",
    ";LCEX^   Home beam expander",  ";LCZO^   Home zoom",
    ";LCIS    Interlock status",    ";LCIR^   Home iris",
};

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QPushButton* Button(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    // Enter belongs to the send box, wherever the focus is.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

void TformTerminal::CreateControls() {
    setObjectName(QStringLiteral("formTerminal"));
    setWindowTitle(QStringLiteral("Terminal"));
    // A dialog frame with only the system menu: no help, minimise or
    // maximise buttons, and no resizing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    panelMain = new QWidget(this);
    panelMain->setObjectName(QStringLiteral("panelMain"));
    auto* column = new QVBoxLayout(panelMain);
    column->setContentsMargins(0, 0, 0, 0);

    listPorts = new QComboBox(panelMain);
    listPorts->setObjectName(QStringLiteral("listPorts"));
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(Caption(QStringLiteral("&Port:"), listPorts, panelMain));
    portRow->addWidget(listPorts, 1);
    column->addLayout(portRow);

    grpTerminator = new QGroupBox(QStringLiteral("Command Terminator"), panelMain);
    grpTerminator->setObjectName(QStringLiteral("grpTerminator"));
    radioCR = new QRadioButton(QStringLiteral("CR"), grpTerminator);
    radioCR->setObjectName(QStringLiteral("radioCR"));
    radioCR->setChecked(true);
    radioLF = new QRadioButton(QStringLiteral("LF"), grpTerminator);
    radioLF->setObjectName(QStringLiteral("radioLF"));
    radioOther = new QRadioButton(QStringLiteral("Other:"), grpTerminator);
    radioOther->setObjectName(QStringLiteral("radioOther"));
    editOther = new QLineEdit(QStringLiteral("0"), grpTerminator);
    editOther->setObjectName(QStringLiteral("editOther"));
    editOther->setAccessibleName(QStringLiteral("Other terminator"));
    editOther->setMaxLength(8);
    editOther->setFixedWidth(editOther->fontMetrics().horizontalAdvance(QStringLiteral("0000")) +
                             12);
    editOther->setEnabled(false);
    auto* terminatorRow = new QHBoxLayout(grpTerminator);
    terminatorRow->addWidget(radioCR);
    terminatorRow->addWidget(radioLF);
    terminatorRow->addWidget(radioOther);
    terminatorRow->addWidget(editOther);
    terminatorRow->addStretch(1);
    column->addWidget(grpTerminator);

    editSend = new QLineEdit(panelMain);
    editSend->setObjectName(QStringLiteral("editSend"));
    editSend->setFont(fixed);
    column->addWidget(Caption(QStringLiteral("&Send:"), editSend, panelMain));
    column->addWidget(editSend);
    auto* help = new QLabel(QStringLiteral("To send a command: type in the Send box\n"
                                           "and press <Enter>, or click on an item in \n"
                                           "the History list."),
                            panelMain);
    help->setObjectName(QStringLiteral("labelHelp"));
    help->setTextFormat(Qt::PlainText);
    column->addWidget(help);

    listHistory = new QListWidget(panelMain);
    listHistory->setObjectName(QStringLiteral("listHistory"));
    listHistory->setFont(fixed);
    column->addWidget(Caption(QStringLiteral("&History:"), listHistory, panelMain));
    column->addWidget(listHistory, 1);
    btnClear = Button("btnClear", QStringLiteral("&Clear"), panelMain);
    auto* clearRow = new QHBoxLayout;
    clearRow->addStretch(1);
    clearRow->addWidget(btnClear);
    column->addLayout(clearRow);

    listResponse = new QListWidget(panelMain);
    listResponse->setObjectName(QStringLiteral("listResponse"));
    listResponse->setFont(fixed);
    column->addWidget(Caption(QStringLiteral("&Response:"), listResponse, panelMain));
    column->addWidget(listResponse, 1);

    btnNetwork = Button("btnNetwork", QStringLiteral("&Network..."), panelMain);
    btnAdvanced = Button("btnAdvanced", QStringLiteral("&Advanced >>>"), panelMain);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(btnNetwork);
    buttonRow->addWidget(btnAdvanced);
    column->addLayout(buttonRow);

    grpAdvanced = new QGroupBox(QStringLiteral("Predefined Commands"), this);
    grpAdvanced->setObjectName(QStringLiteral("grpAdvanced"));
    listCmds = new QPlainTextEdit(grpAdvanced);
    listCmds->setObjectName(QStringLiteral("listCmds"));
    listCmds->setFont(fixed);
    listCmds->setLineWrapMode(QPlainTextEdit::NoWrap);
    listCmds->setReadOnly(true);
    QStringList lines;
    for (const char* line : DesignCommands)
        lines << QLatin1String(line);
    lines << QString();
    listCmds->setPlainText(lines.join(QLatin1Char('\n')));
    chkEditMode = new QCheckBox(QStringLiteral("&Edit Mode"), grpAdvanced);
    chkEditMode->setObjectName(QStringLiteral("chkEditMode"));
    auto* advanced = new QVBoxLayout(grpAdvanced);
    advanced->addWidget(listCmds, 1);
    advanced->addWidget(chkEditMode);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(ResponseInterval);

    LayOut();
}

void TformTerminal::LayOut() {
    // The design's sizes, grown where this desktop's fonts need more room;
    // the lists take what is left.
    const QSize need = panelMain->minimumSizeHint();
    const int panelWidth = std::max(DesignWidth - 2 * Margin, need.width());
    const int clientWidth = panelWidth + 2 * Margin;
    const int clientHeight = std::max(DesignHeight, need.height() + 2 * Margin);
    panelMain->setGeometry(Margin, Margin, panelWidth, clientHeight - 2 * Margin);
    grpAdvanced->setGeometry(clientWidth + AdvancedGap, Margin, AdvancedWidth,
                             clientHeight - 2 * Margin);
    setFixedSize(clientWidth, clientHeight);
}

TTerminalState TformTerminal::State() const {
    TTerminalState state;
    state.OtherText = editOther->text();
    state.SendText = editSend->text();
    state.CR = radioCR->isChecked();
    state.LF = radioLF->isChecked();
    state.Other = radioOther->isChecked();
    for (QTextBlock block = listCmds->document()->begin(); block.isValid(); block = block.next())
        state.Commands << block.text();
    for (int i = 0; i < listHistory->count(); ++i)
        state.History << listHistory->item(i)->text();
    return state;
}

void TformTerminal::RestoreState() {
    const TTerminalState state = terminal::LoadState(State());
    editOther->setText(state.OtherText);
    editSend->setText(state.SendText);
    // A restored choice takes effect as if it had been clicked.
    radioCR->setChecked(state.CR);
    if (state.CR)
        radioCRClick();
    radioLF->setChecked(state.LF);
    if (state.LF)
        radioLFClick();
    radioOther->setChecked(state.Other);
    if (state.Other)
        radioOtherClick();
    listCmds->setPlainText(state.Commands.join(QLatin1Char('\n')));
    listHistory->clear();
    listHistory->addItems(state.History);
}

void TformTerminal::SaveState() const {
    terminal::SaveState(State());
}
