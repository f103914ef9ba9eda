#pragma once
// The files opened last and the folder of the last one, kept across runs in the
// application's settings. Paths are kept as bytes, so names that are not UTF-8 survive.

#include <string>
#include <vector>

namespace Kestrel_App {

inline constexpr int RecentFileLimit = 8;

// Newest first, at most RecentFileLimit.
std::vector<std::string> RecentFiles();

// The folder of the file opened last, with its trailing separator; empty if none.
std::string LastFolder();

// Puts `path` first in the list (once) and remembers its folder.
void RememberFile(const std::string& path);

}  // namespace Kestrel_App
