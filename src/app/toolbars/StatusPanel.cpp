#include "app/toolbars/StatusPanel.h"

#include "app/HelpContext.h"
#include "app/toolbars/BarControls.h"
#include "controls/Accessibility.h"
#include "controls/KxIndicator.h"
#include "laser/CVLaser.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

using namespace bars;

TStatusPanel::TStatusPanel() {
    panelStatus = new QFrame;
    panelStatus->setObjectName(QStringLiteral("panelStatus"));
    panelStatus->setFrameShape(QFrame::StyledPanel);
    SetHelpContext(panelStatus, hcStatusPanel);
    SetAccessibleRole(panelStatus, QAccessible::Grouping);
    panelStatus->setAccessibleName(QStringLiteral("Laser status"));
    auto* row = new QHBoxLayout(panelStatus);
    row->setContentsMargins(4, 3, 4, 3);
    row->setSpacing(3);
    indStart = MakeIndicator(panelStatus, "indStart", QStringLiteral("Start"), clYellow,
                             QStringLiteral("Indicates if laser is starting up"));
    indFlow = MakeIndicator(panelStatus, "indFlow", QStringLiteral("Flow"), clRed,
                            QStringLiteral("Coolant flow failure indicator"));
    indTemp = MakeIndicator(panelStatus, "indTemp", QStringLiteral("Temp"), clRed,
                            QStringLiteral("Overheating indicator"));
    indExt = MakeIndicator(panelStatus, "indExt", QStringLiteral("Ext"), clRed,
                           QStringLiteral("External interlock indicator"));
    indWork = MakeIndicator(panelStatus, "indWork", QStringLiteral("Work"), clRed,
                            QStringLiteral("Workpiece interlock indicator"));
    indBurstLock =
        MakeIndicator(panelStatus, "indBurstLock", QStringLiteral("Burst Lock"), clYellow,
                      QStringLiteral("Indicates that laser is cooling\r\ndown after "
                                     "firing a burst of pulses"));
    indCoolantLow =
        MakeIndicator(panelStatus, "indCoolantLow", QStringLiteral("Coolant Low"), clYellow,
                      QStringLiteral("Indicates that coolant level is low.\r\n"
                                     "Replenish coolant as soon as possible."));
    // What each lamp says, for screen readers: its colour does not reach them.
    indStart->SetStateTexts(QStringLiteral("Starting up"), QStringLiteral("Not starting"));
    for (TKxIndicator* interlock : {indFlow, indTemp, indExt, indWork})
        interlock->SetStateTexts(QStringLiteral("Interlock open"),
                                 QStringLiteral("Interlock closed"));
    indBurstLock->SetStateTexts(QStringLiteral("Cooling down after a burst"),
                                QStringLiteral("Ready for a burst"));
    indCoolantLow->SetStateTexts(QStringLiteral("Coolant low"),
                                 QStringLiteral("Coolant level good"));
    for (TKxIndicator* indicator : {indStart, indFlow, indTemp, indExt, indWork})
        row->addWidget(indicator);
    // The two share one place; at most one of them is shown.
    row->addWidget(indBurstLock);
    row->addWidget(indCoolantLow);
    indBurstLock->hide();
    indCoolantLow->hide();
    labelStatus = new QLabel(panelStatus);
    labelStatus->setObjectName(QStringLiteral("labelStatus"));
    labelStatus->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    labelStatus->setTextFormat(Qt::PlainText);
    labelStatus->setMinimumWidth(40);
    labelStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(labelStatus, 1);
}

void TStatusPanel::LayoutFor(const TCVLaser& laser) {
    const int type = laser.LaserType();
    indBurstLock->setHidden(!(type == 2 || type == 6 || type == 7));
    indCoolantLow->setHidden(!(type == 1 || type == 3));
}

void TStatusPanel::UpdateIndicators(TLaserStatus status) {
    indStart->SetEnabled((status & lsStart) != 0);
    indFlow->SetEnabled((status & lsFlow) != 0);
    indTemp->SetEnabled((status & lsTemp) != 0);
    indExt->SetEnabled((status & lsExt) != 0);
    indWork->SetEnabled((status & lsWork) != 0);
    indBurstLock->SetEnabled((status & lsBurstLock) != 0);
    indCoolantLow->SetEnabled((status & lsCoolantLow) != 0);
}

void TStatusPanel::ShowStatus(const QString& text) {
    labelStatus->setText(text + QLatin1Char(' '));
    labelStatus->repaint();
}
