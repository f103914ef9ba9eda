#pragma once
// The files opened last and the folder of the last one, kept across runs in the
// application's settings. Paths are kept as bytes, so names that are not UTF-8 survive.

#include <string>
#include <vector>

#include <QSettings>

namespace kestrel::app {

inline constexpr int RecentFileLimit = 8;

class RecentFiles {
public:
    // Newest first, at most RecentFileLimit.
    std::vector<std::string> Files() const;
    // The folder of the file opened last, with its trailing separator; empty if none.
    std::string LastFolder() const;
    // Puts `path` first in the list (once) and remembers its folder.
    void Remember(const std::string& path);
    // Takes `path` off the list.
    void Forget(const std::string& path);

private:
    // One object for the window's life: Qt writes changes back from the event loop (and at
    // the end), so opening a file does not wait for the disk.
    QSettings settings_;
};

}  // namespace kestrel::app
