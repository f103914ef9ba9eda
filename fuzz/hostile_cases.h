#pragma once

#include <functional>
#include <string_view>

// Plot texts that put extreme numbers wherever plotter reading's commands take numbers:
// every command of its table, in several states of the plotter, with one or all of its
// numbers far out of range, followed by commands that use what it set. Every `stride`th
// text is handed to `use` in turn; the count of texts handed is returned.
int ForEachHostileCase(const std::function<void(std::string_view)>& use, int stride = 1);
