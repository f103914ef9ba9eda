#pragma once

#include <span>

namespace kestrel::reader {

struct Point {
    double x = 0;
    double y = 0;
};

// x' = a x + b y + e, y' = c x + d y + f.
struct Affine {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

    Point Apply(Point p) const { return {a * p.x + b * p.y + e, c * p.x + d * p.y + f}; }
    Point ApplyLinear(Point p) const { return {a * p.x + b * p.y, c * p.x + d * p.y}; }
    // This map followed by `outer`.
    Affine Then(const Affine& outer) const;
};

struct Rect {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

// The plotter's coordinate systems. Physical plotter units (0.025 mm, y up) are what the
// plot store holds. RO turns a "rotated" frame within the hard-clip limits; P1/P2, the
// soft-clip window and scaling live in that frame; user units map onto it through SC.
// Without a PS the plotter is an HP 7475A with ISO A4 paper, whose P1/P2 most older
// files assume when they scale without IP.
class PlotterFrame {
public:
    PlotterFrame() { Initialize(); }

    void Initialize();  // IN: no rotation, default P1/P2, no scaling, no window
    void Defaults();    // DF: no scaling, no window

    // Parameter lists of the commands, in current units where the command takes them;
    // a list of a length the command does not accept is ignored (false).
    bool PlotSize(std::span<const double> p);       // PS length[,width]
    bool Rotate(std::span<const double> p);         // RO [angle]
    bool InputP1P2(std::span<const double> p);      // IP
    bool InputRelative(std::span<const double> p);  // IR (percentages of the hard-clip limits)
    bool Scale(std::span<const double> p);          // SC
    bool InputWindow(std::span<const double> p);    // IW

    const Affine& UserToPhysical() const { return userToPhysical_; }
    bool Scaled() const { return scaled_; }
    // The soft-clip window in physical units, when one is set.
    bool HasWindow() const { return hasWindow_; }
    const Rect& Window() const { return physicalWindow_; }
    // What is drawn is cut to this, in physical units, when Clips(): the soft-clip window
    // within the hard-clip limits of a page PS has set. Without PS the plotter's media is
    // not known, and only a window cuts.
    bool Clips() const { return clips_; }
    const Rect& ClipRect() const { return clip_; }
    int Rotation() const { return rotation_; }
    Point P1() const { return p1_; }
    Point P2() const { return p2_; }
    // Where the rotated frame's origin is on the paper.
    Point Origin() const { return RotatedToPhysical().Apply({0, 0}); }
    // The hard-clip limits in the rotated frame.
    Rect RotatedHardClip() const;

private:
    Affine RotatedToPhysical() const;
    Point ToRotated(Point physical) const;
    void DefaultP1P2();
    void Update();

    double hardX_ = 0, hardY_ = 0;  // hard-clip limits (0,0)..(hardX_, hardY_), physical
    bool pageSet_ = false;          // by PS, which IN keeps
    Point defaultP1_, defaultP2_;   // physical
    int rotation_ = 0;
    Point p1_, p2_;  // rotated frame
    bool scaled_ = false;
    int scaleType_ = 0;
    double scale_[6] = {};  // xmin, xmax|xfactor, ymin, ymax|yfactor, left, bottom
    bool hasWindow_ = false;
    Rect rotatedWindow_;  // in the rotated frame: the window keeps its values under RO
    Rect physicalWindow_;
    Rect clip_;
    bool clips_ = false;
    Affine userToPhysical_;
};

}  // namespace kestrel::reader
