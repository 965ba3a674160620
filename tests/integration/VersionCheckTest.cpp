// The new-version check against a versions file served over HTTP on
// 127.0.0.1: what is shown and asked, what is opened, the flags, and the
// downloaded file.

#include "support/LocalHttpServer.h"
#include "support/QStringPrint.h"
#include "support/QtApp.h"
#include "support/VersionBlockFile.h"
#include "version/GetNewVersion.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <stdexcept>

namespace {

const QString UpToDate = QStringLiteral("information|This program is up-to-date.");
const QString NoEntry =
    QStringLiteral("information|No version information is available for this program.");

// Records everything the check shows, asks and opens, in order.
class ScriptedUi : public TVersionCheckUi {
public:
    explicit ScriptedUi(QStringList& log) : FLog(log) {}
    void ShowWarning(const QString& text) override { FLog << "warning|" + text; }
    void ShowInformation(const QString& text) override { FLog << "information|" + text; }
    bool AskYesNo(const QString& text) override {
        FLog << "question|" + text;
        if (Answers.empty())
            return false;
        const bool yes = Answers.front();
        Answers.pop_front();
        return yes;
    }
    void OpenUrl(const QUrl& url) override { FLog << "open|" + url.toString(); }
    void SetBusy(bool busy) override { FLog << QStringLiteral("busy|%1").arg(busy); }

    std::deque<bool> Answers;

private:
    QStringList& FLog;
};

QByteArray VersionsFile(const QByteArray& version, const QByteArray& address,
                        const QByteArray& betaVersion = "9.9.9.9",
                        const QByteArray& betaAddress = "https://www.example.com/beta") {
    return "[CurrentVersions]\r\ntrevalon=" + version + "\r\n[DownloadURL]\r\ntrevalon=" + address +
           "\r\n[CurrentVersions_beta]\r\ntrevalon=" + betaVersion +
           "\r\n[DownloadURL_beta]\r\ntrevalon=" + betaAddress + "\r\n";
}

QString Question(const QString& version, const QString& address) {
    return "question|There's a new version available!\r\nNew version: " + version +
           "\r\nAvailable from: " + address + "\r\nDo you wan't to download it now?";
}

class VersionCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        ASSERT_TRUE(Server.Listening());
        Program = Dir.filePath("trevalon");
        SetOwnVersion("1.1.5.0");
        Check.SetExecutableFile(Program);
        Check.SetTempFile(Dir.filePath("cache/crv_versions.tmp"));
        Check.SetURLCurrVerFile(Server.Url());
        Check.SetDownloadTimeLimit(1000);
        auto ui = std::make_unique<ScriptedUi>(Log);
        Ui = ui.get();
        Check.SetUi(std::move(ui));
        Check.SetOnGetURL(
            [this](TGetNewVersion* sender, const QString& version, const QString& address) {
                EXPECT_EQ(sender, &Check);
                Log << "entries|" + version + "|" + address;
            });
    }

    void SetOwnVersion(const QByteArray& version) {
        ASSERT_TRUE(WriteProgramFile(Program, version));
    }

    // The log without the busy marks.
    QStringList Shown() const {
        QStringList shown;
        for (const QString& entry : Log)
            if (!entry.startsWith("busy|"))
                shown << entry;
        return shown;
    }

    // The server's socket needs the application's event dispatcher.
    struct AppFirst {
        AppFirst() { EnsureQtApp(); }
    } App;
    QTemporaryDir Dir;
    QString Program;
    LocalHttpServer Server;
    TGetNewVersion Check;
    QStringList Log;
    ScriptedUi* Ui = nullptr;
};

TEST_F(VersionCheckTest, TheSameOrAnOlderReleaseIsUpToDate) {
    for (const QByteArray published : {"1.1.5.0", "1.1.5", "1.1.4.9", "1.0.12.0"}) {
        Log.clear();
        Server.Body = VersionsFile(published, "https://www.example.com/get");
        EXPECT_TRUE(Check.CheckForNewVersion(true)) << published.constData();
        EXPECT_EQ(Shown(),
                  QStringList({"entries|" + published + "|https://www.example.com/get", UpToDate}))
            << published.constData();
        EXPECT_FALSE(Check.NewVersionFound());
        EXPECT_FALSE(Check.DownloadStarted());
    }

    // Without messages nothing is shown; the file stays after the check.
    Log.clear();
    EXPECT_TRUE(Check.CheckForNewVersion(false));
    EXPECT_EQ(Shown(), QStringList({"entries|1.0.12.0|https://www.example.com/get"}));
    QFile kept(Check.TempFile());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), Server.Body);
}

TEST_F(VersionCheckTest, AHigherReleaseIsOfferedAndOpenedOnYes) {
    Server.Body = VersionsFile("1.1.6.0", "https://www.example.com/get?v=1.1.6");
    Ui->Answers = {true};
    EXPECT_TRUE(Check.CheckForNewVersion(true));
    EXPECT_EQ(Shown(), QStringList({"entries|1.1.6.0|https://www.example.com/get?v=1.1.6",
                                    Question("1.1.6.0", "https://www.example.com/get?v=1.1.6"),
                                    "open|https://www.example.com/get?v=1.1.6"}));
    EXPECT_TRUE(Check.NewVersionFound());
    EXPECT_TRUE(Check.DownloadStarted());
}

TEST_F(VersionCheckTest, NoLeavesTheAddressAloneAndTheQuestionComesEvenWithoutMessages) {
    Server.Body = VersionsFile("2.0.0.0", "http://www.example.com/get");
    Ui->Answers = {false};
    EXPECT_TRUE(Check.CheckForNewVersion(false));
    EXPECT_EQ(Shown(), QStringList({"entries|2.0.0.0|http://www.example.com/get",
                                    Question("2.0.0.0", "http://www.example.com/get")}));
    EXPECT_TRUE(Check.NewVersionFound());
    EXPECT_FALSE(Check.DownloadStarted());

    // A second check starts from cleared flags.
    Server.Body = VersionsFile("1.1.5.0", "http://www.example.com/get");
    EXPECT_TRUE(Check.CheckForNewVersion(false));
    EXPECT_FALSE(Check.NewVersionFound());
}

TEST_F(VersionCheckTest, ComponentsCompareAsNumbersNotAsTheirDigitSum) {
    struct Case {
        QByteArray own, published;
        bool offered;
    };
    // VersionToNumber ranks 1.21.0.0 (220000) below 1.12.0.0 (310000).
    for (const Case& c :
         {Case{"1.12.0.0", "1.21.0.0", true}, Case{"1.9.0.0", "1.10.0.0", true},
          Case{"1.21.0.0", "1.12.0.0", false}, Case{"1.1.5.0", "1.1.5.0.0", false},
          Case{"1.1.5.0", "1.1.99999999999999999999.0", true}, Case{"1.1.5.0", "v1.2", false}}) {
        SetOwnVersion(c.own);
        Server.Body = VersionsFile(c.published, "https://www.example.com/get");
        Log.clear();
        EXPECT_TRUE(Check.CheckForNewVersion(true));
        EXPECT_EQ(Check.NewVersionFound(), c.offered)
            << c.own.constData() << " against " << c.published.constData();
        EXPECT_EQ(Shown().last().startsWith("question|"), c.offered)
            << Shown().join('\n').toStdString();
    }
}

TEST_F(VersionCheckTest, ATestBuildReadsTheBetaSections) {
    Server.Body = VersionsFile("1.1.5.0", "https://www.example.com/get", "1.1.5.4",
                               "https://www.example.com/beta");
    SetOwnVersion("1.1.5.3");
    EXPECT_TRUE(Check.CheckForNewVersion(true));
    EXPECT_EQ(Shown(), QStringList({"entries|1.1.5.4|https://www.example.com/beta",
                                    Question("1.1.5.4", "https://www.example.com/beta")}));

    // Last component 0: the release sections.
    Log.clear();
    SetOwnVersion("1.1.6.0");
    EXPECT_TRUE(Check.CheckForNewVersion(true));
    EXPECT_EQ(Shown(), QStringList({"entries|1.1.5.0|https://www.example.com/get", UpToDate}));
}

TEST_F(VersionCheckTest, AFileWithoutAnEntryForThisProgram) {
    Server.Body = "[CurrentVersions]\r\nother.exe=9.0.0.0\r\n";
    EXPECT_FALSE(Check.CheckForNewVersion(true));
    EXPECT_EQ(Shown(), QStringList({"entries||", NoEntry}));

    Log.clear();
    EXPECT_FALSE(Check.CheckForNewVersion(false));
    EXPECT_EQ(Shown(), QStringList({"entries||"}));
}

TEST_F(VersionCheckTest, WithoutTheDownloadDialogNothingIsComparedOrShown) {
    Server.Body = VersionsFile("9.0.0.0", "https://www.example.com/get");
    Check.SetDownloadDlg(false);
    EXPECT_TRUE(Check.CheckForNewVersion(true));
    EXPECT_EQ(Shown(), QStringList({"entries|9.0.0.0|https://www.example.com/get"}));
    EXPECT_FALSE(Check.NewVersionFound());
}

TEST_F(VersionCheckTest, AFailedDownloadIsReportedAndKeepsTheLastFile) {
    Server.Body = VersionsFile("1.1.5.0", "https://www.example.com/get");
    ASSERT_TRUE(Check.CheckForNewVersion(false));

    Server.Status = 404;
    Server.Body = "not here";
    Log.clear();
    EXPECT_FALSE(Check.CheckForNewVersion(true));
    EXPECT_EQ(Shown(),
              QStringList({"warning|Couldn't download file with current version information "
                           "from:\r\n" +
                           Server.Url() + " !"}));
    QFile kept(Check.TempFile());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_TRUE(kept.readAll().startsWith("[CurrentVersions]"));

    // Silent without messages, or with the failure dialog off.
    Log.clear();
    EXPECT_FALSE(Check.CheckForNewVersion(false));
    Check.SetFailureDlg(false);
    EXPECT_FALSE(Check.CheckForNewVersion(true));
    EXPECT_TRUE(Shown().isEmpty());

    // Nobody listening at all.
    Check.SetFailureDlg(true);
    Check.SetURLCurrVerFile("http://127.0.0.1:1/versions.txt");
    EXPECT_FALSE(Check.CheckForNewVersion(true));
    EXPECT_EQ(Shown().size(), 1);
}

TEST_F(VersionCheckTest, TheTimeLimitCoversTheWholeDownload) {
    Server.Body = VersionsFile("9.0.0.0", "https://www.example.com/get");
    for (const auto mode : {LocalHttpServer::TMode::Silent, LocalHttpServer::TMode::Trickle}) {
        Server.Mode = mode;
        Log.clear();
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(Check.CheckForNewVersion(true));
        EXPECT_GE(clock.elapsed(), 900);
        EXPECT_LT(clock.elapsed(), 5000);
        ASSERT_EQ(Shown().size(), 1);
        EXPECT_TRUE(Shown().first().startsWith("warning|Couldn't download"));
        // The window is told it is busy for the download, and no longer
        // busy when the message shows.
        EXPECT_EQ(Log.first(), "busy|1");
        EXPECT_EQ(Log.indexOf("busy|0"), Log.size() - 2);
    }
}

TEST_F(VersionCheckTest, AFileLargerThan64KiBIsRefused) {
    QByteArray body = VersionsFile("9.0.0.0", "https://www.example.com/get");
    body += "; " + QByteArray(64 * 1024 - body.size() - 4, 'x') + "\r\n";
    ASSERT_EQ(body.size(), 64 * 1024);
    Server.Body = body;
    Ui->Answers = {false};
    EXPECT_TRUE(Check.CheckForNewVersion(true));

    Server.Body = body + "x";
    Log.clear();
    EXPECT_FALSE(Check.CheckForNewVersion(true));
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_TRUE(Shown().first().startsWith("warning|Couldn't download"));
}

TEST_F(VersionCheckTest, OnlyAWebAddressIsOpened) {
    for (const QByteArray address :
         {"file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)", "https://"}) {
        Server.Body = VersionsFile("9.0.0.0", address);
        Ui->Answers = {true};
        Log.clear();
        EXPECT_TRUE(Check.CheckForNewVersion(false));
        EXPECT_EQ(Shown().last(), "warning|The download address is not a web address, so it was "
                                  "not opened:\r\n" +
                                      address);
        EXPECT_FALSE(Shown().join('\n').contains("open|")) << address.constData();
        EXPECT_TRUE(Check.NewVersionFound());
        EXPECT_FALSE(Check.DownloadStarted());
    }
}

TEST_F(VersionCheckTest, TheFileIsReplacedNotWrittenThroughALinkPreparedAtItsName) {
    const QString victim = Dir.filePath("victim");
    {
        QFile file(victim);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("precious");
    }
    ASSERT_TRUE(QDir().mkpath(QFileInfo(Check.TempFile()).absolutePath()));
    ASSERT_TRUE(QFile::link(victim, Check.TempFile()));

    Server.Body = VersionsFile("1.1.5.0", "https://www.example.com/get");
    EXPECT_TRUE(Check.CheckForNewVersion(true));

    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "precious");
    const QFileInfo kept(Check.TempFile());
    EXPECT_FALSE(kept.isSymLink());
    EXPECT_EQ(kept.size(), Server.Body.size());
    EXPECT_EQ(kept.permissions() & (QFile::ReadOther | QFile::WriteOther), 0);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(kept.absolutePath()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(VersionCheckTest, AProgramWithoutVersionStringsFailsBeforeDownloading) {
    QFile plain(Program);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly | QIODevice::Truncate));
    plain.write("no block here");
    plain.close();
    EXPECT_THROW(Check.CheckForNewVersion(true), std::out_of_range);
    EXPECT_EQ(Server.Requests, 0);
}

TEST(VersionCheckDefaults, TheMakersFileUnlessTheEnvironmentNamesAnother) {
    EnsureQtApp();
    qunsetenv(TGetNewVersion::UrlVariable);
    const TGetNewVersion maker;
    EXPECT_TRUE(maker.URLCurrVerFile().startsWith("https://www.example.com/"));

    qputenv(TGetNewVersion::UrlVariable, "http://127.0.0.1:9/v.txt");
    EXPECT_EQ(TGetNewVersion().URLCurrVerFile(), "http://127.0.0.1:9/v.txt");
    qunsetenv(TGetNewVersion::UrlVariable);
}

} // namespace
