#include "diag/ExcMagic.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

QByteArray ReadAll(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString& name, qsizetype size) {
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(size, 'x'));
}

class ExcMagicTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString logName() const { return dir.filePath("ExcMagic.Log"); }
};

TEST_F(ExcMagicTest, OnlyOneInstanceMayExist) {
    TExcMagic first(logName());
    EXPECT_EQ(TExcMagic::Instance(), &first);
    try {
        TExcMagic second(logName());
        FAIL() << "a second log object was created";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "Only one instance of TExcMagic allowed");
    }
    EXPECT_EQ(TExcMagic::Instance(), &first);
}

TEST_F(ExcMagicTest, InstanceIsFreedWithTheObject) {
    { TExcMagic log(logName()); }
    EXPECT_EQ(TExcMagic::Instance(), nullptr);
    TExcMagic again(logName());
    EXPECT_EQ(TExcMagic::Instance(), &again);
}

TEST_F(ExcMagicTest, EntriesWithoutSeparatorAreConsecutiveLines) {
    TExcMagic log(logName());
    log.WriteEntry("[0:PORT 1 OPENED]", false);
    log.WriteEntry("[12:WRITE1];LASS$0D", false);
    EXPECT_EQ(ReadAll(logName()), "[0:PORT 1 OPENED]\r\n[12:WRITE1];LASS$0D\r\n");
}

TEST_F(ExcMagicTest, SeparatorLinePrecedesTheEntryOnTheSameLine) {
    TExcMagic log(logName());
    log.WriteEntry("first", false);
    log.WriteEntry("Program Started - V1.0.0.0", true);
    const QString text = QString::fromLatin1(ReadAll(logName()));
    const QRegularExpression shape(
        "^first\\r\\n\\r\\n-{27}\\d\\d:\\d\\d:\\d\\d \\d\\d/\\d\\d/\\d{4}-{27}"
        "Program Started - V1\\.0\\.0\\.0\\r\\n$");
    EXPECT_TRUE(shape.match(text).hasMatch()) << text.toStdString();
}

TEST_F(ExcMagicTest, DisabledLogWritesNothingAndCreatesNoFile) {
    TExcMagic log(logName());
    log.SetEnabled(false);
    log.WriteEntry("lost", true);
    EXPECT_FALSE(QFile::exists(logName()));
}

TEST_F(ExcMagicTest, UnwritableLogDropsTheEntrySilently) {
    TExcMagic log(dir.filePath("no/such/folder/ExcMagic.Log"));
    EXPECT_NO_THROW(log.WriteEntry("dropped", true));
}

TEST(ExcMagicTimeStamp, IsZeroPaddedHourMinuteSecondDayMonthYear) {
    const QDateTime t(QDate(2026, 12, 7), QTime(14, 3, 9));
    EXPECT_EQ(TExcMagic::TimeStamp(t), "14:03:09 07/12/2026");
}

TEST_F(ExcMagicTest, StartUpKeepsALogOfExactlyTheThreshold) {
    WriteBytes(logName(), TExcMagic::TrimThreshold);
    TExcMagic log(logName());
    log.TrimAtStartup(dir.filePath("not-an-executable"));
    const QByteArray text = ReadAll(logName());
    EXPECT_EQ(text.left(TExcMagic::TrimThreshold), QByteArray(TExcMagic::TrimThreshold, 'x'));
    EXPECT_TRUE(text.endsWith("Program Started - V\r\n"));
}

TEST_F(ExcMagicTest, StartUpDeletesALogAboveTheThreshold) {
    WriteBytes(logName(), TExcMagic::TrimThreshold + 1);
    TExcMagic log(logName());
    log.TrimAtStartup(dir.filePath("not-an-executable"));
    const QByteArray text = ReadAll(logName());
    EXPECT_TRUE(text.startsWith("\r\n---------------------------")) << text.left(40).toStdString();
    EXPECT_TRUE(text.endsWith("Program Started - V\r\n"));
    EXPECT_LT(text.size(), 100);
}

TEST_F(ExcMagicTest, SizeOfPathAddsUpAFolderRecursively) {
    WriteBytes(dir.filePath("a"), 10);
    QDir(dir.path()).mkpath("sub/deeper");
    WriteBytes(dir.filePath("sub/b"), 20);
    WriteBytes(dir.filePath("sub/deeper/.hidden"), 5);
    EXPECT_EQ(TExcMagic::SizeOfPath(dir.filePath("a")), 10);
    EXPECT_EQ(TExcMagic::SizeOfPath(dir.path()), 35);
    EXPECT_EQ(TExcMagic::SizeOfPath(dir.filePath("missing")), 0);
}

TEST_F(ExcMagicTest, VersionStringOfAFileWithoutVersionBlockIsEmpty) {
    WriteBytes(dir.filePath("plain"), 100);
    EXPECT_EQ(TExcMagic::VersionString(dir.filePath("plain"), 2), "");
    EXPECT_EQ(TExcMagic::VersionString(dir.filePath("missing"), 0), "");
}

TEST(ExcMagicVersion, IndexAboveNineIsARangeError) {
    EXPECT_THROW(TExcMagic::VersionString("/proc/self/exe", 10), std::out_of_range);
    EXPECT_THROW(TExcMagic::VersionString("/proc/self/exe", -1), std::out_of_range);
}

} // namespace
