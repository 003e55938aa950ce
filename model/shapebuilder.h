#pragma once

#include "model/cutparameters.h"
#include "model/edges.h"
#include "model/rect.h"

#include <QPolygon>
#include <QRegion>

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

struct Element;

// Joined sides for the trimmed outline, one hexadecimal digit per side.
namespace SideMask {
constexpr int Top = 0x1;
constexpr int Right = 0x10;
constexpr int Bottom = 0x100;
constexpr int Left = 0x1000;
constexpr int All = 0x1111;
constexpr int of(int side) {
    return 1 << (4 * side);
}
} // namespace SideMask

// What an element's shape depends on besides its own edges.
struct ShapeOptions {
    Geometry geometry;
    bool mosaic = false;
    bool threeD = true;

    // The outline band's depth; the bitmap is the cell widened by it.
    int outlineThickness() const { return geometry.bitmapSize - geometry.cellSize; }
    friend bool operator==(const ShapeOptions& a, const ShapeOptions& b) {
        const Geometry &g = a.geometry, &h = b.geometry;
        return a.mosaic == b.mosaic && a.threeD == b.threeD && g.elementSize == h.elementSize &&
               g.knobSize == h.knobSize && g.baseBow == h.baseBow && g.cellSize == h.cellSize &&
               g.bodyOffset == h.bodyOffset && g.bitmapSize == h.bitmapSize && g.neckHalf == h.neckHalf &&
               g.knobStep == h.knobStep;
    }
};

// The pixels whose centres lie inside the ellipse inscribed in the box (right and bottom
// exclusive), one rectangle per scan line. Unlike QRegion::Ellipse it is symmetric, so a knob
// fits the socket built from the same box exactly.
QRegion ellipticRegion(const Rect& box);

// Builds element shapes as regions, in cell coordinates. An element's shape depends only on
// its (already turned) edge signs and shifts, so each distinct profile is built once and then
// shared: regions are implicitly shared, copying one costs a reference.
class ShapeBuilder {
public:
    ShapeBuilder() = default;
    explicit ShapeBuilder(const ShapeOptions& options) : options_(options) {}

    // New options drop every shape built so far.
    void setOptions(const ShapeOptions& options);
    const ShapeOptions& options() const { return options_; }

    // Bounding box of the shape without its outline band.
    Rect shapeBounds(const EdgeRecord& edgeSign) const;
    void computeShapeBounds(Element& element) const;

    // Rebuilds innerRegion and outerRegion from the element's edges. When apply is set, the
    // side mask is not 0 and a destination is given, and only while threeD is on, the
    // destination receives the outer region trimmed on the masked sides; with all four sides
    // masked nothing is written (the caller uses innerRegion).
    void buildShape(Element& element, bool apply = false, int sideMask = 0, QRegion* destination = nullptr);

    // The outer region with the outline band left out on the masked sides (1 to 3 sides).
    QRegion trimmedOuterRegion(const EdgeRecord& edgeSign, const EdgeRecord& edgeShift, int sideMask);

    // The trimmed outline made already for these edges and sides, or null; only reads the builder.
    const QRegion* cachedTrimmed(const EdgeRecord& edgeSign, const EdgeRecord& edgeShift, int sideMask) const;

    // Makes, on every core, each shape and trimmed outline these elements need for their edges
    // and joined sides that is not made yet. Afterwards buildShape and trimmedOuterRegion only
    // read the builder for these elements, so they may run for several elements at once.
    void prepare(const std::vector<Element>& elements);

    // The pieces the shapes are made of, for callers that draw or test them.
    // 20 points of an ordinary element (five per side from the top clockwise), 8 of a mosaic one.
    QPolygon outline(const EdgeRecord& edgeSign, const EdgeRecord& edgeShift) const;
    // The box of an ordinary element's knob head or socket on a side (empty on a straight side).
    Rect knobBox(int side, const EdgeRecord& edgeSign, const EdgeRecord& edgeShift) const;
    // The quarter of the cell (with its band) that belongs to a side, for trimming.
    const QRegion& quarter(int side);

    // The shape at `scale` times its size, for a screen's device pixels: the same outline,
    // knob boxes and band depth, each scaled, then made at the finer pixels. `region` is what
    // the element covers with the sides in `sideMask` joined (as its board region), `picture`
    // where it shows its picture. Only reads the builder.
    struct ScaledShape {
        QRegion region;
        QRegion picture;
    };
    ScaledShape scaledShape(const EdgeRecord& edgeSign, const EdgeRecord& edgeShift, int sideMask,
                            double scale) const;

    int cachedShapes() const { return static_cast<int>(shapes_.size()); }

private:
    struct Shape {
        QRegion inner;
        QRegion outer;
    };

    Shape shapeFor(const EdgeRecord& edgeSign, const EdgeRecord& edgeShift);
    Shape makeShape(const EdgeRecord& edgeSign, const EdgeRecord& edgeShift, double scale = 1.0) const;
    QRegion makeTrimmed(const Shape& shape, int sideMask, const std::array<QRegion, 4>& quarters) const;
    const std::array<QRegion, 4>& quarters();
    QPolygon quarterPolygon(int side) const;

    ShapeOptions options_;
    std::unordered_map<std::uint32_t, Shape> shapes_;
    std::unordered_map<std::uint32_t, QRegion> trimmed_;
    std::array<QRegion, 4> quarters_;
    bool quartersReady_ = false;
};

// The shapes as drawn on a screen of more device pixels than logical ones, so that edges, the
// outline band and the bevel show no stairs there. Shapes are in device pixels from the element's
// device origin (its cell's corner times the ratio, rounded); everything the game computes keeps
// the logical shapes. One shape a profile and joined sides, as the builder keeps them, so the
// count stays bounded; safe to use from the threads that draw tiles.
class DeviceShapes {
public:
    struct Shape {
        QRegion region;  // what the element covers (its board region, finer)
        QRegion picture; // where it shows its picture
    };

    DeviceShapes() = default;
    // A copy keeps the ratio and makes its shapes again as it needs them.
    DeviceShapes(const DeviceShapes& other) : ratio_(other.ratio_) {}
    DeviceShapes& operator=(const DeviceShapes& other);

    // A new ratio drops every shape made for the old one.
    void setRatio(double ratio);
    double ratio() const { return ratio_; }
    // Whether shapes differ from the logical ones at all.
    bool active() const { return ratio_ != 1.0; }

    QPoint origin(const Element& element) const;
    // The element's shape in its present edges and joined sides, made on first use.
    Shape shape(const Element& element, const ShapeBuilder& builder);

    int cachedShapes() const;
    std::int64_t cachedBytes() const;

private:
    double ratio_ = 1.0;
    ShapeOptions options_;
    std::unordered_map<std::uint32_t, Shape> shapes_;
    std::unique_ptr<std::mutex> mutex_ = std::make_unique<std::mutex>();
};
