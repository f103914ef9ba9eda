// SVG files: small plots' paths checked by hand.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "output/svg_writer.h"
#include "reader/reader.h"
#include "test_folder.h"

namespace {

// A plot 1000 x 500 units (25 x 12.5 mm): a red corner and a red stroke away from it, then a blue one.
const char* const Corner = "IN;SP4;PU0,0;PD1000,0,1000,500;PU0,0;PD0,500;SP9;PU0,500;PD500,250;";

TEST(SvgWriter, WritesPlotterUnitsWithYTurnedAndARunOfAPenAsOnePath) {
    const struct {
        const char* name;
        const char* plot;
        kestrel::output::FitPaper paper;
        const char* page;
        std::vector<std::string> paths;  // colour, width, data
    } rows[] = {
        // The view box is in plotter units with the 5 mm margin (200 units) all round; hair-lines are 0.1 mm
        // (4 units); the stroke away from the corner is a subpath of the same path.
        {"one to one",
         Corner,
         {},
         R"(width="35mm" height="22.5mm" viewBox="0 0 1400 900")",
         {"#800000 4 M200 700L1200 700L1200 200M200 700L200 200", "#000080 4 M200 200L700 450"}},
        // Fitted: a unit is 0.2 mm, the plot 98.5 mm from the top.
        {"fitted",
         Corner,
         {210, 297},
         R"(width="210mm" height="297mm" viewBox="0 0 1050 1485")",
         {"#800000 0.5 M25 992.5L1025 992.5L1025 492.5M25 992.5L25 492.5", "#000080 0.5 M25 492.5L525 742.5"}},
        // A pen-up move along y alone starts a subpath too.
        {"pen up along y",
         "PU0,0;PD400,0;PU400,200;PD800,200;",
         {},
         R"(viewBox="0 0 1200 600")",
         {"#000080 4 M200 400L600 400M600 200L1000 200"}},
        // Pens 2 and 10 draw alike, 0.5 mm (20 units) wide, but each in a path of its own.
        {"wide pens",
         "SP2;PW0.5,2;PW0.5,10;PU0,0;PD400,0;SP10;PD400,400;",
         {},
         R"(viewBox="0 0 800 800")",
         {"#008000 20 M200 600L600 600", "#008000 20 M600 600L600 200"}},
    };
    const TestFolder dir;
    const std::string svg = dir.Path("paths.svg");
    const std::regex path(R"re(<path stroke="([^"]*)" stroke-width="([^"]*)" d="([^"]*)"/>)re");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        kestrel::reader::PlotStore store;
        kestrel::reader::ReadPlotText(store, row.plot);
        ASSERT_TRUE(kestrel::output::WriteSvg(svg, store, {1}, row.paper));
        std::stringstream file;
        file << std::ifstream(svg).rdbuf();
        const std::string text = file.str();
        EXPECT_NE(text.find(row.page), std::string::npos) << text;
        std::vector<std::string> paths;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), path); it != std::sregex_iterator(); ++it)
            paths.push_back((*it)[1].str() + " " + (*it)[2].str() + " " + (*it)[3].str());
        EXPECT_EQ(paths, row.paths);
    }
}

// Wide lines of other ends and corners than a pen's: SVG's own where it has them, the rest as
// filled pieces after the path; a shaded fill in its tint.
TEST(SvgWriter, LineAttributesAndShades) {
    const struct {
        const char* name;
        const char* plot;
        std::vector<std::string> expected;  // in the file, in this order
        std::size_t pieces;
    } rows[] = {
        {"TriangularEndsCutMiter",
         "IN;SP1;PW1;LA1,3,2,1,3,1.2;PU0,0;PD1000,0,1000,500;",
         {R"(stroke-linecap="butt" stroke-linejoin="bevel" stroke-miterlimit="1.2" d="M200 700L1200 700L1200 200"/>)",
          R"(<g fill="#000080" stroke="none">)"},
         3},
        {"SquareEndsMiteredElseBeveled",
         "IN;SP1;PW1;LA1,2,2,2;PU0,0;PD1000,0,1000,500;",
         {R"(stroke-linecap="square" stroke-linejoin="miter" stroke-miterlimit="5" d=")"},
         0},
        {"NoJoinsEachLineAPath",
         "IN;SP1;PW1;LA2,6;PU0,0;PD1000,0,1000,500;",
         {R"(d="M200 700L1200 700M1200 700L1200 200"/>)"},
         0},
        {"ThinLinesAsAPen", "IN;SP1;PW0.3;LA1,3;PU0,0;PD1000,0,1000,500;", {R"(stroke-width="12" d=")"}, 0},
        {"Shaded", "IN;SP1;FT10,30;PU0,0;RA1000,500;", {R"(<path stroke="#b2b2d9")"}, 0},
    };
    const TestFolder dir;
    const std::string svg = dir.Path("attributes.svg");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        kestrel::reader::PlotStore store;
        kestrel::reader::ReadPlotText(store, row.plot);
        ASSERT_TRUE(kestrel::output::WriteSvg(svg, store, {1}));
        std::stringstream file;
        file << std::ifstream(svg).rdbuf();
        const std::string text = file.str();
        std::size_t at = 0;
        for (const std::string& part : row.expected) {
            at = text.find(part, at);
            ASSERT_NE(at, std::string::npos) << part << "\n" << text;
        }
        std::size_t pieces = 0;
        for (std::size_t p = text.find("<path d="); p != std::string::npos; p = text.find("<path d=", p + 1)) ++pieces;
        EXPECT_EQ(pieces, row.pieces);
    }
}

}  // namespace
