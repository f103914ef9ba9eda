#include "reader/reader.h"

#include <cerrno>
#include <string>

#include "reader/basic_reader.h"
#include "reader/plot_file_text.h"
#include "reader/plotter_reader.h"

namespace kestrel::reader {

ErrorNumber FileErrorNumber(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR: return ErrorNumber::FileNotFound;
        case EACCES:
        case EPERM: return ErrorNumber::PermissionDenied;
        default: return ErrorNumber::BadFileName;
    }
}

ReadResult ReadPlotText(PlotStore& store, std::string_view text, const ReadOptions& options) {
    if (options.reading == Reading::Plotter) return ReadPlotterText(store, text, options);
    return ReadBasicText(store, text, options);
}
ReadResult ReadPlotFile(PlotStore& store, const std::string& path, const ReadOptions& options) {
    PlotFileText file;
    const int err = file.Open(path);
    if (err != 0) {
        EmptyPlot(store);
        ReadResult result;
        if (err == ENOMEM) {
            result.stop = StopReason::OutOfMemory;  // no room even to map the file
        } else {
            result.status = ReadStatus::CannotOpen;
            result.errorNumber = FileErrorNumber(err);
        }
        return result;
    }
    ReadResult result = ReadPlotText(store, file.Text(), options);
    // A file cut short reads as zeros from the cut, which a reading may run through to
    // the end between its checks.
    const std::string_view text = file.Text();
    if (result.stop == StopReason::EndOfFile && !text.empty() &&
        !PassedMappedText(text.data() + text.size()))
        result.stop = StopReason::FileChanged;
    return result;
}

int LastPos(std::string_view text, std::string_view part) {
    if (part.size() > text.size()) return 0;
    const std::size_t p = text.rfind(part);
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

}  // namespace kestrel::reader
