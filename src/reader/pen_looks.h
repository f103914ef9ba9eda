#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "reader/plot_store.h"

namespace kestrel::reader {

// What PW, WU, PC, NP and CR say about the pens: each pen's width and colour as the
// plotter would draw it now. A pen the file says nothing about draws in Kestrel's colour
// as a hair-line, the thinnest line the output has.
class PenSettings {
public:
    PenSettings() { Initialize(); }

    void Initialize();  // IN: hair-lines, Kestrel's colours, metric widths, colour range 0..255

    // `diagonal` is the P1-P2 distance in plotter units, for widths given relative to it.
    bool Width(std::span<const double> p, double diagonal);      // PW [width[,pen]]
    bool WidthUnit(std::span<const double> p, double diagonal);  // WU [type]
    bool Colour(std::span<const double> p);                      // PC [pen[,r,g,b]]
    bool PenCount(std::span<const double> p);                    // NP [n]
    bool ColourRange(std::span<const double> p);                 // CR [6 values]
    bool LineAttributes(std::span<const double> p);              // LA [kind,value...]
    void DefaultLineAttributes();                                // IN, DF: as a pen draws

    // Asked for every segment: the last answer is kept until something changes.
    const PenLook& Look(std::int16_t pen) const {
        if (!cached_ || cachedLook_.Pen != pen) {
            cachedLook_ = Find(pen);
            cached_ = true;
        }
        return cachedLook_;
    }
    // The look of a pen's labels and fills: LA shapes lines, not characters or areas, which
    // keep the pen's round ends and corners.
    PenLook RoundLook(std::int16_t pen) const {
        PenLook look = Look(pen);
        look.Ends = look.Joins = 0;
        look.MiterLimit = PenLook{}.MiterLimit;
        return look;
    }
    // The width of a pen in mm, 0 for a hair-line.
    float WidthMm(std::int16_t pen) const { return Look(pen).WidthMm; }
    // Changes whenever a look may have changed.
    std::uint32_t Version() const { return version_; }

private:
    PenLook Find(std::int16_t pen) const;
    void Changed() {
        cached_ = false;
        ++version_;
    }
    std::uint32_t version_ = 0;
    mutable bool cached_ = false;
    mutable PenLook cachedLook_;

    struct Colour3 {
        std::uint8_t r, g, b;
    };
    bool relativeWidths_ = false;
    float allWidthMm_ = 0;                               // pens without one of their own
    std::unordered_map<std::int16_t, float> widthMm_;    // PW for one pen
    std::unordered_map<std::int16_t, Colour3> colours_;  // PC
    double range_[6] = {};                               // CR: black and white per component
    std::uint8_t ends_ = 0, joins_ = 0;                  // LA; 0: not given since IN or DF
    float miterLimit_ = 5;
};

// The Pen values of one plot's segments: a pen's real number while it draws in its first
// look, a negative code for each later look (see PlotPens).
class PenCodes {
public:
    void Clear();
    std::int16_t Code(const PenLook& look) {
        if (haveLast_ && Same(look, last_)) return lastCode_;
        return Lookup(look);
    }
    // The looks as the store keeps them.
    PlotPens Tables() const;

private:
    static bool Same(const PenLook& a, const PenLook& b) {
        return a.Pen == b.Pen && a.OwnColour == b.OwnColour && a.R == b.R && a.G == b.G &&
               a.B == b.B && a.WidthMm == b.WidthMm && a.Tint == b.Tint && a.Ends == b.Ends &&
               a.Joins == b.Joins && a.MiterLimit == b.MiterLimit;
    }
    static bool Plain(const PenLook& look) {
        return !look.OwnColour && look.WidthMm == 0 && look.Tint == 100 && look.Ends == 0 &&
               look.Joins == 0;
    }
    std::int16_t Lookup(const PenLook& look);

    // Pen, colour (with whether it is its own), width, then tint, ends and joins in one
    // number, and the miter limit.
    using Key = std::tuple<std::int16_t, bool, std::uint32_t, float, std::uint32_t, float>;
    static Key KeyOf(const PenLook& look);

    std::unordered_map<std::int16_t, PenLook> first_;  // includes plain looks
    std::map<Key, std::int16_t> laterCodes_;
    std::vector<PenLook> later_;
    bool haveLast_ = false;
    PenLook last_;
    std::int16_t lastCode_ = 0;
};

}  // namespace kestrel::reader
