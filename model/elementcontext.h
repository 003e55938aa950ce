#pragma once

#include <QColor>
#include <QImage>
#include <QRegion>

#include <array>
#include <functional>

struct Element;
class Puzzle;
class ShapeBuilder;

// What turning, shaping and painting an element read besides the element: the puzzle (rows,
// columns, geometry, board regions), a shape builder set up for the puzzle's geometry, the
// picture in its four orientations and the outline colour.
struct ElementContext {
    Puzzle& puzzle;
    ShapeBuilder& shapes;
    const std::array<QImage, 4>& turnedPictures;
    QColor outlineColor;
    // The joining code's separation. While it is empty (generation, where nothing is joined
    // yet) an element is only marked alone.
    std::function<void(int homeIndex)> separateElement;
};

// Turns the element by turn (-1, 0, +1 or 2), rebuilds its shape and bounds, repaints its
// bitmap and separates it from any block. Returns whether the bitmap was painted; when it was
// not, the orientation still follows the edges so that shape and orientation never disagree.
bool prepareElement(ElementContext& context, int homeIndex, int turn);

// The element's joined sides as a SideMask: one digit per side whose joinedNeighbour is set.
int joinedSides(const Element& element);

// The area an element covers for its joined sides, in cell coordinates: the outer region when
// it is joined to nothing (or threeD is off), the inner region when all four sides are joined,
// otherwise the outer region with the band trimmed on the joined sides.
QRegion joinStateRegion(const Element& element, ShapeBuilder& shapes);

// Rebuilds boardRegions[homeIndex] from the element's shape and joined sides (joinStateRegion)
// at its cell position. It reads the join state and changes nothing else.
void placeBoardRegion(Puzzle& puzzle, ShapeBuilder& shapes, int homeIndex);
