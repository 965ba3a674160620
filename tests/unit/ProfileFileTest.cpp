#include "platform/ProfileFile.h"
#include "support/FileContents.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using platform::TProfileFile;

constexpr unsigned Nobody = 65534;

struct stat Stat(const QString& path) {
    struct stat info {};
    EXPECT_EQ(stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info;
}

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

TEST_F(ProfileFileTest, AByteOrderMarkIsSkippedOnlyAtTheStartOfTheFile) {
    const QString mark = QStringLiteral("\uFEFF");
    TProfileFile file(Write("\xEF\xBB\xBF[\xEF\xBB\xBFLaser]\r\nRepRate=5\r\n"));
    EXPECT_EQ(file.ReadString(mark + "Laser", "RepRate", "?"), "5");
    EXPECT_EQ(file.ReadString("Laser", "RepRate", "?"), "?");
    // Names and a value that start with U+FEFF read back as written.
    file.WriteString(mark + mark + ";", mark + "Port", mark + "COM1");
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(TProfileFile(file.Path()).ReadString(mark + mark + ";", mark + "Port", "?"),
              mark + "COM1");
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

TEST_F(ProfileFileTest, SaveReplacesALinkedFileAtItsTargetKeepingItsPermissionsAndOwner) {
    const QString target = Write("[Laser]\r\nRepRate=5\r\n", "target.las");
    // Not what a new file would get under the usual umask, nor, where the
    // tests run as root, the owner it would get.
    ASSERT_TRUE(
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    if (geteuid() == 0) {
        ASSERT_EQ(chown(QFile::encodeName(target).constData(), Nobody, Nobody), 0);
    }
    const struct stat before = Stat(target);
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
    const struct stat after = Stat(target);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
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

TEST_F(ProfileFileTest, AFolderThatTakesNoNewFileLeavesAWritableFileAsItWas) {
    const QByteArray before = "[Laser]\r\nRepRate=5\r\n[Other]\r\nx=1\r\n";
    ASSERT_TRUE(QDir(Dir.path()).mkdir("locked"));
    const QByteArray folder = QFile::encodeName(Dir.filePath("locked"));
    const QString path = Write(before, "locked/a.las");
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0666), 0);
    ASSERT_EQ(chmod(folder.constData(), 0555), 0);
    // Root makes files in any folder, so as root the save runs as "nobody".
    ASSERT_EQ(chmod(QFile::encodeName(Dir.path()).constData(), 0755), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0))
            _exit(10);
        if (!QFileInfo(path).isWritable())
            _exit(10);
        TProfileFile file(path);
        file.WriteString("Laser", "RepRate", "50");
        _exit((file.CanWrite() ? 1 : 0) | (file.Save() ? 2 : 0));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(chmod(folder.constData(), 0755), 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 10)
        GTEST_SKIP() << "no unprivileged user here that reaches the file";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(FileContents(path), before);
}

} // namespace
