#include "version/rpVersionInfo.h"

#include "platform/AppPaths.h"
#include "platform/VersionBlock.h"

#include <QCoreApplication>

#include <stdexcept>

namespace {

const char* const ResourceNames[TrpVersionInfo::VersionTypeCount] = {
    "CompanyName",     "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
    "LegalTrademarks", "OriginalFileName", "ProductName", "ProductVersion", "Comments"};

} // namespace

QString RunningExecutable() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return platform::ExecutablePath();
}

QString VersionValue(const QList<QPair<QString, QString>>& strings, const QString& name) {
    for (const auto& [key, value] : strings) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

TrpVersionInfo::TrpVersionInfo(QObject* owner) : TrpVersionInfo(RunningExecutable(), owner) {}

TrpVersionInfo::TrpVersionInfo(const QString& fileName, QObject* owner) : QObject(owner) {
    LoadVersionInfo(fileName);
}

QString TrpVersionInfo::GetVersionString(TVersionType type) const {
    if (type < vtCompanyName || type > vtComments)
        throw std::out_of_range("Range check error");
    return FStrings[type];
}

void TrpVersionInfo::LoadVersionInfo(const QString& fileName) {
    // The block reader only recognises a block for US English, code page
    // 1252; a block of any other translation is no block here.
    const auto strings = platform::ReadVersionStrings(fileName);
    if (!strings)
        return;
    for (int type = vtCompanyName; type <= vtComments; ++type)
        FStrings[type] = VersionValue(*strings, QLatin1String(ResourceNames[type]));
}
