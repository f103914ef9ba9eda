#pragma once

#include <condition_variable>
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

// A plot file read into a store of its own, to be taken over by the window.
struct LoadedPlot {
    std::string dir;   // PlotDir of the file, with its trailing separator
    std::string name;  // PlotName
    reader::PlotStore store;
    reader::ReadResult result;
    // Over plot 1's tables, built while still on the loader's thread: a zoomed view of it
    // needs no pause to build one.
    std::optional<view::SpatialIndex> index;
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
    void Start(std::string dir, std::string name, reader::ReadOptions options);
    void Cancel();
    bool Busy() const { return current_ != nullptr; }
    // The share of the file read so far, 0 to 1.
    double Progress() const;

private:
    struct Job;
    void Work();
    void Finish(const std::shared_ptr<Job>& job);
    static void IndexFirstPlot(LoadedPlot& plot);

    std::function<void(LoadedPlot&)> done_;
    std::shared_ptr<Job> current_;  // the reading that counts, queued or under way

    std::mutex mutex_;  // guards queued_ and stopping_
    std::condition_variable wake_;
    std::shared_ptr<Job> queued_;  // for the worker to take
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace kestrel::app
