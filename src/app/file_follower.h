#pragma once

#include <functional>
#include <string>

#include <QObject>

#include "app/plot_loader.h"

class QFileSystemWatcher;
class QTimer;

namespace kestrel::app {

// Watches the file shown and says once it has changed on disk and the changes have
// settled: written over in place, or replaced by a new file of its name as editors save.
class FileFollower : public QObject {
public:
    // `changed` runs on the window's thread.
    FileFollower(std::function<void()> changed, QObject* parent);

    // Follows `path` (bytes) from its state `stamp` on; an empty path follows nothing.
    void Follow(const std::string& path, const FileStamp& stamp);
    void SetEnabled(bool on);
    bool Enabled() const { return enabled_; }
    // The changes are taken to have settled this long after the last.
    static constexpr int SettleMs = 300;

private:
    void Watch();
    void Check();

    std::function<void()> changed_;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* settle_ = nullptr;
    std::string path_;
    FileStamp stamp_;
    bool enabled_ = true;
};

}  // namespace kestrel::app
