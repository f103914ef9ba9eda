#include "reader/pen_looks.h"

#include <algorithm>
#include <cmath>

#include "reader/rounding.h"

namespace kestrel::reader {

namespace {

// The widths WU gives every pen: 0.35 mm, or 0.1 % of the P1-P2 diagonal.
constexpr double DefaultWidthMm = 0.35;
constexpr double DefaultWidthPercent = 0.1;
// Wider than any paper a plotter takes; keeps a hostile width finite.
constexpr double MaxWidthMm = 10000;
// LA: the default miter limit and the largest; lines up to this wide keep a pen's shape.
constexpr float DefaultMiterLimit = 5;
constexpr double MaxMiterLimit = 32767;
constexpr float AttributedWidthMm = 0.35f;

bool PenNumber(double v, std::int16_t& pen) {
    const auto r = Rounded<std::int16_t>(v, Halves::AwayFromZero);
    if (!r || *r < 0) return false;
    pen = *r;
    return true;
}

}  // namespace

void PenSettings::Initialize() {
    DefaultLineAttributes();
    Changed();
    relativeWidths_ = false;
    allWidthMm_ = 0;
    widthMm_.clear();
    colours_.clear();
    const double range[6] = {0, 255, 0, 255, 0, 255};
    std::copy(range, range + 6, range_);
}

bool PenSettings::Width(std::span<const double> p, double diagonal) {
    Changed();
    if (p.size() > 2 || !Finite(p)) return false;
    double mm =
        relativeWidths_ ? DefaultWidthPercent / 100 * diagonal / PlotterUnitsPerMm : DefaultWidthMm;
    if (!p.empty()) {
        // A negative width is taken as its size; 0 is the thinnest line.
        const double w = std::fabs(p[0]);
        mm = relativeWidths_ ? w / 100 * diagonal / PlotterUnitsPerMm : w;
    }
    const auto width = static_cast<float>(std::min(mm, MaxWidthMm));
    if (p.size() == 2) {
        std::int16_t pen;
        if (!PenNumber(p[1], pen)) return false;
        widthMm_[pen] = width;
    } else {
        allWidthMm_ = width;
        widthMm_.clear();
    }
    return true;
}

bool PenSettings::WidthUnit(std::span<const double> p, double diagonal) {
    if (p.size() > 1 || !Finite(p)) return false;
    const double type = p.empty() ? 0 : std::round(p[0]);
    if (type != 0 && type != 1) return false;
    relativeWidths_ = type == 1;
    // A change of units gives every pen the default width of the new units.
    return Width({}, diagonal);
}

bool PenSettings::Colour(std::span<const double> p) {
    Changed();
    if (!Finite(p)) return false;
    if (p.empty()) {
        colours_.clear();
        return true;
    }
    std::int16_t pen;
    if (!PenNumber(p[0], pen)) return false;
    if (p.size() == 1) {
        colours_.erase(pen);
        return true;
    }
    if (p.size() != 4) return false;
    Colour3 c{};
    std::uint8_t* out[3] = {&c.r, &c.g, &c.b};
    for (int i = 0; i < 3; ++i) {
        const double black = range_[2 * i], white = range_[2 * i + 1];
        const double level = (p[static_cast<std::size_t>(i) + 1] - black) / (white - black);
        *out[i] =
            RoundedClamped<std::uint8_t>(std::clamp(level, 0.0, 1.0) * 255, Halves::AwayFromZero);
    }
    colours_[pen] = c;
    return true;
}

bool PenSettings::PenCount(std::span<const double> p) {
    Changed();
    if (p.size() > 1 || !Finite(p)) return false;
    // A new palette starts with its default colours: Kestrel's.
    colours_.clear();
    return true;
}

bool PenSettings::ColourRange(std::span<const double> p) {
    if (!Finite(p)) return false;
    if (p.empty()) {
        const double range[6] = {0, 255, 0, 255, 0, 255};
        std::copy(range, range + 6, range_);
        return true;
    }
    if (p.size() != 6) return false;
    for (int i = 0; i < 3; ++i) {
        if (p[static_cast<std::size_t>(2 * i)] == p[static_cast<std::size_t>(2 * i + 1)])
            return false;
    }
    std::copy(p.begin(), p.end(), range_);
    return true;
}

void PenSettings::DefaultLineAttributes() {
    Changed();
    ends_ = joins_ = 0;
    miterLimit_ = DefaultMiterLimit;
}

bool PenSettings::LineAttributes(std::span<const double> p) {
    if (!Finite(p) || p.size() % 2 != 0) return false;
    if (p.empty()) {
        // The HP-GL/2 defaults: butt ends, mitered joins, miter limit 5.
        ends_ = joins_ = 1;
        miterLimit_ = DefaultMiterLimit;
        Changed();
        return true;
    }
    std::uint8_t ends = ends_ == 0 ? 1 : ends_, joins = joins_ == 0 ? 1 : joins_;
    float limit = miterLimit_;
    for (std::size_t i = 0; i < p.size(); i += 2) {
        const double kind = std::round(p[i]), value = p[i + 1];
        const double v = std::round(value);
        if (kind == 1 && v >= 1 && v <= 4) {
            ends = static_cast<std::uint8_t>(v);
        } else if (kind == 2 && v >= 1 && v <= 6) {
            joins = static_cast<std::uint8_t>(v);
        } else if (kind == 3) {
            limit = static_cast<float>(std::clamp(value, 1.0, MaxMiterLimit));
        } else {
            return false;  // a kind or value out of range leaves the attributes as they were
        }
    }
    ends_ = ends;
    joins_ = joins;
    miterLimit_ = limit;
    Changed();
    return true;
}

PenLook PenSettings::Find(std::int16_t pen) const {
    PenLook look;
    look.Pen = pen;
    const auto width = widthMm_.find(pen);
    look.WidthMm = width == widthMm_.end() ? allWidthMm_ : width->second;
    const auto it = colours_.find(pen);
    if (it != colours_.end()) {
        look.OwnColour = true;
        look.R = it->second.r;
        look.G = it->second.g;
        look.B = it->second.b;
    }
    // Line attributes shape only lines wider than 0.35 mm; thinner ones stay as a pen draws.
    if (look.WidthMm > AttributedWidthMm) {
        look.Ends = ends_;
        look.Joins = joins_;
        look.MiterLimit = miterLimit_;
    }
    return look;
}

void PenCodes::Clear() {
    first_.clear();
    laterCodes_.clear();
    later_.clear();
    haveLast_ = false;
}

PenCodes::Key PenCodes::KeyOf(const PenLook& look) {
    const std::uint32_t rgb = std::uint32_t{look.R} << 16 | std::uint32_t{look.G} << 8 | look.B;
    const std::uint32_t shape =
        std::uint32_t{look.Tint} << 16 | std::uint32_t{look.Ends} << 8 | look.Joins;
    return {look.Pen,     look.OwnColour, look.OwnColour ? rgb : 0u,
            look.WidthMm, shape,          look.MiterLimit};
}

std::int16_t PenCodes::Lookup(const PenLook& look) {
    std::int16_t code = look.Pen;
    const auto [first, isNew] = first_.try_emplace(look.Pen, look);
    if (!isNew && !Same(first->second, look)) {
        const auto it = laterCodes_.find(KeyOf(look));
        if (it != laterCodes_.end()) {
            code = it->second;
        } else if (later_.size() < 32768) {
            code = static_cast<std::int16_t>(-1 - static_cast<int>(later_.size()));
            later_.push_back(look);
            laterCodes_.emplace(KeyOf(look), code);
        }
        // With every code taken, the pen draws in its first look.
    }
    haveLast_ = true;
    last_ = look;
    lastCode_ = code;
    return code;
}

PlotPens PenCodes::Tables() const {
    PlotPens pens;
    for (const auto& [pen, look] : first_) {
        if (!Plain(look)) pens.FirstLooks.push_back(look);
    }
    std::sort(pens.FirstLooks.begin(), pens.FirstLooks.end(),
              [](const PenLook& a, const PenLook& b) { return a.Pen < b.Pen; });
    pens.LaterLooks = later_;
    return pens;
}

}  // namespace kestrel::reader
