// The main window as an instrument panel: what screen readers are told, and
// controls that never overlap, down to the smallest window.
#include "gui/MainWindowFixture.h"

#include "app/toolbars/ToolBar.h"
#include "controls/KxDropBtn.h"
#include "controls/KxIndicator.h"
#include "controls/KxSpeedButton.h"
#include "controls/KxUpDown.h"
#include "controls/RepeatTimer.h"
#include "dialogs/QtDialogs.h"

#include <QTest>
#include <QTimer>

TEST_F(MainWindowTest, AccessibleNamesSayWhatEachControlSetsAndHintsDescribe) {
    InitializedWindow(8);
    // A button whose caption is a value is named after what it sets; the
    // value is its value text.
    auto* rate = Find<TKxSpeedButton>("btnRepRate");
    EXPECT_EQ(rate->accessibleName(), "Rate");
    EXPECT_EQ(rate->ValueText(), "1 Hz");
    EXPECT_EQ(rate->accessibleDescription(), "Change laser firing rate");
    auto* fire = Find<TKxSpeedButton>("btnLaserFire");
    EXPECT_EQ(fire->accessibleName(), "Fire");
    EXPECT_EQ(Find("btnLaserOnOff")->accessibleName(), "Supply");
    EXPECT_EQ(Find("btnLaserOnOff")->accessibleDescription(), "Laser power supply enable switch");
    EXPECT_EQ(Find("indCoolantLow")->accessibleName(), "Coolant Low");
    // Line breaks of hints are real line breaks.
    EXPECT_EQ(Find("indBurstLock")->toolTip(),
              "Indicates that laser is cooling\ndown after firing a burst of pulses");
    // A drop button's main button reads what it shows, in a group named
    // after what it sets.
    EXPECT_EQ(Find("btnLaserMode")->accessibleName(), "Firing mode");
    EXPECT_EQ(Find<TKxDropBtn>("btnLaserMode")->BtnMain()->accessibleName(), "Single Shot");
}

TEST_F(MainWindowTest, ControlsNeverOverlapDownToTheSmallestWindow) {
    InitializedWindow(8);
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    for (const QSize size : {QSize(545, 371), QSize(480, 170)}) {
        Form->resize(size);
        QCoreApplication::processEvents();
        for (const char* name : {"tbMainLaser", "tbOptions"}) {
            auto* bar = Find<TToolBar>(name);
            QList<QWidget*> shown;
            for (QWidget* child : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (!child->isHidden() && !child->isWindow())
                    shown << child;
            for (qsizetype i = 0; i < shown.size(); ++i) {
                EXPECT_LE(shown[i]->geometry().right(), bar->width())
                    << shown[i]->objectName().toStdString();
                for (qsizetype j = i + 1; j < shown.size(); ++j)
                    EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                        << shown[i]->objectName().toStdString() << " and "
                        << shown[j]->objectName().toStdString() << " at " << size.width();
            }
        }
    }
}

// A held arrow would repeat on and on behind a modal box: the real dialogs
// stop the repetition before they open.
TEST_F(MainWindowTest, ADialogStopsTheRepetitionOfAHeldArrow) {
    InitializedWindow(8);
    auto* arrows = Find<TKxUpDown>("updownEnergy");
    TQtDialogs dialogs(Form.get());
    QTest::mousePress(arrows->BtnUp(), Qt::LeftButton);
    ASSERT_TRUE(TKxUpDown::RepeatTimer()->Enabled());
    QTimer::singleShot(0, Form.get(), [&dialogs] { dialogs.Abort(); });
    EXPECT_EQ(
        dialogs.MessageBox("text", "caption", TMsgButtons::mbRetryCancel, TMsgIcon::miExclamation),
        TMsgResult::mrCancel);
    EXPECT_FALSE(TKxUpDown::RepeatTimer()->Enabled());
    QTest::mouseRelease(arrows->BtnUp(), Qt::LeftButton);
}
