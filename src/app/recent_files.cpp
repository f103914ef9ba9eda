#include "app/recent_files.h"

#include <QByteArray>
#include <QVariant>
#include <QVariantList>

namespace kestrel::app {

namespace {

const char RecentFilesKey[] = "recentFiles";
const char LastFolderKey[] = "lastFolder";

}  // namespace

std::vector<std::string> RecentFiles::Files() const {
    std::vector<std::string> files;
    for (const QVariant& v : settings_.value(RecentFilesKey).toList()) {
        const QByteArray path = v.toByteArray();
        if (!path.isEmpty() && static_cast<int>(files.size()) < RecentFileLimit) {
            files.push_back(path.toStdString());
        }
    }
    return files;
}

std::string RecentFiles::LastFolder() const {
    return settings_.value(LastFolderKey).toByteArray().toStdString();
}

void RecentFiles::Remember(const std::string& path) {
    QVariantList list{QByteArray::fromStdString(path)};
    for (const std::string& old : Files()) {
        if (old != path && list.size() < RecentFileLimit)
            list.append(QByteArray::fromStdString(old));
    }
    settings_.setValue(RecentFilesKey, list);
    settings_.setValue(LastFolderKey,
                       QByteArray::fromStdString(path.substr(0, path.rfind('/') + 1)));
}

void RecentFiles::Forget(const std::string& path) {
    QVariantList list;
    for (const std::string& old : Files())
        if (old != path) list.append(QByteArray::fromStdString(old));
    settings_.setValue(RecentFilesKey, list);
}

}  // namespace kestrel::app
