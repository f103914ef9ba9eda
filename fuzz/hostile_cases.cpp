#include "hostile_cases.h"

#include <cstdint>
#include <span>
#include <string>

#include "reader/command_table.h"

namespace {

// Past what an int, an int16, a float or a page can hold, and next to zero.
constexpr std::string_view Extremes[] = {"4e37",       "-4e37",       "3.5e38", "1e300",  "-1e300",
                                         "2147483648", "-2147483649", "65536",  "-32769", "1e-300"};
constexpr int MostNumbers = 8;

// The plotter drawing; in polygon mode; with user units so small that ordinary
// numbers become huge; with a soft-clip window and a line type.
struct Setting {
    std::string_view before;
    std::string_view after;
};
constexpr Setting Settings[] = {
    {"IN;SP1;PD;", "PA1,1;PD2,2,3,1;RA4,4;LBA\x03"},
    {"IN;SP1;PM0;PD1,1;", ";PM2;FP;EP;"},
    {"IN;SC0,1e-30,0,1e-30;SP2;LT1;", "PD1,1;CI1;LBAB\x03"},
};

// The command's numbers: all extreme, or the one at `at` among plain ones.
std::string Numbers(std::string_view extreme, int count, int at) {
    std::string numbers;
    for (int i = 0; i < count; ++i) {
        if (i > 0) numbers += ',';
        numbers += at < 0 || i == at ? extreme : "1";
    }
    return numbers;
}

}  // namespace

int ForEachHostileCase(const std::function<void(std::string_view)>& use, int stride) {
    int cases = 0;
    int skip = 0;
    std::string text;
    for (const auto family : kestrel::reader::CommandTable::Families()) {
        for (const kestrel::reader::CommandRow& row : family) {
            const char mnemonic[] = {static_cast<char>(row.mnemonic >> 8),
                                     static_cast<char>(row.mnemonic & 0xFF)};
            for (const Setting& setting : Settings) {
                for (const std::string_view extreme : Extremes) {
                    for (int count = 1; count <= MostNumbers; ++count) {
                        for (int at = -1; at < count; ++at) {
                            if (skip-- > 0) continue;
                            skip = stride - 1;
                            text.assign(setting.before);
                            text.append(mnemonic, 2).append(Numbers(extreme, count, at));
                            text.append(";").append(setting.after);
                            use(text);
                            ++cases;
                        }
                    }
                }
            }
        }
    }
    return cases;
}
