// Labels: LB BL PB WD DT SM, and the label attributes SI SR DI DR DV SL ES LO CP LM SD AD
// SS SA CS CA. An attribute command given parameters it does not take changes nothing.
#include <algorithm>
#include <cmath>

#include "reader/command_table.h"
#include "reader/rounding.h"

namespace kestrel::reader {

namespace {

using Param = HpglScanner::Param;

// The most numbers an attribute command is read with; more leave it out.
constexpr std::size_t AttributeNumbers = 16;
// SR without parameters: percentages of P2 - P1.
constexpr double DefaultRelativeWidth = 0.75;
constexpr double DefaultRelativeHeight = 1.5;

// An attribute command's numbers, all of them finite.
bool Attributes(CommandContext& c, std::span<const double>& v) {
    return c.Numbers<AttributeNumbers>(v) &&
           std::all_of(v.begin(), v.end(), [](double x) { return std::isfinite(x); });
}

int Integer(double x) {
    return RoundedClamped<int>(std::clamp(x, -1e6, 1e6), Halves::AwayFromZero);
}

// Label text up to the terminator, which belongs to it when DT said it is printed.
std::string_view LabelText(CommandContext& c) {
    const LabelState& labels = c.plotter.labels;
    const std::size_t before = c.scan.Offset();
    const std::string_view text = c.scan.TextUntil(static_cast<char>(labels.terminator));
    const bool terminated = c.scan.Offset() > before + text.size();
    return labels.terminatorPrinted && terminated ? std::string_view(text.data(), text.size() + 1)
                                                  : text;
}

void Label(CommandContext& c) { DrawLabel(c.plotter, LabelText(c)); }  // LB

void BufferLabel(CommandContext& c) { c.plotter.labels.buffer = LabelText(c); }  // BL

// PB: the buffered label.
void PrintBuffer(CommandContext& c) {
    DrawLabel(c.plotter, c.plotter.labels.buffer);
    c.scan.SkipParameters();
}

// WD: text for a plotter's display, which is read and left.
void WriteDisplay(CommandContext& c) {
    c.scan.TextUntil(static_cast<char>(c.plotter.labels.terminator));
}

// DT t[,mode]: any character but ";" (and the few that cannot be) ends labels; mode 0
// prints it as well.
void DefineTerminator(CommandContext& c) {
    LabelState& labels = c.plotter.labels;
    unsigned char t;
    if (!c.scan.Peek(t)) return;
    if (t == ';' || t == 0 || t == '\n' || t == 0x1B) {
        labels.terminator = 3;
        labels.terminatorPrinted = false;
        if (t == ';') c.scan.Skip();
        return;
    }
    c.scan.Skip();
    labels.terminator = t;
    double mode = 1;
    unsigned char comma;
    if (c.scan.Peek(comma) && comma == ',') {
        c.scan.Skip();
        if (c.scan.Number(mode) != Param::Number) mode = 1;
    }
    labels.terminatorPrinted = mode == 0;
    c.scan.SkipParameters();
}

// SM c: the symbol drawn at every point of later moves; SM; turns the mode off.
void SymbolMode(CommandContext& c) {
    std::string& symbol = c.plotter.labels.symbol;
    unsigned char first;
    symbol.clear();
    if (!c.scan.Peek(first)) return;
    c.scan.Skip();
    if (first == ';') return;
    symbol.push_back(static_cast<char>(first));
    // Two bytes make one character in two-byte label mode.
    unsigned char second;
    if (c.plotter.labels.twoByte && c.scan.Peek(second) && second != ';') {
        c.scan.Skip();
        symbol.push_back(static_cast<char>(second));
    }
    unsigned char end;
    if (c.scan.Peek(end) && end == ';') c.scan.Skip();
}

// SI [width,height]: in cm; none, the font's size.
void AbsoluteSize(CommandContext& c) {
    LabelState& s = c.plotter.labels;
    std::span<const double> v;
    if (!Attributes(c, v)) return;
    if (v.empty()) {
        s.sizing = LabelState::Sizing::Font;
    } else if (v.size() == 2) {
        s.sizing = LabelState::Sizing::Absolute;
        s.width = v[0];
        s.height = v[1];
    }
}

// SR [width,height]: in percent of P2 - P1.
void RelativeSize(CommandContext& c) {
    LabelState& s = c.plotter.labels;
    std::span<const double> v;
    if (!Attributes(c, v) || (!v.empty() && v.size() != 2)) return;
    s.sizing = LabelState::Sizing::Relative;
    s.width = v.empty() ? DefaultRelativeWidth : v[0];
    s.height = v.empty() ? DefaultRelativeHeight : v[1];
}

// DI, DR [run,rise]: the label direction, in plotter units or percent of P2 - P1.
void Direction(CommandContext& c, bool relative) {
    LabelState& s = c.plotter.labels;
    std::span<const double> v;
    if (!Attributes(c, v)) return;
    if (v.size() == 2 && (v[0] != 0 || v[1] != 0)) {
        s.run = v[0];
        s.rise = v[1];
    } else if (v.empty()) {
        s.run = 1;
        s.rise = 0;
    } else {
        return;
    }
    s.relativeDirection = relative;
}

void AbsoluteDirection(CommandContext& c) { Direction(c, false); }  // DI
void RelativeDirection(CommandContext& c) { Direction(c, true); }   // DR

// DV [path[,line]]: the text path, and line feeds upwards.
void TextPath(CommandContext& c) {
    LabelState& s = c.plotter.labels;
    std::span<const double> v;
    if (!Attributes(c, v) || v.size() > 2) return;
    const int path = v.empty() ? 0 : Integer(v[0]);
    const int line = v.size() < 2 ? 0 : Integer(v[1]);
    if (path < 0 || path > 3 || line < 0 || line > 1) return;
    s.path = path;
    s.reverseLineFeed = line == 1;
    s.carriageReturn = c.plotter.position;
}

// SL [tangent]
void Slant(CommandContext& c) {
    std::span<const double> v;
    if (Attributes(c, v) && v.size() <= 1) c.plotter.labels.slant = v.empty() ? 0 : v[0];
}

// ES [spaces[,lines]]
void ExtraSpace(CommandContext& c) {
    LabelState& s = c.plotter.labels;
    std::span<const double> v;
    if (!Attributes(c, v) || v.size() > 2) return;
    s.extraSpace = v.empty() ? 0 : v[0];
    s.extraLines = v.size() < 2 ? 0 : v[1];
}

// LO [origin]
void LabelOrigin(CommandContext& c) {
    LabelState& s = c.plotter.labels;
    std::span<const double> v;
    if (!Attributes(c, v) || v.size() > 1) return;
    const int origin = v.empty() ? 1 : Integer(v[0]);
    if ((origin >= 1 && origin <= 9) || (origin >= 11 && origin <= 19) || origin == 21) {
        s.origin = origin;
        s.carriageReturn = c.plotter.position;
    }
}

// CP [spaces,lines]: none, a carriage return and a line feed.
void CharacterPlot(CommandContext& c) {
    Plotter& plotter = c.plotter;
    LabelState& s = plotter.labels;
    std::span<const double> v;
    if (!Attributes(c, v) || (!v.empty() && v.size() != 2)) return;
    const LabelGeometry g = LabelLayout(plotter);
    Point to = plotter.position;
    Point returnTo = s.carriageReturn;
    if (v.empty()) {
        const Point feed = g.PhysicalVector(g.lineFeed);
        returnTo = {returnTo.x + feed.x, returnTo.y + feed.y};
        to = returnTo;
    } else {
        // Spaces along the label direction, lines up from it, whatever the text path.
        const double space = g.cell * (1 + s.extraSpace);
        const double line = g.line * (1 + s.extraLines);
        const Point lines{g.up.x * (v[1] * line), g.up.y * (v[1] * line)};
        const Point spaces{g.along.x * (v[0] * space), g.along.y * (v[0] * space)};
        to = {to.x + spaces.x + lines.x, to.y + spaces.y + lines.y};
        returnTo = {returnTo.x + lines.x, returnTo.y + lines.y};
    }
    if (Storable(to) && Storable(returnTo)) {
        plotter.position = to;
        s.carriageReturn = returnTo;
    }
}

// LM [mode[,row]]: modes 1 and 3 read two bytes to a character.
void LabelMode(CommandContext& c) {
    std::span<const double> v;
    if (!Attributes(c, v) || v.size() > 2) return;
    const int mode = v.empty() ? 0 : Integer(v[0]);
    if (mode >= 0 && mode <= 3) c.plotter.labels.twoByte = mode == 1 || mode == 3;
}

// SD, AD [kind,value...]: the symbol set (kind 1) chooses the characters; only spacing,
// pitch and height size the stick font. Without parameters, the default font and set 0.
void FontDefinition(CommandContext& c, LabelFont& font, CharacterSet& set) {
    std::span<const double> v;
    if (!Attributes(c, v)) return;
    if (v.empty()) {
        font = LabelFont{};
        set = CharacterSet::Hpgl(0);
    }
    for (std::size_t i = 0; i + 1 < v.size(); i += 2) {
        const int kind = Integer(v[i]);
        const double value = v[i + 1];
        if (kind == 1) set = CharacterSet::Symbol(Integer(value));
        if (kind == 2 && (value == 0 || value == 1)) font.proportional = value == 1;
        if (kind == 3 && value > 0 && value <= 32767) font.pitch = value;
        if (kind == 4 && value > 0 && value <= 32767) font.height = value;
    }
}

void StandardFont(CommandContext& c) {  // SD
    LabelState& s = c.plotter.labels;
    FontDefinition(c, s.standard, s.sets.standard);
}

void AlternateFont(CommandContext& c) {  // AD
    LabelState& s = c.plotter.labels;
    FontDefinition(c, s.alternate, s.sets.alternate);
}

// CS, CA [set]: an HP-GL character set, 0 without a parameter; a set the plotter does not
// have changes nothing.
void CharacterSetCommand(CommandContext& c, CharacterSet& set) {
    std::span<const double> v;
    if (!Attributes(c, v) || v.size() > 1) return;
    const int number = v.empty() ? 0 : Integer(v[0]);
    if (HasHpglSet(number)) set = CharacterSet::Hpgl(number);
}

void StandardSet(CommandContext& c) { CharacterSetCommand(c, c.plotter.labels.sets.standard); }
void AlternateSet(CommandContext& c) { CharacterSetCommand(c, c.plotter.labels.sets.alternate); }

// SS, SA: which of the two fonts labels are drawn in.
void SelectStandard(CommandContext& c) {
    std::span<const double> v;
    if (Attributes(c, v)) c.plotter.labels.alternateSelected = false;
}

void SelectAlternate(CommandContext& c) {
    std::span<const double> v;
    if (Attributes(c, v)) c.plotter.labels.alternateSelected = true;
}

constexpr CommandRow Rows[] = {
    {Mnemonic('L', 'B'), Label, InPolygonMode},
    {Mnemonic('B', 'L'), BufferLabel, InPolygonMode},
    {Mnemonic('P', 'B'), PrintBuffer, InPolygonMode},
    {Mnemonic('W', 'D'), WriteDisplay, InPolygonMode},
    {Mnemonic('D', 'T'), DefineTerminator, InPolygonMode},
    {Mnemonic('S', 'M'), SymbolMode, InPolygonMode},
    {Mnemonic('S', 'I'), AbsoluteSize, InPolygonMode},
    {Mnemonic('S', 'R'), RelativeSize, InPolygonMode},
    {Mnemonic('D', 'I'), AbsoluteDirection, InPolygonMode},
    {Mnemonic('D', 'R'), RelativeDirection, InPolygonMode},
    {Mnemonic('D', 'V'), TextPath, InPolygonMode},
    {Mnemonic('S', 'L'), Slant, InPolygonMode},
    {Mnemonic('E', 'S'), ExtraSpace, InPolygonMode},
    {Mnemonic('L', 'O'), LabelOrigin, InPolygonMode},
    {Mnemonic('C', 'P'), CharacterPlot, InPolygonMode},
    {Mnemonic('L', 'M'), LabelMode, InPolygonMode},
    {Mnemonic('S', 'D'), StandardFont, InPolygonMode},
    {Mnemonic('A', 'D'), AlternateFont, InPolygonMode},
    {Mnemonic('S', 'S'), SelectStandard, InPolygonMode},
    {Mnemonic('S', 'A'), SelectAlternate, InPolygonMode},
    {Mnemonic('C', 'S'), StandardSet, InPolygonMode},
    {Mnemonic('C', 'A'), AlternateSet, InPolygonMode},
};

}  // namespace

std::span<const CommandRow> LabelCommands() { return Rows; }

}  // namespace kestrel::reader
