#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The program's event log: one plain-text file, "ExcMagic.Log", beside the
// executable (see platform::LogFolder for the fallback). Entries are
// appended and the file is never rewritten during a run. Logging never
// raises to its caller: an entry that cannot be written is dropped.
//
// Only one log object may exist in a process; the connection manager's
// communication trace and the start-up entry reach it through Instance().
class TExcMagic {
public:
    static constexpr qint64 TrimThreshold = 51200; // bytes

    // Throws std::logic_error("Only one instance of TExcMagic allowed")
    // when another log object exists.
    explicit TExcMagic(const QString& logFileName = DefaultLogFileName());
    ~TExcMagic();
    TExcMagic(const TExcMagic&) = delete;
    TExcMagic& operator=(const TExcMagic&) = delete;

    // The one log object, or nullptr when none exists.
    static TExcMagic* Instance();

    static QString DefaultLogFileName();

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled) { FEnabled = enabled; }
    const QString& LogFileName() const { return FLogFileName; }
    void SetLogFileName(const QString& name) { FLogFileName = name; }

    // Appends `text` and CR LF; with `withSeparator`, a separator line
    // (CR LF, 27 hyphens, the local time stamp, 27 hyphens) goes first and
    // the text follows on the same line. Does nothing when disabled or
    // without a file name.
    void WriteEntry(const QByteArray& text, bool withSeparator);

    // Run once at program start: deletes the log when it is larger than
    // TrimThreshold bytes, then writes "Program Started - V" and the
    // executable's file version with a separator.
    void TrimAtStartup(const QString& executablePath);

    // Size in bytes of a file, or the total of everything inside a folder
    // (recursively); 0 when the path does not exist.
    static qint64 SizeOfPath(const QString& path);

    // The version value of a file under key index 0..9 (CompanyName ...
    // Comments); empty when the file has no version block or lacks the value.
    // Throws std::out_of_range for an index outside 0..9.
    static QString VersionString(const QString& fileName, int keyIndex);

    // "hh:mm:ss dd/mm/yyyy", zero-padded.
    static QByteArray TimeStamp(const QDateTime& local);

private:
    bool FEnabled = true;
    QString FLogFileName;
};
