#include "app/recent_files.h"

#include <QByteArray>
#include <QSettings>
#include <QVariant>
#include <QVariantList>

namespace Kestrel_App {

namespace {

const char RecentFilesKey[] = "recentFiles";
const char LastFolderKey[] = "lastFolder";

}  // namespace

std::vector<std::string> RecentFiles() {
    std::vector<std::string> files;
    for (const QVariant& v : QSettings().value(RecentFilesKey).toList()) {
        const QByteArray path = v.toByteArray();
        if (!path.isEmpty() && static_cast<int>(files.size()) < RecentFileLimit) {
            files.push_back(path.toStdString());
        }
    }
    return files;
}

std::string LastFolder() {
    return QSettings().value(LastFolderKey).toByteArray().toStdString();
}

void RememberFile(const std::string& path) {
    QVariantList list{QByteArray::fromStdString(path)};
    for (const std::string& old : RecentFiles()) {
        if (old != path && list.size() < RecentFileLimit) list.append(QByteArray::fromStdString(old));
    }
    QSettings settings;
    settings.setValue(RecentFilesKey, list);
    settings.setValue(LastFolderKey, QByteArray::fromStdString(path.substr(0, path.rfind('/') + 1)));
}

}  // namespace Kestrel_App
