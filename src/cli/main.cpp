// kestrel-convert: the reader and renderer without a window.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "reader/plot_store.h"
#include "reader/reader.h"

namespace {

constexpr const char* Usage =
    "usage: kestrel-convert --info FILE | --segments FILE";

int UsageError() {
    std::fprintf(stderr, "%s\n", Usage);
    return 2;
}

// Buffered text output; one fwrite per 64 KiB keeps large plots fast.
class Out {
public:
    ~Out() { Flush(); }
    void Float(float v) { Append("%.9g", static_cast<double>(v)); }
    void Int(long long v) { Append("%lld", v); }
    void Text(const char* s) { Append("%s", s); }
    void Flush() {
        if (used_ > 0) std::fwrite(buf_, 1, used_, stdout);
        used_ = 0;
    }

private:
    template <typename T>
    void Append(const char* fmt, T v) {
        if (used_ + 64 > sizeof buf_) Flush();
        const int n = std::snprintf(buf_ + used_, sizeof buf_ - used_, fmt, v);
        if (n > 0) used_ += static_cast<std::size_t>(n);
    }
    char buf_[1 << 16];
    std::size_t used_ = 0;
};

void SplitPath(Kestrel_Val::PlotStore& store, const std::string& path) {
    const int p = Kestrel_Sub::LastPos(path, "/");
    store.PlotDir = path.substr(0, static_cast<std::size_t>(p));
    store.PlotName = path.substr(static_cast<std::size_t>(p));
}

int PrintPlot(const std::string& path, bool segments) {
    static Kestrel_Val::PlotStore store;
    SplitPath(store, path);
    const Kestrel_Sub::ReadResult r = Kestrel_Sub::ReadPlotFile(store);
    if (r.status == Kestrel_Sub::ReadStatus::CannotOpen) {
        std::fprintf(stderr, "kestrel-convert: cannot open %s: %s\n", path.c_str(),
                     r.errorNumber == 53 ? "file not found"
                     : r.errorNumber == 70 ? "permission denied"
                                           : "not a readable file");
        return 1;
    }
    Out out;
    if (r.status == Kestrel_Sub::ReadStatus::NoDelimiter) out.Text("nodelimiter\n");
    const int slot = 1;
    const std::int32_t count = store.LineCount[slot];
    out.Text("segments ");
    out.Int(count);
    out.Text("\nextents ");
    out.Float(store.MinX[slot]);
    out.Text(" ");
    out.Float(store.MinY[slot]);
    out.Text(" ");
    out.Float(store.MaxX[slot]);
    out.Text(" ");
    out.Float(store.MaxY[slot]);
    out.Text("\n");
    if (segments) {
        for (std::int32_t k = 1; k <= count; ++k) {
            const Kestrel_Val::PlotLine& l = store.Line(slot, k);
            out.Float(l.X1);
            out.Text(" ");
            out.Float(l.Y1);
            out.Text(" ");
            out.Float(l.X2);
            out.Text(" ");
            out.Float(l.Y2);
            out.Text(" ");
            out.Int(l.Pen);
            out.Text("\n");
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--info") == 0) return PrintPlot(argv[2], false);
    if (argc == 3 && std::strcmp(argv[1], "--segments") == 0) return PrintPlot(argv[2], true);
    return UsageError();
}
