#pragma once

#include "fakes.h"
#include "model/edges.h"
#include "model/elementcontext.h"
#include "model/puzzle.h"
#include "model/randomtables.h"
#include "model/shapebuilder.h"

#include <QImage>
#include <QRegion>

#include <array>
#include <memory>
#include <vector>

// A whole cut made the way generation makes it, with every element at its home place.
struct CutPlan {
    int rows = 4;
    int columns = 5;
    int size = 64;
    bool mosaic = false;
    bool irregularBase = true;
    bool shiftKnobs = true;
    bool threeD = true;
    int outline = 4;
    int second = 17; // the clock's seconds field seeds the tables
};

// A picture whose every pixel names its own coordinates, so tests can tell where a copied
// pixel came from.
inline QRgb coordinateColour(int x, int y) {
    return qRgb(x & 0xFF, y & 0xFF, ((x >> 8) & 0xF) | ((y >> 8) << 4));
}

inline QImage coordinatePicture(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, coordinateColour(x, y));
    return picture;
}

// A quarter turn counter-clockwise, written out pixel by pixel: (x, y) goes to (y, w - 1 - x).
inline QImage turnedCounterClockwise(const QImage& picture) {
    QImage turned(picture.height(), picture.width(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            turned.setPixel(y, picture.width() - 1 - x, picture.pixel(x, y));
    return turned;
}

struct TestCut {
    CutPlan plan;
    Puzzle puzzle;
    ShapeBuilder shapes;
    // The cut picture (entry 0) and, for checking what is drawn, its turns written out pixel by
    // pixel: entry k is the picture turned k quarter turns counter-clockwise.
    std::array<QImage, 4> pictures;
    QColor outlineColour{128, 128, 128};

    ElementContext context() { return ElementContext{puzzle, shapes, {}}; }

    // The element's cell origin when its body sits at its place in the picture.
    QPoint homeOrigin(int i) const {
        const Geometry& g = puzzle.geometry;
        return {puzzle.columnOf(i) * g.elementSize - g.bodyOffset,
                puzzle.rowOf(i) * g.elementSize - g.bodyOffset};
    }
};

inline std::unique_ptr<TestCut> makeCut(const CutPlan& plan, bool withPictures = false,
                                        const std::vector<int>& turns = {}) {
    auto cut = std::make_unique<TestCut>();
    cut->plan = plan;
    const int n = plan.rows * plan.columns;
    const int t = plan.threeD ? plan.outline : 0;
    cut->puzzle.create(plan.rows, plan.columns);
    cut->puzzle.geometry = Geometry::compute(plan.size, plan.mosaic, plan.irregularBase, t);
    cut->shapes.setOptions(ShapeOptions{cut->puzzle.geometry, plan.mosaic, plan.threeD});

    FakeClock clock;
    clock.seconds = 1'700'000'000 - 1'700'000'000 % 60 + plan.second;
    StandardRandom random;
    std::vector<std::int32_t> signs(2 * n), shifts(2 * n, 0);
    fillRandomTable(signs, RandomTableKind::EdgeSigns, plan.columns, random, clock);
    if (plan.shiftKnobs)
        fillRandomTable(shifts, RandomTableKind::KnobShifts, plan.columns, random, clock);
    const EdgeGrids grids = computeEdgeProfiles(signs, shifts, plan.rows, plan.columns);

    if (withPictures) {
        cut->pictures[0] = coordinatePicture(plan.columns * plan.size, plan.rows * plan.size);
        for (int k = 1; k < 4; ++k)
            cut->pictures[k] = turnedCounterClockwise(cut->pictures[k - 1]);
    }
    ElementContext context = cut->context();
    for (int i = 0; i < n; ++i) {
        Element& e = cut->puzzle.element(i);
        e.edgeSign = grids.signs[i];
        e.edgeShift = grids.shifts[i];
        const QPoint o = cut->homeOrigin(i);
        const int b = cut->puzzle.geometry.bitmapSize;
        cut->puzzle.setCellRect(i, Rect{o.x(), o.y(), o.x() + b, o.y() + b});
        if (withPictures) {
            prepareElement(context, i, turns.empty() ? 0 : turns[i]);
        } else {
            turnEdgesBy(e.edgeSign, turns.empty() ? 0 : turns[i]);
            turnEdgesBy(e.edgeShift, turns.empty() ? 0 : turns[i]);
            e.orientation = turnedOrientation(0, turns.empty() ? 0 : turns[i]);
            cut->shapes.buildShape(e);
            cut->shapes.computeShapeBounds(e);
        }
    }
    return cut;
}

// Number of pixels of a region.
inline long long pixelCount(const QRegion& region) {
    long long count = 0;
    for (const QRect& r : region)
        count += static_cast<long long>(r.width()) * r.height();
    return count;
}

inline bool samePixels(const QRegion& a, const QRegion& b) {
    return a.xored(b).isEmpty();
}
