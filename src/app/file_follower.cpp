#include "app/file_follower.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace kestrel::app {

FileFollower::FileFollower(std::function<void()> changed, QObject* parent)
    : QObject(parent),
      changed_(std::move(changed)),
      watcher_(new QFileSystemWatcher(this)),
      settle_(new QTimer(this)) {
    settle_->setSingleShot(true);
    settle_->setInterval(SettleMs);
    connect(settle_, &QTimer::timeout, this, &FileFollower::Check);
    // The folder tells of a file put in the place of the one followed.
    const auto changes = [this] { settle_->start(); };
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, changes);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, changes);
}

void FileFollower::Follow(const std::string& path, const FileStamp& stamp) {
    path_ = path;
    stamp_ = stamp;
    Watch();
    // A change made while the file was read shows at once.
    if (enabled_ && !path_.empty()) settle_->start();
}

void FileFollower::SetEnabled(bool on) {
    enabled_ = on;
    Watch();
}

void FileFollower::Watch() {
    const QStringList watched = watcher_->files() + watcher_->directories();
    if (!watched.isEmpty()) watcher_->removePaths(watched);
    settle_->stop();
    if (!enabled_ || path_.empty()) return;
    const QString file = QFile::decodeName(QByteArray::fromStdString(path_));
    watcher_->addPath(QFileInfo(file).absolutePath());
    if (QFileInfo::exists(file)) watcher_->addPath(file);
}

void FileFollower::Check() {
    if (!enabled_ || path_.empty()) return;
    const FileStamp now = FileStamp::Of(path_);
    // A file that is gone keeps the plot shown until one of its name comes back.
    if (!now.exists || now == stamp_) return;
    stamp_ = now;
    Watch();  // a new file in the old one's place is watched afresh
    changed_();
}

}  // namespace kestrel::app
