// The output and optics controls of the main window: the prompts, the
// arrows, the wavelength and the aperture, as the operator uses them.
#include "gui/MainWindowFixture.h"

#include "controls/ExceptionDisplay.h"
#include "controls/KxAdjuster.h"
#include "controls/KxDropBtn.h"
#include "controls/KxSpeedButton.h"
#include "controls/KxUpDown.h"
#include "laser/CVLaser.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>

namespace {

class WindowOutputTest : public MainWindowTest {
protected:
    void Type(std::optional<QString> text) { Dialogs->Inputs.push_back(std::move(text)); }

    // Types `text` into the prompt that `button` opens.
    void Enter(const char* button, const QString& text) {
        Type(text);
        Find<TSpeedButton>(button)->Click();
    }

    void Up(const char* arrows) { Find<TKxUpDown>(arrows)->BtnUp()->Click(); }
    void Down(const char* arrows) { Find<TKxUpDown>(arrows)->BtnDown()->Click(); }

    QString Caption(const char* button) const { return Find<TSpeedButton>(button)->Caption(); }

    // The checked items of a drop-down menu, by object name.
    QStringList Checked(const char* menu) const {
        QStringList names;
        for (QAction* item : Find<QMenu>(menu)->actions())
            if (item->isChecked())
                names << item->objectName();
        return names;
    }

    // The command names (their first two letters) sent since the mark.
    QByteArrayList SinceNames() const {
        QByteArrayList names;
        for (const QByteArray& command : Since())
            names << command.left(2);
        return names;
    }
};

const QString InvalidValue = QStringLiteral("Invalid value");
const QString OopsInvalid = QStringLiteral("Oops, invalid value");

} // namespace

// ---- Prompts ----------------------------------------------------------------

TEST_F(WindowOutputTest, EnergyPromptShowsTheClampedLevelAndRefusesNonNumbers) {
    InitializedWindow(3);
    Enter("btnEnergy", QStringLiteral("150"));
    EXPECT_EQ(Dialogs->Shown.first(),
              QStringLiteral("Set Energy|Enter laser energy (0-100%):|10.0"));
    EXPECT_EQ(Caption("btnEnergy"), QStringLiteral("100.0%"));
    EXPECT_EQ(Since().value(0), QByteArray("AT255"));
    EXPECT_TRUE(Dialogs->Messages().isEmpty());

    Mark();
    for (const char* text : {"abc", "nan", "inf"}) {
        Enter("btnEnergy", QString::fromLatin1(text));
        EXPECT_EQ(Dialogs->Messages().value(Dialogs->Messages().size() - 1), InvalidValue) << text;
    }
    EXPECT_EQ(Dialogs->Messages().size(), 3);
    EXPECT_TRUE(Since().isEmpty());
    EXPECT_EQ(Caption("btnEnergy"), QStringLiteral("100.0%"));
}

TEST_F(WindowOutputTest, EnergyArrowsOfALaserWithoutAttenuatorChangeNothing) {
    InitializedWindow(3, {"set options 3E"});
    const QString caption = Caption("btnEnergy");
    Up("updownEnergy");
    Down("updownEnergy");
    Down("updownEnergy");
    EXPECT_TRUE(Since().isEmpty());
    EXPECT_EQ(Caption("btnEnergy"), caption);
    EXPECT_TRUE(Dialogs->Messages().isEmpty()) << Dialogs->Shown.join('\n').toStdString();
}

// ---- Rotation and polarizer -------------------------------------------------

TEST_F(WindowOutputTest, RotationStaysWithinNinetyDegreesEitherWay) {
    InitializedWindow(3);
    Enter("btnXYShutterRotation", QStringLiteral("91"));
    EXPECT_EQ(
        Dialogs->Shown.first(),
        QStringLiteral("Set XY Shutter Rotation Angle|Enter theta from -90 to +90 degrees:|0"));
    EXPECT_EQ(Dialogs->Messages(), QStringList({OopsInvalid}));
    EXPECT_TRUE(Since().isEmpty());

    Enter("btnXYShutterRotation", QStringLiteral("-90"));
    EXPECT_EQ(Since(), QByteArrayList({"SR-90", "SS"}));
    EXPECT_EQ(Caption("btnXYShutterRotation"), QStringLiteral("-90"));

    Mark();
    Down("updownTheta");
    EXPECT_TRUE(Since().isEmpty());
    Up("updownTheta");
    EXPECT_EQ(Caption("btnXYShutterRotation"), QStringLiteral("-89"));
    Down("updownTheta");
    EXPECT_EQ(Since(), QByteArrayList({"SR-89", "SS", "SR-90", "SS"}));
    EXPECT_EQ(Caption("btnXYShutterRotation"), QStringLiteral("-90"));

    Enter("btnXYShutterRotation", QStringLiteral("90"));
    Mark();
    Up("updownTheta");
    EXPECT_TRUE(Since().isEmpty());
    EXPECT_EQ(Caption("btnXYShutterRotation"), QStringLiteral("90"));
    EXPECT_EQ(Dialogs->Messages().size(), 1);
}

TEST_F(WindowOutputTest, PolarizerMovesInEvenDegreesFromZeroTo180) {
    InitializedWindow(3, {"set polarizer 1"});
    Enter("btnRotatingPolarizer", QStringLiteral("45"));
    EXPECT_EQ(Dialogs->Shown.first(),
              QStringLiteral("Set Polarizer Rotation Angle|Enter angle from 0 to 180 degree:|0"));
    EXPECT_EQ(Since(), QByteArrayList({"SR+22", "SS"}));
    EXPECT_EQ(Form->Laser()->PolarizerAngle(), 44);
    EXPECT_EQ(Caption("btnRotatingPolarizer"), QStringLiteral("44"));

    Enter("btnRotatingPolarizer", QStringLiteral("181"));
    EXPECT_EQ(Dialogs->Messages(), QStringList({OopsInvalid}));

    Enter("btnRotatingPolarizer", QStringLiteral("2"));
    Mark();
    Down("updownRotatingPolarizer");
    EXPECT_EQ(Caption("btnRotatingPolarizer"), QStringLiteral("0"));
    Down("updownRotatingPolarizer");
    EXPECT_EQ(Since(), QByteArrayList({"SR+00", "SS"}));

    Enter("btnRotatingPolarizer", QStringLiteral("178"));
    Mark();
    Up("updownRotatingPolarizer");
    EXPECT_EQ(Caption("btnRotatingPolarizer"), QStringLiteral("180"));
    Up("updownRotatingPolarizer");
    EXPECT_EQ(Since(), QByteArrayList({"SR+90", "SS"}));
    EXPECT_EQ(Caption("btnRotatingPolarizer"), QStringLiteral("180"));
    EXPECT_EQ(Dialogs->Messages().size(), 1);
}

// ---- Wavelength -------------------------------------------------------------

TEST_F(WindowOutputTest, WavelengthOfALaserWithoutHarmonicSetsOnlyStopsFiring) {
    InitializedWindow(3, {"set options 37"});
    const QStringList checked = Checked("dropdownWavelength");
    const QString caption = Find<TKxDropBtn>("btnWavelength")->Caption();

    Find<QAction>("menuLaserGreen")->trigger();
    EXPECT_EQ(Since(), QByteArrayList({"ST"}));
    EXPECT_EQ(Checked("dropdownWavelength"), checked);
    EXPECT_EQ(Find<TKxDropBtn>("btnWavelength")->Caption(), caption);
}

TEST_F(WindowOutputTest, WavelengthButtonStepsThroughTheOfferedWavelengths) {
    InitializedWindow(3); // sets 1 to 3: IR, green, UV; green after discovery
    auto* button = Find<TKxDropBtn>("btnWavelength");
    ASSERT_EQ(button->Caption(), QStringLiteral("Green"));

    button->BtnMain()->Click();
    EXPECT_EQ(button->Caption(), QStringLiteral("UV"));
    EXPECT_EQ(Checked("dropdownWavelength"), QStringList({QStringLiteral("menuLaserUV")}));
    button->BtnMain()->Click();
    EXPECT_EQ(button->Caption(), QStringLiteral("IR"));
    EXPECT_EQ(Checked("dropdownWavelength"), QStringList({QStringLiteral("menuLaserIR")}));
    button->BtnMain()->Click();
    EXPECT_EQ(button->Caption(), QStringLiteral("Green"));
    EXPECT_EQ(Since(), QByteArrayList({"ST", "HS3", "SS", "ST", "HS1", "SS", "ST", "HS2", "SS"}));

    // A wavelength no menu item stands for, as a settings file may hold.
    Mark();
    RunShowingExceptions([this] { Form->ApplyWavelength(3); });
    EXPECT_EQ(Dialogs->Messages(), QStringList({QStringLiteral("Unsupported wavelength")}));
    EXPECT_EQ(Since(), QByteArrayList({"ST"}));
    EXPECT_EQ(button->Caption(), QStringLiteral("Green"));
}

TEST_F(WindowOutputTest, WavelengthButtonSkipsWhatTheLaserDoesNotOffer) {
    // Green and UV only (set 0, which would count too, offers nothing).
    InitializedWindow(3, {"set harmonics 00,09,0D"});
    auto* button = Find<TKxDropBtn>("btnWavelength");
    button->BtnMain()->Click();
    EXPECT_EQ(button->Caption(), QStringLiteral("UV"));
    button->BtnMain()->Click();
    EXPECT_EQ(button->Caption(), QStringLiteral("Green"));
    EXPECT_EQ(Since(), QByteArrayList({"ST", "HS2", "SS", "ST", "HS1", "SS"}));
}

// ---- Aperture ---------------------------------------------------------------

TEST_F(WindowOutputTest, ApertureMovesEachBladeOnceWhoeverAsks) {
    InitializedWindow(3);
    auto* width = Find<TKxAdjuster>("adjAperWidth");
    auto* height = Find<TKxAdjuster>("adjAperHeight");

    Form->ApplyAperture(30, 55.5f);
    EXPECT_EQ(SinceNames(), QByteArrayList({"XS", "SS", "YS", "SS"}));
    EXPECT_FLOAT_EQ(width->Value(), 55.5f);
    EXPECT_FLOAT_EQ(height->Value(), 30);

    Mark();
    QLineEdit* field = width->EditValue();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("40"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(SinceNames(), QByteArrayList({"XS", "SS", "YS", "SS"}));
    EXPECT_EQ(Since().value(0), QByteArray("XS102"));
    EXPECT_FLOAT_EQ(width->Value(), 40);
    EXPECT_FLOAT_EQ(height->Value(), 30);
    EXPECT_TRUE(Dialogs->Messages().isEmpty()) << Dialogs->Shown.join('\n').toStdString();
}
