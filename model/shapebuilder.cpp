#include "model/shapebuilder.h"

#include "model/element.h"
#include "model/parallel.h"

#include <QRect>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr std::uint32_t NoKey = 0xFFFFFFFFu;

// Packs the profile into 16 bits; a shift on a straight side shapes nothing and is dropped so
// that such profiles share one shape. Values out of range are built but never cached.
std::uint32_t profileKey(const EdgeRecord& sign, const EdgeRecord& shift) {
    std::uint32_t key = 0;
    for (int side = 0; side < 4; ++side) {
        const int s = sign[side];
        const int h = s == 0 ? 0 : shift[side];
        if (s < -1 || s > 1 || h < -1 || h > 1)
            return NoKey;
        key |= static_cast<std::uint32_t>((s + 1) | ((h + 1) << 2)) << (4 * side);
    }
    return key;
}

// The mask's sides as four bits, top = bit 0.
int maskBits(int sideMask) {
    int bits = 0;
    for (int side = 0; side < 4; ++side) {
        if (sideMask & SideMask::of(side))
            bits |= 1 << side;
    }
    return bits;
}

Rect normalised(int x0, int y0, int x1, int y1) {
    return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

} // namespace

QRegion ellipticRegion(const Rect& box) {
    const std::int64_t w = box.width(), h = box.height();
    if (w <= 0 || h <= 0)
        return {};
    // Twice the offset of a pixel centre from the box centre is an integer, so the test
    // (2dx/w)^2 + (2dy/h)^2 <= 1 is exact in integers.
    const std::int64_t limit = w * w * h * h;
    std::vector<QRect> rects;
    rects.reserve(static_cast<std::size_t>(h));
    for (std::int64_t row = 0; row < h; ++row) {
        const std::int64_t ey = 2 * row + 1 - h;
        const std::int64_t rest = limit - ey * ey * w * w;
        std::int64_t inset = 0;
        while (inset < (w + 1) / 2) {
            const std::int64_t ex = 2 * inset + 1 - w;
            if (ex * ex * h * h <= rest)
                break;
            ++inset;
        }
        if (2 * inset >= w)
            continue;
        const int left = box.left + static_cast<int>(inset);
        const int width = static_cast<int>(w - 2 * inset);
        const int y = box.top + static_cast<int>(row);
        // Rows with equal spans form one rectangle, the canonical banding QRegion keeps.
        if (!rects.empty() && rects.back().left() == left && rects.back().width() == width &&
            rects.back().top() + rects.back().height() == y)
            rects.back().setHeight(rects.back().height() + 1);
        else
            rects.emplace_back(left, y, width, 1);
    }
    QRegion region;
    if (!rects.empty())
        region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

void ShapeBuilder::setOptions(const ShapeOptions& options) {
    if (options == options_)
        return;
    options_ = options;
    shapes_.clear();
    trimmed_.clear();
    quartersReady_ = false;
}

Rect ShapeBuilder::shapeBounds(const EdgeRecord& sign) const {
    const Geometry& g = options_.geometry;
    const int s = g.elementSize, k = g.knobSize, b = g.baseBow;
    // Near sides (top, left) and far sides (right, bottom) by edge kind.
    auto nearSide = [&](int v) {
        if (options_.mosaic)
            return v < 0 ? 0 : b;
        return v > 0 ? 0 : v == 0 ? k : k - b;
    };
    auto farSide = [&](int v) {
        if (options_.mosaic)
            return v < 0 ? s + 2 * b : s + b;
        return v > 0 ? s * 3 / 2 : v == 0 ? s + k : s + k + b;
    };
    return {nearSide(sign[Left]), nearSide(sign[Top]), farSide(sign[Right]), farSide(sign[Bottom])};
}

void ShapeBuilder::computeShapeBounds(Element& element) const {
    element.shapeBounds = shapeBounds(element.edgeSign);
}

QPolygon ShapeBuilder::outline(const EdgeRecord& sign, const EdgeRecord& shift) const {
    const Geometry& g = options_.geometry;
    const int s = g.elementSize, k = g.knobSize, b = g.baseBow, n = g.neckHalf, d = g.knobStep;
    const int t = sign[Top], r = sign[Right], bo = sign[Bottom], l = sign[Left];
    if (options_.mosaic) {
        const int p = b + 2 * k; // the centre of the cell
        const int f = b + s;     // the far side of the body
        return QPolygon({QPoint(b, b), QPoint(p + shift[Top] * d, b + t * b), QPoint(f, b),
                         QPoint(f - r * b, p + shift[Right] * d), QPoint(f, f),
                         QPoint(p - shift[Bottom] * d, f - bo * b), QPoint(b, f),
                         QPoint(b + l * b, p - shift[Left] * d)});
    }
    const int e = s + k;               // the far side of the body
    const int m = 3 * k;               // the centre of the cell
    const int cT = m + shift[Top] * d; // knob centres, shifts clockwise positive
    const int cR = m + shift[Right] * d;
    const int cB = m - shift[Bottom] * d;
    const int cL = m - shift[Left] * d;
    // A knob side pulls the base beside the neck in by b and runs the neck n outward; a socket
    // side does the opposite. The bottom-right corner is the body's corner (e, e).
    return QPolygon({QPoint(k, k),
                     QPoint(cT - d, k + t * b),
                     QPoint(cT - n + 1, k - t * n),
                     QPoint(cT + n - 1, k - t * n),
                     QPoint(cT + d, k + t * b),
                     QPoint(e, k),
                     QPoint(e - r * b, cR - d),
                     QPoint(e + r * n, cR - n + 1),
                     QPoint(e + r * n, cR + n - 1),
                     QPoint(e - r * b, cR + d),
                     QPoint(e, e),
                     QPoint(cB + d, e - bo * b),
                     QPoint(cB + n - 1, e + bo * n),
                     QPoint(cB - n + 1, e + bo * n),
                     QPoint(cB - d, e - bo * b),
                     QPoint(k, e),
                     QPoint(k + l * b, cL + d),
                     QPoint(k - l * n, cL + n - 1),
                     QPoint(k - l * n, cL - n + 1),
                     QPoint(k + l * b, cL - d)});
}

Rect ShapeBuilder::knobBox(int side, const EdgeRecord& sign, const EdgeRecord& shift) const {
    const Geometry& g = options_.geometry;
    const int v = sign[side];
    if (options_.mosaic || v == 0)
        return {};
    const int k = g.knobSize, n = g.neckHalf, d = g.knobStep;
    const int e = g.elementSize + k, m = 3 * k;
    switch (side) {
    case Top: {
        const int c = m + shift[Top] * d;
        return normalised(c - n, k, c + n, k - v * k);
    }
    case Right: {
        const int c = m + shift[Right] * d;
        return normalised(e, c - n, e + v * k, c + n);
    }
    case Bottom: {
        const int c = m - shift[Bottom] * d;
        return normalised(c - n, e, c + n, e + v * k);
    }
    default: {
        const int c = m - shift[Left] * d;
        return normalised(k, c - n, k - v * k, c + n);
    }
    }
}

namespace {

int scaled(int v, double scale) {
    return scale == 1.0 ? v : static_cast<int>(std::lround(v * scale));
}

QPolygon scaled(QPolygon polygon, double scale) {
    if (scale != 1.0)
        for (QPoint& p : polygon)
            p = QPoint(scaled(p.x(), scale), scaled(p.y(), scale));
    return polygon;
}

} // namespace

ShapeBuilder::Shape ShapeBuilder::makeShape(const EdgeRecord& sign, const EdgeRecord& shift,
                                            double scale) const {
    Shape shape;
    shape.inner = QRegion(scaled(outline(sign, shift), scale), Qt::WindingFill);
    if (!options_.mosaic) {
        for (int side = 0; side < 4; ++side) {
            if (sign[side] == 0)
                continue;
            const Rect box = knobBox(side, sign, shift);
            const QRegion head = ellipticRegion({scaled(box.left, scale), scaled(box.top, scale),
                                                 scaled(box.right, scale), scaled(box.bottom, scale)});
            shape.inner = sign[side] > 0 ? shape.inner.united(head) : shape.inner.subtracted(head);
        }
    }
    // The band: the shape moved by (k, k) for k = 0..t, visible below and to the right.
    shape.outer = shape.inner;
    if (options_.threeD) {
        const int thickness = scaled(options_.outlineThickness(), scale);
        for (int k = 0; k < thickness; ++k)
            shape.outer = shape.outer.translated(1, 1).united(shape.inner);
    }
    return shape;
}

ShapeBuilder::ScaledShape ShapeBuilder::scaledShape(const EdgeRecord& sign, const EdgeRecord& shift,
                                                    int sideMask, double scale) const {
    const Shape shape = makeShape(sign, shift, scale);
    sideMask &= SideMask::All;
    if (sideMask == 0 || !options_.threeD)
        return {shape.outer, shape.inner};
    if (sideMask == SideMask::All)
        return {shape.inner, shape.inner};
    std::array<QRegion, 4> quarters;
    for (int side = 0; side < 4; ++side)
        quarters[side] = QRegion(scaled(quarterPolygon(side), scale), Qt::WindingFill);
    return {makeTrimmed(shape, sideMask, quarters), shape.inner};
}

ShapeBuilder::Shape ShapeBuilder::shapeFor(const EdgeRecord& sign, const EdgeRecord& shift) {
    const std::uint32_t key = profileKey(sign, shift);
    if (key == NoKey)
        return makeShape(sign, shift);
    auto it = shapes_.find(key);
    if (it == shapes_.end())
        it = shapes_.emplace(key, makeShape(sign, shift)).first;
    return it->second;
}

void ShapeBuilder::buildShape(Element& element, bool apply, int sideMask, QRegion* destination) {
    const Shape shape = shapeFor(element.edgeSign, element.edgeShift);
    element.innerRegion = shape.inner;
    element.outerRegion = shape.outer;
    sideMask &= SideMask::All;
    if (apply && sideMask != 0 && destination && options_.threeD && sideMask != SideMask::All)
        *destination = trimmedOuterRegion(element.edgeSign, element.edgeShift, sideMask);
}

QPolygon ShapeBuilder::quarterPolygon(int side) const {
    const Geometry& g = options_.geometry;
    const int w = g.bitmapSize, t = options_.outlineThickness();
    // Near side, far side and centre of the body; mosaic cells have the bow in place of the knob.
    const int k = options_.mosaic ? g.baseBow : g.knobSize;
    const int e = options_.mosaic ? g.baseBow + g.elementSize : g.elementSize + g.knobSize;
    const int m = options_.mosaic ? g.baseBow + 2 * g.knobSize : 3 * g.knobSize;
    switch (side) {
    case Top:
        return QPolygon({QPoint(k, 0), QPoint(e, 0), QPoint(e, k), QPoint(m, m), QPoint(k, k)});
    case Right:
        return QPolygon({QPoint(e, k), QPoint(w, k), QPoint(w, e + t), QPoint(e + t, e + t), QPoint(m, m)});
    case Bottom:
        return QPolygon({QPoint(k, e), QPoint(m, m), QPoint(e + t, e + t), QPoint(e + t, w), QPoint(k, w)});
    default:
        return QPolygon({QPoint(0, k), QPoint(k, k), QPoint(m, m), QPoint(k, e), QPoint(0, e)});
    }
}

const std::array<QRegion, 4>& ShapeBuilder::quarters() {
    if (!quartersReady_) {
        for (int s = 0; s < 4; ++s)
            quarters_[s] = QRegion(quarterPolygon(s), Qt::WindingFill);
        quartersReady_ = true;
    }
    return quarters_;
}

const QRegion& ShapeBuilder::quarter(int side) {
    return quarters()[side & 3];
}

QRegion ShapeBuilder::makeTrimmed(const Shape& shape, int sideMask,
                                  const std::array<QRegion, 4>& quarters) const {
    const int bits = maskBits(sideMask);
    if (bits == 0)
        return shape.outer;
    const QRegion band = shape.outer.subtracted(shape.inner);
    QRegion removed;
    if (bits == 1 || bits == 2 || bits == 4 || bits == 8) {
        int side = 0;
        while (!(bits & (1 << side)))
            ++side;
        removed = band.intersected(quarters[side]);
    } else {
        // Two or more joined sides: everything of the band except what lies in the quarters of
        // the free sides, so the corners between joined sides go as well.
        removed = band;
        for (int side = 0; side < 4; ++side) {
            if (!(bits & (1 << side)))
                removed = removed.subtracted(quarters[side]);
        }
    }
    return shape.outer.subtracted(removed);
}

QRegion ShapeBuilder::trimmedOuterRegion(const EdgeRecord& sign, const EdgeRecord& shift, int sideMask) {
    const std::uint32_t key = profileKey(sign, shift);
    const int bits = maskBits(sideMask);
    if (key == NoKey)
        return makeTrimmed(makeShape(sign, shift), sideMask, quarters());
    const std::uint32_t trimmedKey = key | static_cast<std::uint32_t>(bits) << 16;
    auto it = trimmed_.find(trimmedKey);
    if (it == trimmed_.end())
        it = trimmed_.emplace(trimmedKey, makeTrimmed(shapeFor(sign, shift), sideMask, quarters())).first;
    return it->second;
}

const QRegion* ShapeBuilder::cachedTrimmed(const EdgeRecord& sign, const EdgeRecord& shift,
                                           int sideMask) const {
    const std::uint32_t key = profileKey(sign, shift);
    if (key == NoKey)
        return nullptr;
    const auto it = trimmed_.find(key | static_cast<std::uint32_t>(maskBits(sideMask)) << 16);
    return it == trimmed_.end() ? nullptr : &it->second;
}

void ShapeBuilder::prepare(const std::vector<Element>& elements) {
    // The distinct profiles and trimmed outlines missing, each once.
    std::vector<std::uint32_t> missing, missingTrimmed;
    std::vector<std::pair<EdgeRecord, EdgeRecord>> profiles, trimmedProfiles;
    std::vector<int> trimmedMasks;
    std::unordered_map<std::uint32_t, char> seen;
    for (const Element& e : elements) {
        const std::uint32_t key = profileKey(e.edgeSign, e.edgeShift);
        if (key == NoKey)
            continue; // never cached: made anew each time, without touching the builder
        if (!shapes_.count(key) && seen.emplace(key, 0).second) {
            missing.push_back(key);
            profiles.emplace_back(e.edgeSign, e.edgeShift);
        }
        int mask = 0;
        for (int side = 0; side < 4; ++side)
            if (e.joinedNeighbour[side] >= 0)
                mask |= SideMask::of(side);
        if (!options_.threeD || mask == 0 || mask == SideMask::All)
            continue;
        const std::uint32_t trimmedKey = key | static_cast<std::uint32_t>(maskBits(mask)) << 16;
        if (!trimmed_.count(trimmedKey) && seen.emplace(trimmedKey, 1).second) {
            missingTrimmed.push_back(trimmedKey);
            trimmedProfiles.emplace_back(e.edgeSign, e.edgeShift);
            trimmedMasks.push_back(mask);
        }
    }
    quarters(); // the quarters are made once, here, not by two threads at once
    std::vector<Shape> made(missing.size());
    parallelFor(static_cast<int>(missing.size()), 4, [&](int begin, int end, int) {
        for (int k = begin; k < end; ++k)
            made[k] = makeShape(profiles[k].first, profiles[k].second);
    });
    for (std::size_t k = 0; k < missing.size(); ++k)
        shapes_.emplace(missing[k], std::move(made[k]));
    std::vector<QRegion> trims(missingTrimmed.size());
    parallelFor(static_cast<int>(missingTrimmed.size()), 4, [&](int begin, int end, int) {
        for (int k = begin; k < end; ++k) {
            const auto found = shapes_.find(missingTrimmed[k] & 0xFFFFu);
            trims[k] = makeTrimmed(found->second, trimmedMasks[k], quarters_);
        }
    });
    for (std::size_t k = 0; k < missingTrimmed.size(); ++k)
        trimmed_.emplace(missingTrimmed[k], std::move(trims[k]));
}

DeviceShapes& DeviceShapes::operator=(const DeviceShapes& other) {
    if (this != &other) {
        const std::lock_guard lock(*mutex_);
        ratio_ = other.ratio_;
        shapes_.clear();
    }
    return *this;
}

void DeviceShapes::setRatio(double ratio) {
    const std::lock_guard lock(*mutex_);
    if (ratio == ratio_ || !(ratio > 0.0))
        return;
    ratio_ = ratio;
    shapes_.clear();
}

QPoint DeviceShapes::origin(const Element& element) const {
    return QPoint(static_cast<int>(std::lround(element.cellRect.left * ratio_)),
                  static_cast<int>(std::lround(element.cellRect.top * ratio_)));
}

DeviceShapes::Shape DeviceShapes::shape(const Element& element, const ShapeBuilder& builder) {
    int sideMask = 0;
    for (int side = 0; side < 4; ++side)
        if (element.joinedNeighbour[side] != -1)
            sideMask |= SideMask::of(side);
    const std::uint32_t key = profileKey(element.edgeSign, element.edgeShift);
    const auto make = [&] {
        const auto made = builder.scaledShape(element.edgeSign, element.edgeShift, sideMask, ratio_);
        return Shape{made.region, made.picture};
    };
    if (key == NoKey)
        return make();
    // Only the mask's meaning is kept: without the bevel every mask draws the same outline.
    const int bits = builder.options().threeD ? maskBits(sideMask) : 0;
    const std::uint32_t shapeKey = key | static_cast<std::uint32_t>(bits) << 16;
    const std::lock_guard lock(*mutex_);
    if (!(builder.options() == options_)) {
        options_ = builder.options();
        shapes_.clear();
    }
    auto it = shapes_.find(shapeKey);
    if (it == shapes_.end())
        it = shapes_.emplace(shapeKey, make()).first;
    return it->second;
}

int DeviceShapes::cachedShapes() const {
    const std::lock_guard lock(*mutex_);
    return static_cast<int>(shapes_.size());
}

std::int64_t DeviceShapes::cachedBytes() const {
    const std::lock_guard lock(*mutex_);
    std::int64_t bytes = 0;
    for (const auto& [key, shape] : shapes_)
        bytes += (shape.region.rectCount() + shape.picture.rectCount()) * std::int64_t(sizeof(QRect));
    return bytes;
}
