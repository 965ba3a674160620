// The laser settings file: its values in the user's locale, what a read
// takes from a file, and text that is no value.
#include "session/LaserSettings.h"
#include "support/FileContents.h"

#include "laser/InHouseLaser.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

TLaserSetting Setting(int index) {
    return static_cast<TLaserSetting>(index);
}

// What `call` throws as a std::runtime_error.
template <typename F> std::string Thrown(F call) {
    try {
        call();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "<nothing thrown>";
}

class LaserSettingsTest : public testing::Test {
protected:
    // A file in the temporary folder whose "Laser" section holds `lines`.
    QString LaserFile(const QString& name, const QByteArray& lines) {
        return WriteFile(Dir.filePath(name), "[Laser]\r\n" + lines);
    }

    // Fixed, and with a separator other than the program's own ".".
    const platform::TLocaleNumbers Comma{QStringLiteral("de_DE.UTF-8")};
    QTemporaryDir Dir;
};

TEST_F(LaserSettingsTest, WrittenValuesReadBackInTheSameLocale) {
    TLaserSettings written(Comma);
    written.Read(LaserFile("in.las", "RepRate=20\r\nFireMode=2\r\nVoltage=55,5\r\n"
                                     "Attenuator=12,25\r\nShotsPerBurst=7\r\nWavelength=1\r\n"
                                     "ApertureX=33,5\r\nApertureY=0,75\r\nEnergyMode=1\r\n"
                                     "XYTheta=45\r\nPolarizerTheta=-30\r\n"
                                     "Diode1=41,5\r\nDiode2=42,25\r\n"));
    const QString path = Dir.filePath("out.las");
    written.Write(path);

    TLaserSettings read(Comma);
    const TLaserSettings fresh(Comma);
    read.Read(path);
    for (int i = 0; i < TLaserSettings::Count; ++i) {
        SCOPED_TRACE(TLaserSettings::Key(Setting(i)).toStdString());
        EXPECT_NE(written.Real(Setting(i)), fresh.Real(Setting(i)));
        EXPECT_EQ(read.Real(Setting(i)), written.Real(Setting(i)));
    }
    for (const int index : {1, 2})
        EXPECT_EQ(read.DiodeCurrent(index), written.DiodeCurrent(index));
    EXPECT_TRUE(FileContents(path).contains("\r\nApertureY=0,75\r\n")) << FileContents(path).data();
}

TEST_F(LaserSettingsTest, AReadTakesOnlyWhatTheFileHolds) {
    TLaserSettings settings(Comma);
    settings.Read(LaserFile("first.las", "RepRate=20\r\nVoltage=55,5\r\n"));
    settings.Read(LaserFile("second.las", "Voltage=12,25\r\n"));
    EXPECT_EQ(settings.Integer(TLaserSetting::RepRate), 20);
    EXPECT_EQ(settings.Real(TLaserSetting::Voltage), 12.25);

    // A negative form version reads nothing at all, diode currents included.
    settings.Read(LaserFile("negative.las", "FormVersion=-1\r\nRepRate=30\r\nDiode1=5\r\n"));
    EXPECT_EQ(settings.Integer(TLaserSetting::RepRate), 20);
    EXPECT_EQ(settings.DiodeCurrent(1), std::nullopt);
}

TEST_F(LaserSettingsTest, DiodeCurrentsComeWithAFileThatHoldsThemAndGoWithACapture) {
    TLaserSettings settings(Comma);
    EXPECT_EQ(settings.DiodeCurrent(1), std::nullopt);
    settings.Read(LaserFile("pfn.las", "Voltage=55,5\r\n"));
    EXPECT_EQ(settings.DiodeCurrent(1), std::nullopt);
    settings.Read(LaserFile("diodes.las", "Diode1=41,5\r\n"));
    EXPECT_EQ(settings.DiodeCurrent(1), 41.5);
    EXPECT_EQ(settings.DiodeCurrent(2), std::nullopt);

    // An inactive laser sends nothing and has no diodes: a capture takes
    // its values and drops the currents the file brought.
    const TInHouseLaser laser;
    settings.Capture(laser);
    EXPECT_EQ(settings.Integer(TLaserSetting::RepRate), laser.RepRate());
    EXPECT_EQ(settings.Real(TLaserSetting::Voltage), laser.PFNVoltage());
    EXPECT_EQ(settings.DiodeCurrent(1), std::nullopt);
}

TEST_F(LaserSettingsTest, TextThatIsNoValueIsRefusedNamingItsKey) {
    TLaserSettings settings(Comma);
    settings.Read(LaserFile("bad.las", "FireMode=3\r\nAttenuator=abc\r\n"));
    EXPECT_EQ(Thrown([&] { settings.Ordinal(TLaserSetting::FireMode, 0, 2); }),
              "'3' is out of range for FireMode (0 to 2)");
    const std::string real = Thrown([&] { settings.Real(TLaserSetting::Attenuator); });
    EXPECT_NE(real.find("'abc'"), std::string::npos) << real;
    EXPECT_NE(real.find("Attenuator"), std::string::npos) << real;
}

TEST_F(LaserSettingsTest, AWriteKeepsOtherSectionsAndKeysByteForByte) {
    const QByteArray before =
        "[Before]\r\n  a = 1,5 \r\n; a note\r\n[Laser]\r\nComment= as is \r\n";
    const QByteArray after = "[After]\nb=2\n";
    const QString path = WriteFile(Dir.filePath("mixed.las"), before + "RepRate=20\r\n" + after);
    TLaserSettings(Comma).Write(path);
    const QByteArray written = FileContents(path);
    EXPECT_TRUE(written.startsWith(before)) << written.data();
    EXPECT_TRUE(written.endsWith(after)) << written.data();
}

} // namespace
