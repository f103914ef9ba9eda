#include "app/file_names.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QFile>
#include <QMimeData>
#include <QStringList>
#include <QUrl>

namespace kestrel::app {

namespace {

std::string Encoded(const QString& name) { return QFile::encodeName(name).toStdString(); }

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The one entry of `folder` that Qt shows as `shown`, or Qt's own encoding of it.
std::string EntryShownAs(const std::string& folder, const QString& shown) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return Encoded(shown);
    std::string match;
    int matches = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (QFile::decodeName(entry->d_name) == shown) {
            match = entry->d_name;
            ++matches;
        }
    }
    ::closedir(dir);
    // Two names that differ only in bytes Qt cannot show are not told apart by guessing.
    return matches == 1 ? match : Encoded(shown);
}

}  // namespace

std::string LocalPathBytes(const QString& path) {
    const std::string encoded = Encoded(path);
    if (!path.contains(QChar::ReplacementCharacter) || Exists(encoded)) return encoded;
    const QStringList parts = path.split(u'/');
    std::string resolved;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0) resolved += '/';
        const QString& part = parts.at(i);
        resolved += part.contains(QChar::ReplacementCharacter) ? EntryShownAs(resolved, part)
                                                               : Encoded(part);
    }
    return resolved;
}

std::string DroppedFileBytes(const QMimeData& data) {
    const QByteArray list = data.data(QStringLiteral("text/uri-list"));
    for (QByteArray line : list.split('\n')) {
        line = line.trimmed();
        if (!line.startsWith("file:")) continue;  // comments, other schemes
        QByteArray path = line.mid(5);
        if (path.startsWith("//")) {
            // file://host/path: the host (usually empty or localhost) is not part of the path.
            const qsizetype slash = path.indexOf('/', 2);
            path = slash < 0 ? QByteArray() : path.mid(slash);
        }
        const std::string bytes = QByteArray::fromPercentEncoding(path).toStdString();
        if (bytes.empty()) continue;
        // A URL made from a name Qt had already decoded holds replacement characters.
        return Exists(bytes) ? bytes : LocalPathBytes(QFile::decodeName(bytes.c_str()));
    }
    return {};
}

QString DisplayName(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

QString FilterSuffix(const QString& filter) {
    const qsizetype open = filter.lastIndexOf(u'(');
    const qsizetype close = filter.lastIndexOf(u')');
    if (open < 0 || close < open) return {};
    const QString patterns = filter.mid(open + 1, close - open - 1).trimmed();
    if (!patterns.startsWith(QStringLiteral("*.")) || patterns.contains(u' ')) return {};
    const QString suffix = patterns.mid(2);
    return suffix.contains(u'*') || suffix.contains(u'?') ? QString() : suffix;
}

}  // namespace kestrel::app
