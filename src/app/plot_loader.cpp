#include "app/plot_loader.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>
#include <utility>

namespace kestrel::app {

namespace {

FileStamp StampOf(const struct stat& st) {
    return {true, static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
            static_cast<std::uint64_t>(st.st_ino), static_cast<std::uint64_t>(st.st_dev)};
}

}  // namespace

FileStamp FileStamp::Of(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return StampOf(st);
}

struct PlotLoader::Job {
    LoadedPlot plot;
    reader::ReadOptions options;
    std::atomic<bool> cancel{false};
    std::atomic<std::uint64_t> bytesRead{0};
    std::uint64_t fileSize = 0;
};

PlotLoader::PlotLoader(std::function<void(LoadedPlot&)> done, QObject* parent)
    : QObject(parent), done_(std::move(done)) {
    worker_ = std::thread([this] { Work(); });
}

PlotLoader::~PlotLoader() {
    Cancel();
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    // What the worker posts to this object goes with it.
    worker_.join();
}

void PlotLoader::Start(std::string dir, std::string name, reader::ReadOptions options,
                       bool keepView, std::int16_t shownPlot) {
    Cancel();
    auto job = std::make_shared<Job>();
    job->plot.dir = std::move(dir);
    job->plot.name = std::move(name);
    job->plot.reading = options.reading;
    job->plot.keepView = keepView;
    job->plot.indexedPlot = keepView ? shownPlot : std::int16_t{1};
    current_ = job;
    struct stat st {};
    const std::string path = job->plot.dir + job->plot.name;
    if (::stat(path.c_str(), &st) == 0) {
        // Also for a file refused below, so that following it waits for a change.
        job->plot.stamp = StampOf(st);
        if (!S_ISREG(st.st_mode)) {
            // A pipe or device could hold the worker for good, and with it the window's
            // end; such a file is refused as the reader refuses it, with its empty plot.
            reader::ReadPlotText(job->plot.store, {});
            job->plot.result.status = reader::ReadStatus::CannotOpen;
            job->plot.result.errorNumber = reader::ErrorNumber::BadFileName;
            QMetaObject::invokeMethod(
                this, [this, job] { Finish(job); }, Qt::QueuedConnection);
            return;
        }
        job->fileSize = static_cast<std::uint64_t>(st.st_size);
    }
    options.cancel = &job->cancel;
    options.progress = &job->bytesRead;
    job->options = options;
    {
        const std::lock_guard lock(mutex_);
        queued_ = job;
    }
    wake_.notify_one();
}

void PlotLoader::Cancel() {
    if (!current_) return;
    current_->cancel = true;
    current_.reset();
    const std::lock_guard lock(mutex_);
    queued_.reset();  // not begun: nothing to wait for
}

double PlotLoader::Progress() const {
    if (!current_ || current_->fileSize == 0) return 0;
    return std::min(1.0, static_cast<double>(current_->bytesRead.load()) /
                             static_cast<double>(current_->fileSize));
}

void PlotLoader::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || queued_; });
        if (stopping_) return;
        const std::shared_ptr<Job> job = std::move(queued_);
        queued_.reset();
        lock.unlock();
        reader::ReadResult& result = job->plot.result;
        try {
            result =
                reader::ReadPlotFile(job->plot.store, job->plot.dir + job->plot.name, job->options);
        } catch (const std::bad_alloc&) {
            // What was read before stays, as with every other early end.
            result.status = reader::ReadStatus::Read;
            result.stop = reader::StopReason::OutOfMemory;
        } catch (...) {
            result.status = reader::ReadStatus::CannotOpen;
            result.errorNumber = reader::ErrorNumber::FileReadError;
        }
        const FileStamp after = FileStamp::Of(job->plot.dir + job->plot.name);
        job->plot.changedWhileRead = result.status == reader::ReadStatus::Read &&
                                     job->plot.stamp.exists && !(after == job->plot.stamp);
        IndexShownPlot(job->plot);
        QMetaObject::invokeMethod(
            this, [this, job] { Finish(job); }, Qt::QueuedConnection);
        lock.lock();
    }
}

void PlotLoader::IndexShownPlot(LoadedPlot& plot) {
    plot.indexedPlot = std::clamp<std::int16_t>(plot.indexedPlot, 1,
                                                std::max<std::int16_t>(1, plot.store.PlotTotal));
    const auto lines = view::IndexedLines(plot.store, plot.indexedPlot);
    const auto chars = view::IndexedChars(plot.store, plot.indexedPlot);
    if (lines.size() + chars.size() <= 2) return;  // nothing but the unused records
    try {
        plot.index.emplace();
        plot.index->Build(lines, chars);
    } catch (const std::exception&) {
        plot.index.reset();  // the view builds one when it needs it, or draws without
    }
}

void PlotLoader::Finish(const std::shared_ptr<Job>& job) {
    if (job != current_) return;  // cancelled meanwhile
    current_.reset();
    done_(job->plot);
}

}  // namespace kestrel::app
