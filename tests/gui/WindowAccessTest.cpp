// The main window without a mouse: what a screen reader or a test tool reads
// and does through the accessibility tree (QAccessible, in process, no
// desktop bus), the Tab key, the stop key, and labels and focus that read
// in a light and a dark palette.
#include "gui/MainWindowFixture.h"

#include "app/toolbars/CaptionGlyph.h"
#include "app/toolbars/ToolBar.h"
#include "controls/Animate.h"
#include "controls/FocusFrame.h"
#include "controls/KxAdjuster.h"
#include "controls/KxDropBtn.h"
#include "controls/KxIndicator.h"
#include "controls/KxSpeedButton.h"
#include "controls/KxUpDown.h"
#include "controls/Switch.h"
#include "support/QStringPrint.h"

#include <QAccessible>
#include <QAction>
#include <QFrame>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

class WindowAccessTest : public MainWindowTest {
protected:
    // A window that found the laser, its poll stopped: the test ticks it,
    // so that only what the test does reaches the wire.
    void QuietWindow(int type, const QStringList& settings = {}) {
        InitializedWindow(type, settings);
        Form->PollTimer()->stop();
    }

    void ShowActive() {
        Form->show();
        QApplication::setActiveWindow(Form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    }

    QAccessibleInterface* Accessible(const char* name) const {
        return QAccessible::queryAccessibleInterface(Find(name));
    }

    // `node` and everything below it, depth first.
    static void Walk(QAccessibleInterface* node,
                     const std::function<void(QAccessibleInterface*)>& visit) {
        visit(node);
        for (int i = 0; i < node->childCount(); ++i)
            if (QAccessibleInterface* child = node->child(i))
                Walk(child, visit);
    }

    static QString Path(const QWidget* widget) {
        const QWidget* parent = widget->parentWidget();
        const bool part = parent && !qobject_cast<const TToolBar*>(parent) &&
                          !qobject_cast<const QFrame*>(parent);
        return part ? parent->objectName() + '/' + widget->objectName() : widget->objectName();
    }

    // Presses Tab where the focus is and returns where it went.
    static QWidget* Tab() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget();
    }
};

// The palette of a dark desktop theme.
QPalette DarkPalette() {
    QPalette dark;
    const QColor window(0x2d, 0x2d, 0x2d);
    const QColor text(0xe8, 0xe8, 0xe8);
    for (const auto role : {QPalette::Window, QPalette::Button, QPalette::Mid})
        dark.setColor(role, window);
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Light, QColor(0x45, 0x45, 0x45));
    dark.setColor(QPalette::Dark, QColor(0x1a, 0x1a, 0x1a));
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        dark.setColor(role, text);
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    return dark;
}

// The application's palette for as long as it lives, then the one before.
class TPaletteScope {
public:
    explicit TPaletteScope(const QPalette& palette) : FBefore(QApplication::palette()) {
        QApplication::setPalette(palette);
    }
    ~TPaletteScope() { QApplication::setPalette(FBefore); }
    TPaletteScope(const TPaletteScope&) = delete;
    TPaletteScope& operator=(const TPaletteScope&) = delete;

private:
    QPalette FBefore;
};

// The strongest contrast any pixel of `image` has with `background`: that
// of the text's strokes.
double StrongestContrast(const QImage& image, const QColor& background) {
    double best = 1.0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            best = qMax(best, ContrastRatio(image.pixelColor(x, y), background));
    return best;
}

} // namespace

// ---- Roles, names and actions -----------------------------------------------

class WindowAccessTreeTest : public WindowAccessTest, public ::testing::WithParamInterface<int> {};

// Types 3, 2, 5 and 8: the general family, family A, B and C.
INSTANTIATE_TEST_SUITE_P(EachFamily, WindowAccessTreeTest, ::testing::Values(3, 2, 5, 8));

TEST_P(WindowAccessTreeTest, EveryShowingControlSaysWhatItIsAndHowToUseIt) {
    QuietWindow(GetParam());
    Form->timerPollLaserTimer();
    ShowActive();

    int controls = 0;
    for (const char* root : {"tbMainLaser", "tbOptions", "panelStatus"}) {
        Walk(Accessible(root), [&](QAccessibleInterface* node) {
            auto* widget = qobject_cast<QWidget*>(node->object());
            ASSERT_NE(widget, nullptr);
            const std::string at = Path(widget).toStdString();
            const QAccessible::State state = node->state();
            // What the laser lacks is hidden: never showing to a reader.
            EXPECT_EQ(state.invisible, !widget->isVisible()) << at;
            if (state.invisible)
                return;
            const QAccessible::Role role = node->role();
            EXPECT_NE(role, QAccessible::Client) << at << " is a filler";
            EXPECT_NE(role, QAccessible::NoRole) << at;
            if (role != QAccessible::Separator) {
                EXPECT_FALSE(node->text(QAccessible::Name).isEmpty()) << at;
            }
            if (!widget->toolTip().isEmpty()) {
                EXPECT_TRUE(node->text(QAccessible::Description).contains(widget->toolTip())) << at;
            }

            const QStringList actions =
                node->actionInterface() ? node->actionInterface()->actionNames() : QStringList();
            const bool operable = role == QAccessible::Button || role == QAccessible::SpinBox ||
                                  (role == QAccessible::CheckBox && !state.readOnly);
            if (!operable)
                return;
            ++controls;
            if (state.disabled) {
                EXPECT_FALSE(actions.contains(QAccessibleActionInterface::pressAction())) << at;
            } else if (role == QAccessible::SpinBox) {
                EXPECT_TRUE(actions.contains(QAccessibleActionInterface::increaseAction())) << at;
                EXPECT_TRUE(actions.contains(QAccessibleActionInterface::decreaseAction())) << at;
            } else {
                EXPECT_TRUE(actions.contains(QAccessibleActionInterface::pressAction()) ||
                            actions.contains(QAccessibleActionInterface::toggleAction()))
                    << at;
            }
        });
    }
    EXPECT_GT(controls, 10);

    // A value button and an adjuster are named after what they set, with
    // the value as their value, and their arrows after them.
    QAccessibleInterface* output = Accessible("btnEnergy");
    EXPECT_EQ(output->text(QAccessible::Name), "Output");
    EXPECT_EQ(output->text(QAccessible::Value), "10.0%");
    ASSERT_NE(output->valueInterface(), nullptr); // AT-SPI reports changes of value only then
    EXPECT_EQ(output->valueInterface()->currentValue().toDouble(), 10.0);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Find<TKxUpDown>("updownEnergy")->BtnUp())
                  ->text(QAccessible::Name),
              "Output up");
    QAccessibleInterface* width = Accessible("adjAperWidth");
    EXPECT_EQ(width->role(), QAccessible::SpinBox);
    EXPECT_EQ(width->text(QAccessible::Name), "Aperture width");
    EXPECT_EQ(width->text(QAccessible::Value), "0.00 %");
    ASSERT_NE(width->valueInterface(), nullptr);
    EXPECT_EQ(width->valueInterface()->maximumValue().toDouble(), 100.0);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Find<TKxAdjuster>("adjAperWidth")->BtnDown())
                  ->text(QAccessible::Name),
              "Aperture width down");
    EXPECT_EQ(Accessible("btnLaserOnOff")->role(), QAccessible::CheckBox);
    EXPECT_TRUE(Accessible("indFlow")->state().checkable);
}

TEST_F(WindowAccessTest, ActionsDoWhatAClickDoes) {
    QuietWindow(3, {"set start-time 0"});
    QAccessibleInterface* supply = Accessible("btnLaserOnOff");
    ASSERT_FALSE(supply->state().checked);
    ASSERT_TRUE(supply->state().checkable);

    supply->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    ProcessEvents();
    EXPECT_TRUE(Since().contains("ON"));
    EXPECT_TRUE(supply->state().checked);

    // Increase steps the output as its up arrow does: the attenuator moves,
    // and the button reads what the laser holds.
    QAccessibleInterface* output = Accessible("btnEnergy");
    Mark();
    output->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    ProcessEvents();
    EXPECT_TRUE(Since().value(0).startsWith("AT")) << Since().join(' ').toStdString();
    EXPECT_EQ(output->text(QAccessible::Value), "11.0%");

    // A switch the window disables offers nothing to press.
    Find<TSwitch>("btnLaserOnOff")->setEnabled(false);
    EXPECT_TRUE(supply->state().disabled);
    EXPECT_FALSE(supply->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::toggleAction()));
    EXPECT_TRUE(Dialogs->Messages().isEmpty()) << Dialogs->Shown.join('\n').toStdString();
}

TEST_F(WindowAccessTest, AnIndicatorReadsWhetherItsInterlockIsOpen) {
    QuietWindow(3);
    Form->timerPollLaserTimer();
    QAccessibleInterface* flow = Accessible("indFlow");
    EXPECT_FALSE(flow->state().checked);
    EXPECT_TRUE(flow->text(QAccessible::Description).startsWith("Interlock closed"));

    Control(1, "set interlock flow open");
    Form->timerPollLaserTimer();
    EXPECT_TRUE(flow->state().checked);
    EXPECT_EQ(flow->text(QAccessible::Description),
              "Interlock open\nCoolant flow failure indicator");
}

// ---- Keyboard ---------------------------------------------------------------

TEST_F(WindowAccessTest, TabTakesEveryEnabledControlInReadingOrder) {
    QuietWindow(8, {"set supply 1", "set start-time 0"});
    Find<QAction>("menuLaserModeCont")->trigger(); // the rate takes part
    Form->timerPollLaserTimer();
    ShowActive();

    QWidget* first = Find("btnLaserOnOff");
    first->setFocus(Qt::TabFocusReason);
    QStringList order;
    QList<QWidget*> reached;
    for (QWidget* at = first; at && (reached.isEmpty() || at != first) && reached.size() < 100;
         at = Tab()) {
        EXPECT_TRUE(at->isVisible() && at->isEnabled()) << Path(at).toStdString();
        reached << at;
        order << Path(at);
    }
    EXPECT_EQ(order, QStringList({"btnLaserOnOff",
                                  "btnLaserMode/btnMain",
                                  "btnLaserMode/btnDown",
                                  "btnRepRate",
                                  "updownRate/btnUp",
                                  "updownRate/btnDown",
                                  "btnPulseWidth/btnMain",
                                  "btnPulseWidth/btnDown",
                                  "btnDiode1",
                                  "updownDiode1/btnUp",
                                  "updownDiode1/btnDown",
                                  "btnDiode2",
                                  "updownDiode2/btnUp",
                                  "updownDiode2/btnDown",
                                  "btnEnergy",
                                  "updownEnergy/btnUp",
                                  "updownEnergy/btnDown",
                                  "switchEnergyMode",
                                  "btnLaserFire",
                                  "btnWavelength/btnMain",
                                  "btnWavelength/btnDown",
                                  "adjAperWidth/editValue",
                                  "adjAperWidth/btnUp",
                                  "adjAperWidth/btnDown",
                                  "adjAperHeight/editValue",
                                  "adjAperHeight/btnUp",
                                  "adjAperHeight/btnDown",
                                  "btnXYShutterRotation",
                                  "updownTheta/btnUp",
                                  "updownTheta/btnDown",
                                  "btnLED",
                                  "updownLED/btnUp",
                                  "updownLED/btnDown"}));
    // Nothing that acts is left out.
    for (QWidget* control : Form->findChildren<QWidget*>()) {
        const bool acts = qobject_cast<QAbstractButton*>(control) ||
                          qobject_cast<TSwitch*>(control) || qobject_cast<QLineEdit*>(control);
        if (acts && control->isVisible() && control->isEnabled()) {
            EXPECT_TRUE(reached.contains(control)) << Path(control).toStdString();
        }
    }

    // Up and Down on a value button step it as its arrows do.
    auto* output = Find<TKxSpeedButton>("btnEnergy");
    output->setFocus(Qt::TabFocusReason);
    Mark();
    QTest::keyClick(output, Qt::Key_Up);
    EXPECT_TRUE(Since().value(0).startsWith("AT")) << Since().join(' ').toStdString();
    EXPECT_EQ(output->Caption(), "11.0%");
    QTest::keyClick(output, Qt::Key_Down);
    EXPECT_EQ(output->Caption(), "10.0%");
}

TEST_F(WindowAccessTest, EscapeStopsContinuousFiringWhereverTheFocusIs) {
    QuietWindow(8, {"set supply 1", "set start-time 0"});
    Find<QAction>("menuLaserModeCont")->trigger();
    Form->timerPollLaserTimer();
    ShowActive();
    QLineEdit* field = Find<TKxAdjuster>("adjAperWidth")->EditValue();
    field->setFocus(Qt::TabFocusReason);

    // With nothing firing the key sends nothing.
    Mark();
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_TRUE(Since().isEmpty());

    auto* fire = Find<TKxSpeedButton>("btnLaserFire");
    fire->click();
    ASSERT_TRUE(fire->Down());
    EXPECT_TRUE(Accessible("btnLaserFire")->state().pressed);
    Mark();
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(Since(), QByteArrayList({"ST"}));
    EXPECT_FALSE(fire->Down());
    EXPECT_FALSE(Accessible("btnLaserFire")->state().pressed);
    EXPECT_EQ(fire->Caption(), "Fire");
    EXPECT_FALSE(Form->Animation()->Active());
    EXPECT_TRUE(fire->toolTip().contains("Escape stops firing"));
}

// ---- Reading at a glance ----------------------------------------------------

TEST_F(WindowAccessTest, LabelsAndFocusStandOutInALightAndADarkPalette) {
    QuietWindow(8, {"set start-time 0"});
    Form->timerPollLaserTimer(); // the supply switch is enabled
    ASSERT_TRUE(Find("btnLaserOnOff")->isEnabled());
    ShowActive();
    for (const QPalette& palette : {QApplication::style()->standardPalette(), DarkPalette()}) {
        const TPaletteScope scope(palette);

        // The printed label over a value, as a button face shows it.
        const QColor face = palette.color(QPalette::Button);
        QImage label(80, 20, QImage::Format_RGB32);
        label.fill(face);
        QPainter painter(&label);
        CaptionGlyph(QStringLiteral("Output")).paint(&painter, label.rect());
        painter.end();
        EXPECT_GE(StrongestContrast(label, face), 4.5);

        // The switch's label, above its picture (20 pixels high, centred).
        auto* supply = Find<TSwitch>("btnLaserOnOff");
        const QImage top =
            supply->grab(QRect(0, 0, supply->width(), (supply->height() - 20) / 2)).toImage();
        EXPECT_GE(StrongestContrast(top, palette.color(QPalette::Window)), 4.5);

        // A focused button's frame, once the keyboard moved the focus.
        auto* output = Find<TKxSpeedButton>("btnEnergy");
        output->setFocus(Qt::TabFocusReason);
        Tab();
        const QImage away = output->grab().toImage();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        ASSERT_EQ(QApplication::focusWidget(), output);
        const QImage focused = output->grab().toImage();
        EXPECT_NE(away, focused);
        EXPECT_GE(ContrastRatio(focused.pixelColor(0, 0), palette.color(QPalette::Window)), 3.0);
    }
}
