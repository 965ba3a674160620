#include "version/GetNewVersion.h"

#include "platform/ProfileFile.h"
#include "platform/VersionBlock.h"
#include "version/VersionNumbers.h"
#include "version/rpVersionInfo.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTimer>

#include <filesystem>
#include <stdexcept>

namespace {

const QString MakerVersionsFile = QStringLiteral("https://www.example.com/support/versions.txt");
const QString MakerSite = QStringLiteral("www.example.com");
const QString CopyrightLine =
    QStringLiteral("TGetNewVersion 1.0, new-version check of the Trevalon Project");

const QString NoInformation =
    QStringLiteral("No version information is available for this program.");
const QString UpToDate = QStringLiteral("This program is up-to-date.");

// Test builds carry a non-zero last component ("1.1.5.3") and look for test
// releases.
QString SectionSuffix(const QString& ownVersion) {
    const qsizetype dot = ownVersion.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    bool ok = false;
    const int build = ownVersion.mid(dot + 1, 4).toInt(&ok);
    return ok && build != 0 ? QStringLiteral("_beta") : QString();
}

// The download address comes from a file off the network: only a web
// address goes to the browser, nothing that the system might run or open
// as a local file.
bool IsWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

class BusyScope {
public:
    explicit BusyScope(TVersionCheckUi* ui) : FUi(ui) {
        if (FUi)
            FUi->SetBusy(true);
    }
    ~BusyScope() {
        if (FUi)
            FUi->SetBusy(false);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    TVersionCheckUi* FUi;
};

} // namespace

TGetNewVersion::TGetNewVersion(QObject* owner)
    : QObject(owner), FCopyright(CopyrightLine), FSiteName(MakerSite), FTempFile(DefaultTempFile()),
      FURLCurrVerFile(MakerVersionsFile), FExecutableFile(RunningExecutable()) {
    const QString url = qEnvironmentVariable(UrlVariable);
    if (!url.isEmpty())
        FURLCurrVerFile = url;
}

TGetNewVersion::~TGetNewVersion() = default;

void TGetNewVersion::SetUi(std::unique_ptr<TVersionCheckUi> ui) {
    FUi = std::move(ui);
}

QString TGetNewVersion::DefaultTempFile() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/Trevalon/crv_versions.tmp");
}

float TGetNewVersion::VersionToNumber(const QString& text) {
    return version::VersionToNumber(text);
}

QStringList TGetNewVersion::ReadOwnVersionStrings(const QString& path) {
    QStringList list;
    const auto strings = platform::ReadVersionStrings(path);
    if (!strings)
        return list;
    for (const char* name : {"FileVersion", "LegalCopyright", "ProductName", "ProductVersion"}) {
        for (const auto& [key, value] : *strings) {
            if (key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
                list << value;
                break;
            }
        }
    }
    return list;
}

bool TGetNewVersion::CheckForNewVersion(bool showMessages) {
    FNewVersionFound = false;
    FDownloadStarted = false;

    const QStringList own = ReadOwnVersionStrings(FExecutableFile);
    if (own.isEmpty())
        throw std::out_of_range("List index out of bounds (0)");
    const QString ownVersion = own.first();
    const QString suffix = SectionSuffix(ownVersion);

    if (!Download()) {
        if (showMessages && FFailureDlg)
            ShowWarning(QStringLiteral(
                            "Couldn't download file with current version information from:\r\n") +
                        FURLCurrVerFile + QStringLiteral(" !"));
        return false;
    }

    const platform::TProfileFile versions(FTempFile);
    const QString key = QFileInfo(FExecutableFile).fileName();
    const QString published =
        versions.ReadString(QStringLiteral("CurrentVersions") + suffix, key, QString());
    const QString address =
        versions.ReadString(QStringLiteral("DownloadURL") + suffix, key, QString());

    if (FOnGetURL)
        FOnGetURL(this, published, address);

    if (published.isEmpty()) {
        if (showMessages)
            ShowInformation(NoInformation);
        return false;
    }
    if (!FDownloadDlg)
        return true;

    // Components compared as numbers: VersionToNumber turns 1.21 into less
    // than 1.12, so it cannot tell which release is newer.
    if (version::CompareVersions(published, ownVersion) > 0) {
        OfferDownload(published, address);
    } else if (showMessages) {
        ShowInformation(UpToDate);
    }
    return true;
}

void TGetNewVersion::OfferDownload(const QString& version, const QString& address) {
    FNewVersionFound = true;
    // Asked also without messages: a newer release is always worth a word.
    const QString question = QStringLiteral("There's a new version available!\r\nNew version: ") +
                             version + QStringLiteral("\r\nAvailable from: ") + address +
                             QStringLiteral("\r\nDo you wan't to download it now?");
    if (!FUi || !FUi->AskYesNo(question))
        return;
    const QUrl url(address, QUrl::StrictMode);
    if (!IsWebAddress(url)) {
        ShowWarning(QStringLiteral("The download address is not a web address, so it was not "
                                   "opened:\r\n") +
                    address);
        return;
    }
    FDownloadStarted = true;
    FUi->OpenUrl(url);
}

void TGetNewVersion::ShowWarning(const QString& text) {
    if (FUi)
        FUi->ShowWarning(text);
}

void TGetNewVersion::ShowInformation(const QString& text) {
    if (FUi)
        FUi->ShowInformation(text);
}

bool TGetNewVersion::Download() {
    const BusyScope busy(FUi.get());

    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(QNetworkRequest(QUrl(FURLCurrVerFile)));
    QByteArray data;
    bool exceeded = false;

    // One limit for the whole transfer: a server that trickles a byte now
    // and then must not hold the window for good.
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply, [&] {
        exceeded = true;
        reply->abort();
    });
    auto take = [&] {
        data += reply->readAll();
        if (data.size() > MaxDownloadSize) {
            exceeded = true;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::readyRead, reply, take);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(FTimeLimit);
    if (!reply->isFinished())
        loop.exec();
    deadline.stop();
    if (exceeded || reply->error() != QNetworkReply::NoError)
        return false;
    take();
    if (exceeded)
        return false;

    // A new file of this user's alone, renamed over the old one when
    // complete: a name prepared by someone else (a link to another file)
    // is replaced, never written through, and a reader never sees half a
    // file.
    const QFileInfo target(FTempFile);
    if (!QDir().mkpath(target.absolutePath()))
        return false;
    QTemporaryFile file(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!file.open() || file.write(data) != data.size() || !file.flush())
        return false;
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(file.fileName()).toStdString(),
                            QFile::encodeName(target.absoluteFilePath()).toStdString(), error);
    if (error)
        return false;
    file.setAutoRemove(false);
    return true;
}
