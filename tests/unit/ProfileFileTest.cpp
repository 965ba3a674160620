#include "platform/ProfileFile.h"
#include "support/FileContents.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using platform::TProfileFile;

class ProfileFileTest : public testing::Test {
protected:
    QString Write(const QByteArray& content, const QString& name = "a.las") {
        return WriteFile(Dir.filePath(name), content);
    }

    QTemporaryDir Dir;
};

TEST_F(ProfileFileTest, NamesMatchWithoutRegardToCaseAndValuesAreTrimmed) {
    const TProfileFile file(Write("\xEF\xBB\xBF[laser]\r\n"
                                  "; RepRate=1\r\n"
                                  "  REPRATE =  50 \r\n"
                                  "RepRate=60\r\n"
                                  "Name=\" quoted \"\n"
                                  "Odd='x\"\n"
                                  "[Other]\r\n"
                                  "Wavelength=2\r\n"));
    EXPECT_EQ(file.ReadString("LASER", "reprate", "?"), "50");
    EXPECT_EQ(file.ReadString("Laser", "Name", "?"), " quoted ");
    EXPECT_EQ(file.ReadString("Laser", "Odd", "?"), "'x\"");
    // A key of another section, a missing key, a missing section.
    EXPECT_EQ(file.ReadString("Laser", "Wavelength", "fallback"), "fallback");
    EXPECT_EQ(file.ReadString("Laser", "Voltage", "fallback"), "fallback");
    EXPECT_EQ(file.ReadString("Missing", "RepRate", "fallback"), "fallback");
    EXPECT_EQ(TProfileFile(Dir.filePath("absent.las")).ReadString("Laser", "RepRate", "10"), "10");
}

TEST_F(ProfileFileTest, ExistingKeyIsReplacedInItsLineAndOtherLinesKeepTheirBytes) {
    const QByteArray before = "; settings\n"
                              "[Other]\r\n"
                              "RepRate = 7 \r\n"
                              "\r\n"
                              "[LASER]\n"
                              "  repRate = 5\n"
                              "Unknown=\tkept \n"
                              "\n"
                              "[Third]\r\n"
                              "x=1";
    TProfileFile file(Write(before));
    file.WriteString("Laser", "RepRate", "50");
    EXPECT_EQ(file.Content(), QByteArray("; settings\n"
                                         "[Other]\r\n"
                                         "RepRate = 7 \r\n"
                                         "\r\n"
                                         "[LASER]\n"
                                         "repRate=50\r\n"
                                         "Unknown=\tkept \n"
                                         "\n"
                                         "[Third]\r\n"
                                         "x=1"));
    EXPECT_EQ(file.ReadString("laser", "REPRATE", "?"), "50");
}

TEST_F(ProfileFileTest, MissingKeyGoesAfterTheLastLineOfItsSection) {
    TProfileFile file(Write("[Laser]\r\n"
                            "RepRate=5\r\n"
                            "\r\n"
                            "[Other]\r\n"
                            "a=1\r\n"));
    file.WriteString("Laser", "FireMode", "2");
    file.WriteString("Other", "b", "2");
    EXPECT_EQ(file.Content(), QByteArray("[Laser]\r\n"
                                         "RepRate=5\r\n"
                                         "FireMode=2\r\n"
                                         "\r\n"
                                         "[Other]\r\n"
                                         "a=1\r\n"
                                         "b=2\r\n"));
}

TEST_F(ProfileFileTest, MissingSectionGoesAtTheEndOfTheFile) {
    // The last line had no line end; it gets one so that the section
    // starts on a line of its own.
    TProfileFile file(Write("[Other]\nx=1"));
    file.WriteString("Laser", "FormVersion", "0");
    file.WriteString("Laser", "RepRate", "10");
    EXPECT_EQ(file.Content(), QByteArray("[Other]\nx=1\r\n"
                                         "[Laser]\r\n"
                                         "FormVersion=0\r\n"
                                         "RepRate=10\r\n"));

    TProfileFile fresh(Dir.filePath("new.las"));
    fresh.WriteString("Laser", "Note", "two\r\nlines");
    ASSERT_TRUE(fresh.Save());
    EXPECT_EQ(FileContents(fresh.Path()), QByteArray("[Laser]\r\nNote=two  lines\r\n"));
}

TEST_F(ProfileFileTest, SaveReplacesALinkedFileAtItsTargetKeepingItsPermissions) {
    const QString target = Write("[Laser]\r\nRepRate=5\r\n", "target.las");
    // Not what a new file would get under the usual umask.
    ASSERT_TRUE(
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QString link = Dir.filePath("link.las");
    ASSERT_TRUE(QFile::link(target, link));

    TProfileFile file(link);
    file.WriteString("Laser", "RepRate", "50");
    ASSERT_TRUE(file.Save());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(FileContents(target), QByteArray("[Laser]\r\nRepRate=50\r\n"));
    const QFile::Permissions modeBits = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                        QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFile::permissions(target) & modeBits,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

TEST_F(ProfileFileTest, ReadOnlyFileOrMissingFolderIsNotWritten) {
    const QByteArray before = "[Laser]\r\nRepRate=5\r\n";
    const QString path = Write(before);
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    TProfileFile readOnly(path);
    EXPECT_FALSE(readOnly.CanWrite());
    readOnly.WriteString("Laser", "RepRate", "50");
    EXPECT_FALSE(readOnly.Save());
    EXPECT_EQ(FileContents(path), before);

    TProfileFile nowhere(Dir.filePath("missing/a.las"));
    nowhere.WriteString("Laser", "RepRate", "50");
    EXPECT_FALSE(nowhere.CanWrite());
    EXPECT_FALSE(nowhere.Save());
}

} // namespace
