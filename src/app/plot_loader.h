#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include <QObject>

#include "reader/plot_store.h"
#include "reader/reader.h"
#include "view/spatial_index.h"

namespace kestrel::app {

// What tells one state of a file from the next: its size, time of change and identity.
struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t changedNs = 0;
    std::uint64_t inode = 0;
    std::uint64_t device = 0;
    bool operator==(const FileStamp&) const = default;

    static FileStamp Of(const std::string& path);
};

// A plot file read into a store of its own, to be taken over by the window.
struct LoadedPlot {
    std::string dir;   // PlotDir of the file, with its trailing separator
    std::string name;  // PlotName
    reader::PlotStore store;
    reader::ReadResult result;
    reader::Reading reading = reader::Reading::Plotter;
    FileStamp stamp;                // the file as reading began
    bool changedWhileRead = false;  // it was not the same after reading
    bool keepView = false;          // read again for the view shown: the plot and place stay
    // Over the tables of plot `indexedPlot`, the one to be shown, built while still on the
    // loader's thread: a zoomed view of it needs no pause to build one.
    std::optional<view::SpatialIndex> index;
    std::int16_t indexedPlot = 1;
};

// Reads plot files on a worker thread of its own, so that the window serves its events
// meanwhile. One reading counts at a time: starting another, Cancel and the loader's end
// cancel the one under way and drop what it read. `done` runs on the loader's thread once
// a reading that still counts has ended. The one thread serves every reading, so its
// memory stays warm from one file to the next.
class PlotLoader : public QObject {
public:
    explicit PlotLoader(std::function<void(LoadedPlot&)> done, QObject* parent = nullptr);
    ~PlotLoader() override;
    PlotLoader(const PlotLoader&) = delete;
    PlotLoader& operator=(const PlotLoader&) = delete;

    // Reads dir + name; the options' cancel flag and progress counter are the loader's own.
    // `keepView` goes with the plot read, and with it plot `shownPlot` (as far as the file
    // still holds it) is the one indexed rather than the first.
    void Start(std::string dir, std::string name, reader::ReadOptions options,
               bool keepView = false, std::int16_t shownPlot = 1);
    void Cancel();
    bool Busy() const { return current_ != nullptr; }
    // The share of the file read so far, 0 to 1.
    double Progress() const;

private:
    struct Job;
    void Work();
    void Finish(const std::shared_ptr<Job>& job);
    static void IndexShownPlot(LoadedPlot& plot);

    std::function<void(LoadedPlot&)> done_;
    std::shared_ptr<Job> current_;  // the reading that counts, queued or under way

    std::mutex mutex_;  // guards queued_ and stopping_
    std::condition_variable wake_;
    std::shared_ptr<Job> queued_;  // for the worker to take
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace kestrel::app
