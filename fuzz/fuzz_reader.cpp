// libFuzzer entry point: any bytes are a plot file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "reader/plot_store.h"
#include "reader/reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Kestrel_Val::PlotStore store;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Kestrel_Sub::ReadPlotText(store, text);
    const std::int32_t count = store.LineCount[1];
    // Every stored segment costs at least four bytes of input ("0,0,").
    if (count < 0 || static_cast<std::size_t>(count) > size / 2 + 1 || store.PlotTotal != 1 ||
        store.PlotLines[1].size() < static_cast<std::size_t>(count) + 1) {
        std::abort();
    }
    return 0;
}
