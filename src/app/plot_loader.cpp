#include "app/plot_loader.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>
#include <thread>
#include <utility>

namespace Kestrel_App {

struct PlotLoader::Job {
    LoadedPlot plot;
    std::atomic<bool> cancel{false};
    std::atomic<std::uint64_t> bytesRead{0};
    std::uint64_t fileSize = 0;
    std::thread thread;
};

PlotLoader::PlotLoader(std::function<void(LoadedPlot&)> done, QObject* parent)
    : QObject(parent), done_(std::move(done)) {}

PlotLoader::~PlotLoader() {
    // The workers post to this object; once they are joined nothing more can arrive, and
    // what they posted goes with the object.
    Cancel();
    for (const auto& job : cancelled_) {
        if (job->thread.joinable()) job->thread.join();
    }
}

void PlotLoader::Start(std::string dir, std::string name, Kestrel_Sub::ReadOptions options) {
    Cancel();
    auto job = std::make_shared<Job>();
    job->plot.dir = std::move(dir);
    job->plot.name = std::move(name);
    job->plot.store.PlotDir = job->plot.dir;
    job->plot.store.PlotName = job->plot.name;
    current_ = job;
    struct stat st {};
    const std::string path = job->plot.dir + job->plot.name;
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            // A pipe or device could block the reading thread for good, and with it the
            // window's end; such a file is refused as the reader refuses it, with the
            // reader's empty plot.
            Kestrel_Sub::ReadPlotText(job->plot.store, {});
            job->plot.result.status = Kestrel_Sub::ReadStatus::CannotOpen;
            job->plot.result.errorNumber = 52;
            QMetaObject::invokeMethod(this, [this, job] { Finish(job); }, Qt::QueuedConnection);
            return;
        }
        job->fileSize = static_cast<std::uint64_t>(st.st_size);
    }
    options.cancel = &job->cancel;
    options.progress = &job->bytesRead;
    job->thread = std::thread([this, job, options] {
        Kestrel_Sub::ReadResult& result = job->plot.result;
        try {
            result = Kestrel_Sub::ReadPlotFile(job->plot.store, options);
        } catch (const std::bad_alloc&) {
            // What was read before stays, as with every other early end.
            result.status = Kestrel_Sub::ReadStatus::Read;
            result.stop = Kestrel_Sub::StopReason::OutOfMemory;
        } catch (...) {
            result.status = Kestrel_Sub::ReadStatus::CannotOpen;
            result.errorNumber = 31036;
        }
        QMetaObject::invokeMethod(this, [this, job] { Finish(job); }, Qt::QueuedConnection);
    });
}

void PlotLoader::Cancel() {
    if (!current_) return;
    current_->cancel = true;
    cancelled_.push_back(std::move(current_));
    current_.reset();
}

double PlotLoader::Progress() const {
    if (!current_ || current_->fileSize == 0) return 0;
    return std::min(1.0, static_cast<double>(current_->bytesRead.load()) /
                             static_cast<double>(current_->fileSize));
}

void PlotLoader::Finish(const std::shared_ptr<Job>& job) {
    // The worker posted this as its last step, so the join is immediate.
    if (job->thread.joinable()) job->thread.join();
    if (job != current_) {
        std::erase(cancelled_, job);
        return;
    }
    current_.reset();
    done_(job->plot);
}

}  // namespace Kestrel_App
