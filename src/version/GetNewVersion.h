#pragma once

#include "version/VersionCheckUi.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TGetNewVersion;

// Called by the check with the entries the versions file holds for this
// program (empty when it holds none), before they are compared.
using TOnGetURLEvent = std::function<void(TGetNewVersion* sender, const QString& currentVersion,
                                          const QString& downloadURL)>;

// Asks the maker's web site whether a newer release of the running program
// exists: downloads a small versions file (INI style), looks up the entry
// for the running executable's file name, compares it with the program's
// own file version and, when the published one is higher, offers to open
// the download address in the web browser.
//
// The versions file holds, under the executable's file name as key:
//   [CurrentVersions]  the newest release, dotted digits ("1.1.5.0")
//   [DownloadURL]      the address to open for it
// and the same sections with "_beta" appended for test builds, whose own
// file version has a non-zero last component.
//
// Everything runs on the calling thread; the download runs a local event
// loop, so timers and repaints go on meanwhile.
class TGetNewVersion : public QObject {
    Q_OBJECT
public:
    // The download gives up past this many bytes.
    static constexpr qint64 MaxDownloadSize = 64 * 1024;
    // The default limit of the whole download, milliseconds.
    static constexpr int DefaultTimeLimit = 30000;
    // Set to a URL, points URLCurrVerFile elsewhere (a site's own server, a
    // test's).
    static constexpr const char* UrlVariable = "TREVALON_VERSION_URL";

    // The defaults: both dialogs on, the maker's versions file (or the one
    // TREVALON_VERSION_URL names), the file kept in the user's cache folder,
    // the running executable, no interface (see SetUi).
    explicit TGetNewVersion(QObject* owner = nullptr);
    ~TGetNewVersion() override;

    // ---- Properties ------------------------------------------------------
    QString URLCurrVerFile() const { return FURLCurrVerFile; }
    void SetURLCurrVerFile(const QString& url) { FURLCurrVerFile = url; }
    // Informational only; the check does not use it.
    QString SiteName() const { return FSiteName; }
    void SetSiteName(const QString& name) { FSiteName = name; }
    // Report a failed download (only when messages are on).
    bool FailureDlg() const { return FFailureDlg; }
    void SetFailureDlg(bool on) { FFailureDlg = on; }
    // Compare and offer the download at all.
    bool DownloadDlg() const { return FDownloadDlg; }
    void SetDownloadDlg(bool on) { FDownloadDlg = on; }
    // Where the versions file is kept. Each download writes a new file
    // beside it (created for this user alone) and renames it over this one
    // only when complete; the file stays after the check.
    QString TempFile() const { return FTempFile; }
    void SetTempFile(const QString& path) { FTempFile = path; }
    TOnGetURLEvent OnGetURL() const { return FOnGetURL; }
    void SetOnGetURL(TOnGetURLEvent handler) { FOnGetURL = std::move(handler); }
    // A fixed line; writing it changes nothing.
    QString Copyright() const { return FCopyright; }
    void SetCopyright(const QString&) {}

    // The executable whose version and file name the check uses; the
    // running one unless set.
    QString ExecutableFile() const { return FExecutableFile; }
    void SetExecutableFile(const QString& path) { FExecutableFile = path; }
    // The limit of the whole download (connection, request and every byte),
    // milliseconds.
    int DownloadTimeLimit() const { return FTimeLimit; }
    void SetDownloadTimeLimit(int ms) { FTimeLimit = ms; }
    // What the check shows and asks. Without one, nothing is shown, the
    // question counts as No and nothing is opened.
    TVersionCheckUi* Ui() const { return FUi.get(); }
    void SetUi(std::unique_ptr<TVersionCheckUi> ui);

    // ---- Results of the last check -----------------------------------------
    // A strictly higher version was found and offered.
    bool NewVersionFound() const { return FNewVersionFound; }
    // The user accepted and the address was handed to the system.
    bool DownloadStarted() const { return FDownloadStarted; }

    // ---- Operations --------------------------------------------------------
    // Runs the check. Returns true when the versions file was downloaded and
    // holds a version for this program, whatever the comparison gives.
    //
    // With `showMessages`: a failed download is reported (when FailureDlg),
    // as are a missing entry and an up-to-date program. A higher version is
    // offered with a Yes/No question whether or not messages are on; on
    // Yes an http or https address is opened, any other is refused with a
    // warning naming it.
    //
    // Throws std::out_of_range when the executable has no version strings
    // (before anything is downloaded).
    bool CheckForNewVersion(bool showMessages);

    // The version strings of `path`: FileVersion, LegalCopyright,
    // ProductName and ProductVersion, in this order; empty for a file
    // without a version block.
    static QStringList ReadOwnVersionStrings(const QString& path);

    // See version::VersionToNumber.
    static float VersionToNumber(const QString& text);

    // Where the versions file is kept unless set otherwise: in the user's
    // cache folder.
    static QString DefaultTempFile();

private:
    // Fetches URLCurrVerFile into TempFile; false on any failure (error,
    // time limit, size limit, file not writable).
    bool Download();
    void ShowWarning(const QString& text);
    void ShowInformation(const QString& text);
    void OfferDownload(const QString& version, const QString& address);

    QString FCopyright;
    bool FDownloadDlg = true;
    bool FFailureDlg = true;
    TOnGetURLEvent FOnGetURL;
    QString FSiteName;
    QString FTempFile;
    bool FNewVersionFound = false;
    bool FDownloadStarted = false;
    QString FURLCurrVerFile;
    QString FExecutableFile;
    int FTimeLimit = DefaultTimeLimit;
    std::unique_ptr<TVersionCheckUi> FUi;
};
