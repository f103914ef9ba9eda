#pragma once

#include <span>
#include <vector>

#include "reader/plotter.h"

namespace kestrel::reader {

// The commands that draw shapes or set how lines and areas are drawn, each given its
// parameters as numbers. A parameter list the command does not take leaves everything as
// it was.
class ShapeCommands {
public:
    explicit ShapeCommands(Plotter& plotter) : p_(plotter) {}

    // Arcs and curves, drawn with the pen up or down as it is, leaving the pen at their end.
    void ArcAbsolute(std::span<const double> p);               // AA x,y,sweep[,chord]
    void ArcRelative(std::span<const double> p);               // AR dx,dy,sweep[,chord]
    void ArcThreePointAbsolute(std::span<const double> p);     // AT xi,yi,xe,ye[,chord]
    void ArcThreePointRelative(std::span<const double> p);     // RT
    void Bezier(bool relative, std::span<const double, 6> p);  // one curve of BZ or BR

    // Shapes with a pen down of their own; the pen ends where and as it was.
    void Circle(std::span<const double> p);                        // CI radius[,chord]
    void EdgeRectangle(bool relative, std::span<const double> p);  // EA, ER
    void FillRectangle(bool relative, std::span<const double> p);  // RA, RR
    void EdgeWedge(std::span<const double> p);                     // EW radius,start,sweep[,chord]
    void FillWedge(std::span<const double> p);                     // WG

    void PolygonMode(std::span<const double> p);  // PM [0|1|2]
    void EdgePolygon(std::span<const double> p);  // EP
    void FillPolygon(std::span<const double> p);  // FP [0 even-odd | 1 non-zero]

    void FillType(std::span<const double> p);        // FT [type[,spacing[,angle]]]
    void AnchorCorner(std::span<const double> p);    // AC [x,y]
    void PenThickness(std::span<const double> p);    // PT [mm]
    void ChordTolerance(std::span<const double> p);  // CT [0|1]
    void LineType(std::span<const double> p);        // LT
    void UserLineType(std::span<const double> p);    // UL
    void PenWidth(std::span<const double> p);        // PW
    void WidthUnit(std::span<const double> p);       // WU
    void PenColour(std::span<const double> p);       // PC
    void PenCount(std::span<const double> p);        // NP
    void ColourRange(std::span<const double> p);     // CR

private:
    bool UserPosition(Point& user) const;
    // How many of `n` chords the budget pays for: all, or what is left, at least one.
    int Afford(int n);
    void ArcAbout(Point centre, Point start, double sweep, double chord);
    void ArcThrough(Point middle, Point end, double chord);
    // The wedge's outline in physical units: centre, arc, centre.
    bool Wedge(std::span<const double> p, std::vector<Point>& outline);
    bool Rectangle(bool relative, std::span<const double> p, std::vector<Point>& outline);
    // Draws a closed outline in the current line type whatever the pen's state.
    void Outline(const std::vector<Point>& outline);
    void Fill(bool nonZero);

    Plotter& p_;
};

}  // namespace kestrel::reader
