#include "diag/ExcMagic.h"
#include "platform/AppPaths.h"
#include "platform/PortMap.h"
#include "platform/VersionBlock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(PortMap, EnvironmentTextGivesTheWholeMap) {
    const auto map =
        platform::ParsePortMap("1=/dev/ttyUSB0, 3=/dev/serial/by-id/usb-FTDI_laser-if00");
    ASSERT_EQ(map.size(), 2);
    EXPECT_EQ(map.value(1), "/dev/ttyUSB0");
    EXPECT_EQ(map.value(3), "/dev/serial/by-id/usb-FTDI_laser-if00");
    EXPECT_FALSE(map.contains(2));
}

TEST(PortMap, MalformedAndOutOfRangeEntriesAreIgnored) {
    const auto map = platform::ParsePortMap("0=/dev/a,17=/dev/b,x=/dev/c,4=,=/dev/d,5,16=/dev/e");
    ASSERT_EQ(map.size(), 1);
    EXPECT_EQ(map.value(16), "/dev/e");
    EXPECT_TRUE(platform::ParsePortMap("").isEmpty());
}

TEST(PortMap, UsbAdaptersComeFirstEachGroupSortedByName) {
    const auto map = platform::SlotsFromListing(
        {"/dev/ttyS1", "/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyACM0", "/dev/ttyUSB0"});
    EXPECT_EQ(map.values(), QStringList({"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1",
                                         "/dev/ttyS0", "/dev/ttyS1"}));
    EXPECT_EQ(map.firstKey(), 1);
}

TEST(PortMap, NumbersInNamesAreOrderedByValue) {
    const auto map = platform::SlotsFromListing(
        {"/dev/ttyS10", "/dev/ttyUSB10", "/dev/ttyS2", "/dev/ttyUSB2", "/dev/ttyACM1"});
    EXPECT_EQ(map.values(), QStringList({"/dev/ttyACM1", "/dev/ttyUSB2", "/dev/ttyUSB10",
                                         "/dev/ttyS2", "/dev/ttyS10"}));
}

TEST(PortMap, NoMoreThanSixteenSlots) {
    QStringList paths;
    for (int i = 0; i < 20; ++i)
        paths << QString("/dev/ttyS%1").arg(i, 2, 10, QChar('0'));
    const auto map = platform::SlotsFromListing(paths);
    EXPECT_EQ(map.size(), 16);
    EXPECT_EQ(map.lastKey(), 16);
}

TEST(AppPaths, WritableExecutableFolderHoldsTheLog) {
    QTemporaryDir exe;
    EXPECT_EQ(platform::LogFolderFor(exe.path(), "", "/nonexistent"), exe.path() + '/');
}

TEST(AppPaths, UnwritableFolderFallsBackToTheStateFolder) {
    QTemporaryDir state;
    EXPECT_EQ(platform::LogFolderFor("/proc", state.path(), "/nonexistent"),
              state.path() + "/Trevalon/");
    EXPECT_TRUE(QDir(state.path() + "/Trevalon").exists());

    QTemporaryDir home;
    EXPECT_EQ(platform::LogFolderFor("/proc", "", home.path()),
              home.path() + "/.local/state/Trevalon/");
}

TEST(AppPaths, AnInstalledProgramsFolderIsNotUsedEvenWhenWritable) {
    // The layout of an installation: bin/ beside share/applications/.
    QTemporaryDir prefix, state, documents;
    ASSERT_TRUE(QDir(prefix.path()).mkpath("bin"));
    ASSERT_TRUE(QDir(prefix.path()).mkpath("share/applications"));
    QFile entry(prefix.filePath("share/applications/com.example.trevalon.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.close();
    const QString bin = prefix.filePath("bin");
    EXPECT_EQ(platform::LogFolderFor(bin, state.path(), "/nonexistent"),
              state.path() + "/Trevalon/");
    EXPECT_EQ(platform::SettingsDialogFolderFor(bin, documents.path(), "/nonexistent"),
              documents.path());
}

TEST(AppPaths, SettingsDialogsStartInTheDocumentsFolderOfAnInstalledProgram) {
    QTemporaryDir exe, documents, home;
    EXPECT_EQ(platform::SettingsDialogFolderFor(exe.path(), documents.path(), home.path()),
              exe.path());
    EXPECT_EQ(platform::SettingsDialogFolderFor("/proc", documents.path(), home.path()),
              documents.path());
    // No documents folder (never created, or unknown): the home folder.
    EXPECT_EQ(platform::SettingsDialogFolderFor("/proc", home.filePath("Documents"), home.path()),
              home.path());
    EXPECT_EQ(platform::SettingsDialogFolderFor("/proc", "", home.path()), home.path());
}

TEST(VersionBlock, IsReadFromAFileThatCarriesOne) {
    QTemporaryDir dir;
    const QString name = dir.filePath("fake-exe");
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // Assembled in pieces so that this test binary carries no block itself.
    QByteArray bytes("junk");
    bytes += '\0';
    bytes += '\x01';
    bytes += "TRV-VERSION-";
    bytes += "BLOCK";
    bytes += '\x02';
    for (const char* s :
         {"StringFileInfo\\040904E4", "FileVersion", "2.3.4.5", "ProductName", "Trevalon"}) {
        bytes += s;
        bytes += '\0';
    }
    bytes += "\x03more";
    f.write(bytes);
    f.close();
    EXPECT_TRUE(platform::HasVersionBlock(name));
    EXPECT_EQ(TExcMagic::VersionString(name, 2), "2.3.4.5");
    EXPECT_EQ(TExcMagic::VersionString(name, 7), "Trevalon");
    EXPECT_EQ(TExcMagic::VersionString(name, 0), "");
}

TEST(VersionBlock, ThisReaderDoesNotFindItsOwnSearchText) {
    // The test binary links the reader but carries no block of its own.
    EXPECT_FALSE(platform::HasVersionBlock(platform::ExecutablePath()));
}

TEST(VersionBlock, TheProgramCarriesItsFileVersion) {
    const QString bin = qEnvironmentVariable("TREVALON_BIN_DIR");
    if (bin.isEmpty() || !QFile::exists(bin + "/trevalon"))
        GTEST_SKIP() << "the program is not built beside the tests";
    EXPECT_EQ(TExcMagic::VersionString(bin + "/trevalon", 2), TREVALON_FILE_VERSION);
    EXPECT_EQ(TExcMagic::VersionString(bin + "/trevalon", 7), "Trevalon");
}

} // namespace
