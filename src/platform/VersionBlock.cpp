#include "platform/VersionBlock.h"

#include <QFile>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

const char* const VersionKeys[VersionKeyCount] = {
    "CompanyName",     "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
    "LegalTradeMarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments"};

namespace {

// The marker is kept shifted by one here, so that this reader's own code
// never contains the byte sequence it searches for.
std::string Marker() {
    std::string m = "\x02USW.WFSTJPO.CMPDL\x03";
    for (char& c : m)
        c = static_cast<char>(c - 1);
    return m;
}

const std::string TableName = std::string("StringFileInfo\\040904E4") + '\0';

using Pairs = std::vector<std::pair<std::string, std::string>>;

std::optional<Pairs> ReadBlock(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = file.readAll();
    const std::string marker = Marker() + TableName;
    const auto begin = data.constBegin();
    const auto end = data.constEnd();
    const auto hit = std::search(begin, end, marker.begin(), marker.end());
    if (hit == end)
        return std::nullopt;

    Pairs pairs;
    auto p = hit + static_cast<qsizetype>(marker.size());
    auto readString = [&](std::string& out) {
        const auto nul = std::find(p, end, '\0');
        if (nul == end)
            return false;
        out.assign(p, nul);
        p = nul + 1;
        return true;
    };
    while (p != end && *p != '\x03') {
        std::string key, value;
        if (!readString(key) || !readString(value))
            return std::nullopt;
        pairs.emplace_back(std::move(key), std::move(value));
    }
    return pairs;
}

} // namespace

QString ReadVersionValue(const QString& fileName, const QString& key) {
    const auto pairs = ReadBlock(fileName);
    if (!pairs)
        return {};
    const std::string wanted = key.toStdString();
    for (const auto& [k, v] : *pairs) {
        if (k == wanted)
            return QString::fromLatin1(v.c_str());
    }
    return {};
}

std::optional<QList<QPair<QString, QString>>> ReadVersionStrings(const QString& fileName) {
    const auto pairs = ReadBlock(fileName);
    if (!pairs)
        return std::nullopt;
    QList<QPair<QString, QString>> strings;
    for (const auto& [k, v] : *pairs)
        strings.append({QString::fromLatin1(k.c_str()), QString::fromLatin1(v.c_str())});
    return strings;
}

bool HasVersionBlock(const QString& fileName) {
    return ReadBlock(fileName).has_value();
}

} // namespace platform
