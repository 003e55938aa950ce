#pragma once

#include <QColor>
#include <QImage>

#include <cstdint>
#include <unordered_map>

class QPainter;
class QRegion;
struct BoardState;

// The selection as the window shows it, painted over the drawn table from the interaction's state
// alone, never into what the view keeps drawn: every selected element tinted and outlined, a ghost of each
// element of a held selection whose picture is not drawn while it moves, and the rectangle being
// drawn on the table.
class SelectionOverlay {
public:
    // Over the element's picture: light enough to see the picture through.
    static constexpr QColor tint{30, 130, 255, 90};
    // Where no picture of a moving element is drawn.
    static constexpr QColor ghost{40, 140, 255, 200};
    // Along the edge of each selected element, seen on any picture: a light rim, a dark line within.
    static constexpr QColor edgeDark{10, 60, 170, 255};
    static constexpr QColor edgeLight{255, 255, 255, 230};
    static constexpr QColor bandFill{40, 140, 255, 50};
    static constexpr QColor bandEdge{20, 90, 220, 255};
    // Zoomed out further an element is a few pixels: its body square stands for its shape.
    static constexpr double shapeScale = 0.5;

    // `picturesDrawn`: the moving elements of a held selection were drawn with their pictures.
    void paint(QPainter& painter, const BoardState& state, const QRegion& clientArea,
               bool picturesDrawn) const;

private:
    // The highlight of one shape (element i's region relative to its cell) at the present scale,
    // painted once: drawing it is a copy, where filling and stroking the shape anew for every
    // element at every paint would cost far more than the board itself.
    const QImage& stamp(const BoardState& state, int i, bool ghost) const;

    mutable std::unordered_map<std::uint64_t, QImage> stamps_;
    mutable double stampScale_ = 0;
};
