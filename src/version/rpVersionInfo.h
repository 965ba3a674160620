#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

#include <array>

// The version strings, in the order of their index.
enum TVersionType {
    vtCompanyName,
    vtFileDescription,
    vtFileVersion,
    vtInternalName,
    vtLegalCopyright,
    vtLegalTradeMark,
    vtOriginalFileName,
    vtProductName,
    vtProductVersion,
    vtComments
};

// The text strings of an executable's version block (US English, code page
// 1252 only), read once when the object is made. A file without a block, or
// whose block is for another translation, gives ten empty strings; a string
// missing from the block gives an empty one. Nothing is raised and nothing
// reloads the strings later.
class TrpVersionInfo : public QObject {
    Q_OBJECT
public:
    static constexpr int VersionTypeCount = 10;

    // Reads the block of the running executable.
    explicit TrpVersionInfo(QObject* owner = nullptr);
    // Reads the block of `fileName`.
    explicit TrpVersionInfo(const QString& fileName, QObject* owner = nullptr);

    // The stored string of `type`. Throws std::out_of_range for a type
    // outside vtCompanyName..vtComments.
    QString GetVersionString(TVersionType type) const;

    QString CompanyName() const { return GetVersionString(vtCompanyName); }
    QString FileDescription() const { return GetVersionString(vtFileDescription); }
    QString FileVersion() const { return GetVersionString(vtFileVersion); }
    QString InternalName() const { return GetVersionString(vtInternalName); }
    QString LegalCopyright() const { return GetVersionString(vtLegalCopyright); }
    QString LegalTradeMark() const { return GetVersionString(vtLegalTradeMark); }
    QString OriginalFileName() const { return GetVersionString(vtOriginalFileName); }
    QString ProductName() const { return GetVersionString(vtProductName); }
    QString ProductVersion() const { return GetVersionString(vtProductVersion); }
    QString Comments() const { return GetVersionString(vtComments); }

private:
    void LoadVersionInfo(const QString& fileName);

    std::array<QString, VersionTypeCount> FStrings;
};

// The path of the running executable: the application's, or read from the
// system when no QCoreApplication exists yet.
QString RunningExecutable();

// The value stored under `name` among the strings of a version block; names
// match without regard to case, as version-resource names always have
// ("LegalTrademarks" finds "LegalTradeMarks"). Empty when missing.
QString VersionValue(const QList<QPair<QString, QString>>& strings, const QString& name);
