// Settings files from the File menu: what a save writes, what a recall
// applies, and how each ends when the file or a value is wrong.
#include "gui/MainWindowFixture.h"

#include "controls/KxDropBtn.h"
#include "controls/KxSpeedButton.h"
#include "laser/CVLaser.h"
#include "platform/LocaleNumbers.h"
#include "support/FileContents.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

namespace {

class WindowSettingsTest : public MainWindowTest {
protected:
    QString Write(const char* name, const QByteArray& content) {
        return WriteFile(Dir.filePath(QLatin1String(name)), content);
    }

    void Save(const QString& path) {
        Dialogs->FileAnswer = path;
        Find<QAction>("menuSaveSettings")->trigger();
    }

    void Recall(const QString& path) {
        Dialogs->FileAnswer = path;
        Find<QAction>("menuRecallSettings")->trigger();
    }

    // Every value a settings file carries, as the laser holds it.
    QString State() const {
        const TCVLaser* laser = Form->Laser();
        return QStringLiteral("rate %1 mode %2 burst %3 voltage %4 level %5 wavelength %6 "
                              "aperture %7 x %8 range %9 theta %10 polarizer %11")
            .arg(laser->RepRate())
            .arg(int(laser->FireMode()))
            .arg(laser->BurstCount())
            .arg(double(laser->PFNVoltage()))
            .arg(double(laser->OutputLevel()))
            .arg(int(laser->Wavelength()))
            .arg(double(laser->ApertureWidth()))
            .arg(double(laser->ApertureHeight()))
            .arg(int(laser->OutputRange()))
            .arg(laser->XYTheta())
            .arg(laser->PolarizerAngle());
    }

    QString Caption(const char* button) const { return Find<TSpeedButton>(button)->Caption(); }

    // The command names (their first two letters) sent since the mark.
    QByteArrayList SinceNames() const {
        QByteArrayList names;
        for (const QByteArray& command : Since())
            names << command.left(2);
        return names;
    }

    QTemporaryDir Dir;
};

} // namespace

// Also run under a decimal-comma locale (see app_window.cmake).
TEST_F(WindowSettingsTest, SettingsRoundTripInTheUserLocale) {
    const QString point = platform::TLocaleNumbers::FromEnvironment().DecimalSeparator();
    if (qEnvironmentVariable("LC_ALL").startsWith("de_DE")) {
        ASSERT_EQ(point, ",");
    }
    InitializedWindow(4);
    Form->ApplyRepRate(7);
    Form->Laser()->SetBurstCount(25);
    Form->ApplyFireMode(fmBurst);
    Form->ApplyPFNVoltage(33.3f);
    Form->ApplyOutputLevel(57.2f);
    Form->ApplyWavelength(wlGreen);
    Form->ApplyAperture(40, 60);
    Form->ApplyOutputRange(erHigh);
    Form->ApplyXYTheta(-45);
    const QString saved = State();
    const QString path = Dir.filePath("run.LAS");
    Save(path);
    ASSERT_TRUE(Dialogs->Messages().isEmpty()) << Dialogs->Messages().join('\n').toStdString();

    // Reals carry the whole widened float and the locale's separator.
    QStringList keys;
    const QStringList lines = QString::fromUtf8(FileContents(path)).split("\r\n");
    for (const QString& line : lines)
        keys << line.section('=', 0, 0);
    EXPECT_EQ(keys, QStringList({"[Laser]", "FormVersion", "RepRate", "FireMode", "Voltage",
                                 "Attenuator", "ShotsPerBurst", "Wavelength", "ApertureX",
                                 "ApertureY", "EnergyMode", "XYTheta", "PolarizerTheta", ""}));
    EXPECT_EQ(lines.mid(1, 7), QStringList({"FormVersion=0", "RepRate=7", "FireMode=2",
                                            "Voltage=33" + point + "2999992370605",
                                            "Attenuator=57" + point + "2000007629395",
                                            "ShotsPerBurst=25", "Wavelength=1"}));
    EXPECT_EQ(lines.mid(10, 3), QStringList({"EnergyMode=1", "XYTheta=-45", "PolarizerTheta=0"}));

    Form->ApplyFireMode(fmContinuous);
    Form->Laser()->SetBurstCount(1);
    Form->ApplyRepRate(2);
    Form->ApplyPFNVoltage(80);
    Form->ApplyOutputLevel(5);
    Form->ApplyWavelength(wlIR);
    Form->ApplyAperture(0, 0);
    Form->ApplyOutputRange(erLow);
    Form->ApplyXYTheta(10);
    Mark();
    Recall(path);
    EXPECT_TRUE(Dialogs->Messages().isEmpty()) << Dialogs->Messages().join('\n').toStdString();
    EXPECT_EQ(State(), saved);
    // The burst count goes first, so the mode button shows the recalled one.
    EXPECT_EQ(SinceNames().mid(0, 5), QByteArrayList({"BU", "RR", "MO", "VO", "AT"}));
    EXPECT_EQ(Find<TKxDropBtn>("btnLaserMode")->Caption(),
              Find<QAction>("menuLaserModeBurst")->text() + " (25)");
    EXPECT_EQ(Caption("btnVoltage"), "33.3%");
    EXPECT_EQ(Caption("btnXYShutterRotation"), "-45");

    // A file from a machine with the other decimal separator is refused,
    // not read as a number a thousand times too large.
    const QString other = point == "," ? "." : ",";
    Recall(Write("other.las", "[Laser]\r\nRepRate=3\r\nVoltage=1" + other.toUtf8() + "234\r\n"));
    EXPECT_EQ(Dialogs->Messages().value(0), "'1" + other +
                                                "234' is not a valid number for "
                                                "Voltage (decimal separator \"" +
                                                point + "\")");
    EXPECT_EQ(Form->Laser()->RepRate(), 3);
    EXPECT_EQ(Caption("btnVoltage"), "33.3%");
}

TEST_F(WindowSettingsTest, OnlyARateRecalledFirstThingAppliesTheDefaults) {
    InitializedWindow(4);
    Form->ApplyWavelength(wlUV);
    Form->ApplyAperture(30, 30);
    Form->ApplyXYTheta(20);
    Recall(Write("rate.las", "[Laser]\r\nRepRate=50\r\n"));
    EXPECT_TRUE(Dialogs->Messages().isEmpty()) << Dialogs->Messages().join('\n').toStdString();
    EXPECT_EQ(State(), "rate 20 mode 0 burst 1 voltage 0 level 0 wavelength 0 aperture 0 x 0 "
                       "range 0 theta 0 polarizer 0");
    EXPECT_EQ(Caption("btnRepRate"), "20 Hz");
    EXPECT_EQ(Find<TKxDropBtn>("btnWavelength")->Caption(), "IR");
}

TEST_F(WindowSettingsTest, MissingKeysAndANegativeFormVersionTakeTheValuesHeld) {
    InitializedWindow(4);
    Recall(Write("a.las", "[Laser]\r\nRepRate=5\r\nVoltage=20\r\nXYTheta=30\r\n"));
    Form->ApplyRepRate(8);
    Form->ApplyPFNVoltage(70);
    Form->ApplyXYTheta(-10);
    Recall(Write("b.las", "[Laser]\r\nFormVersion=-1\r\nRepRate=9\r\nVoltage=90\r\n"));
    EXPECT_EQ(Form->Laser()->RepRate(), 5);
    EXPECT_EQ(Form->Laser()->PFNVoltage(), 20.0f);
    EXPECT_EQ(Form->Laser()->XYTheta(), 30);
    Recall(Write("c.las", "[laser]\r\nrepRATE=6\r\n"));
    EXPECT_EQ(Form->Laser()->RepRate(), 6);
    EXPECT_EQ(Form->Laser()->PFNVoltage(), 20.0f);
    EXPECT_TRUE(Dialogs->Messages().isEmpty()) << Dialogs->Messages().join('\n').toStdString();
}

TEST_F(WindowSettingsTest, SavingKeepsOtherSectionsAndKeysAndDialogsFollowTheLastFile) {
    InitializedWindow(4);
    const QString path = Write("kept.las", "; laser bench 2\n"
                                           "[Other]\n"
                                           "RepRate = 99 \n"
                                           "\n"
                                           "[LASER]\r\n"
                                           "Unknown=\tkept \r\n"
                                           "reprate=3\r\n"
                                           "\r\n"
                                           "[Last]\r\n"
                                           "x=1");
    Save(path);
    EXPECT_EQ(FileContents(path).toStdString(), std::string("; laser bench 2\n"
                                                            "[Other]\n"
                                                            "RepRate = 99 \n"
                                                            "\n"
                                                            "[LASER]\r\n"
                                                            "Unknown=\tkept \r\n"
                                                            "reprate=1\r\n"
                                                            "FormVersion=0\r\n"
                                                            "FireMode=1\r\n"
                                                            "Voltage=50\r\n"
                                                            "Attenuator=10\r\n"
                                                            "ShotsPerBurst=1\r\n"
                                                            "Wavelength=1\r\n"
                                                            "ApertureX=0\r\n"
                                                            "ApertureY=0\r\n"
                                                            "EnergyMode=0\r\n"
                                                            "XYTheta=0\r\n"
                                                            "PolarizerTheta=0\r\n"
                                                            "\r\n"
                                                            "[Last]\r\n"
                                                            "x=1"));
    ASSERT_TRUE(Dialogs->Messages().isEmpty());

    const QString program = QCoreApplication::applicationDirPath();
    const QString filter = "Laser Settings (*.las *.LAS)";
    QTemporaryDir elsewhere;
    Recall(Write("any.las", "[Laser]\r\n"));
    const QString second = elsewhere.filePath("second.las");
    Save(second);
    Recall(second);
    EXPECT_EQ(Dialogs->FileDialogs,
              QStringList({"Save Laser Settings|" + program + "|" + filter + "|LAS",
                           "Recall Laser Settings|" + Dir.path() + "|" + filter + "|LAS",
                           "Save Laser Settings|" + Dir.path() + "|" + filter + "|LAS",
                           "Recall Laser Settings|" + elsewhere.path() + "|" + filter + "|LAS"}));
}

TEST_F(WindowSettingsTest, AFileThatCannotBeWrittenStaysAsItWas) {
    InitializedWindow(4);
    const QByteArray before = "[Laser]\r\nRepRate=7\r\n";
    const QString path = Write("locked.las", before);
    // No write bit: refused also when the tests run as root.
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    Save(path);
    EXPECT_EQ(Dialogs->Messages(), QStringList({"Unable to write to " + path}));
    EXPECT_EQ(FileContents(path), before);

    const QString nowhere = Dir.filePath("missing/a.las");
    Save(nowhere);
    EXPECT_EQ(Dialogs->Messages().value(1), "Unable to write to " + nowhere);
    EXPECT_FALSE(QFile::exists(nowhere));
}

TEST_F(WindowSettingsTest, ABadValueEndsTheRecallWithTheValuesBeforeItApplied) {
    InitializedWindow(4);
    Recall(Write("letters.las", "[Laser]\r\nRepRate=5\r\nFireMode=2\r\nShotsPerBurst=9\r\n"
                                "Voltage=4O\r\nAttenuator=40\r\n"));
    EXPECT_EQ(Dialogs->Messages().value(0).left(40), "'4O' is not a valid number for Voltage (");
    EXPECT_EQ(SinceNames(), QByteArrayList({"BU", "RR", "MO"}));
    EXPECT_EQ(Caption("btnRepRate"), "5 Hz");
    EXPECT_EQ(Caption("btnEnergy"), "10.0%");

    // An ordinal outside its enumeration never reaches the laser.
    const TWavelength wavelength = Form->Laser()->Wavelength();
    const QString caption = Find<TKxDropBtn>("btnWavelength")->Caption();
    Mark();
    Recall(Write("wavelength.las", "[Laser]\r\nVoltage=60\r\nAttenuator=40\r\nWavelength=3\r\n"
                                   "XYTheta=20\r\n"));
    EXPECT_EQ(Dialogs->Messages().value(1), "Unsupported wavelength");
    // The rate is already 5: no "RR". "SS" is the attenuator's motor wait.
    QByteArrayList sent = SinceNames();
    sent.removeAll("SS");
    EXPECT_EQ(sent, QByteArrayList({"BU", "MO", "VO", "AT"}));
    EXPECT_EQ(Form->Laser()->Wavelength(), wavelength);
    EXPECT_EQ(Find<TKxDropBtn>("btnWavelength")->Caption(), caption);
    EXPECT_EQ(Form->Laser()->XYTheta(), 0);

    Recall(Write("range.las", "[Laser]\r\nWavelength=0\r\nEnergyMode=2\r\n"));
    EXPECT_EQ(Dialogs->Messages().value(2), "Unsupported output range");
    EXPECT_EQ(Form->Laser()->OutputRange(), erLow);

    // A firing mode the laser has no name for: nothing at all is sent.
    const QString mode = Find<TKxDropBtn>("btnLaserMode")->Caption();
    Mark();
    Recall(Write("mode.las", "[Laser]\r\nFireMode=300\r\nEnergyMode=0\r\n"));
    EXPECT_EQ(Dialogs->Messages().value(3), "'300' is out of range for FireMode (0 to 2)");
    EXPECT_TRUE(Since().isEmpty()) << Since().join(' ').toStdString();
    EXPECT_EQ(Find<TKxDropBtn>("btnLaserMode")->Caption(), mode);
    EXPECT_EQ(Dialogs->Messages().size(), 4);
}

// A diode laser's "Voltage" setter drives both diodes: a recall brings back
// the diode currents the operator had, and the window shows them.
TEST_F(WindowSettingsTest, ADiodeLaserRecallsItsDiodeCurrentsNeverFullCurrent) {
    InitializedWindow(8);
    // A file from before the diode keys, saved on a diode laser: its
    // "Voltage" was never the diodes' setting.
    Recall(Write("old.las", "[Laser]\r\nVoltage=100\r\n"));
    for (const QByteArray& command : Since())
        EXPECT_FALSE(command.startsWith("DC")) << command.constData();
    EXPECT_EQ(Caption("btnDiode1"), "0.0%");

    Form->ApplyDiodeCurrent(1, 30);
    Form->ApplyDiodeCurrent(2, 40);
    const QString path = Dir.filePath("diodes.las");
    Save(path);
    const QByteArray saved = FileContents(path);
    EXPECT_TRUE(saved.contains("\r\nVoltage=30\r\n")) << saved.constData();
    EXPECT_TRUE(saved.contains("\r\nDiode1=30\r\nDiode2=40\r\n")) << saved.constData();

    Form->ApplyDiodeCurrent(0, 0);
    Mark();
    Recall(path);
    QByteArrayList diodes;
    for (const QByteArray& command : Since())
        if (command.startsWith("DC"))
            diodes << command;
    EXPECT_EQ(diodes, (QByteArrayList{"DC1076", "DC2102"}));
    EXPECT_EQ(Caption("btnDiode1"), "30.0%");
    EXPECT_EQ(Caption("btnDiode2"), "40.0%");
    EXPECT_TRUE(Dialogs->Messages().isEmpty()) << Dialogs->Shown.join('\n').toStdString();
}
