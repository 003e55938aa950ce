#pragma once

#include <QRegion>

#include <functional>

class IProgress;
struct Element;
class Puzzle;
class ShapeBuilder;

// What turning and shaping an element read besides the element: the puzzle (rows, columns,
// geometry, board regions) and a shape builder set up for the puzzle's geometry.
struct ElementContext {
    Puzzle& puzzle;
    ShapeBuilder& shapes;
    // The joining code's separation. While it is empty (generation, where nothing is joined
    // yet) the element's joins are only dropped.
    std::function<void(int homeIndex)> separateElement;
};

// Turns the element by turn (-1, 0, +1 or 2): its edges and its orientation (which always
// follow each other), its shape and bounds; and separates it from any block. Nothing is
// painted: the element is drawn from the picture as it now lies whenever it is shown.
void prepareElement(ElementContext& context, int homeIndex, int turn);

// The element's joined sides as a SideMask: one digit per side whose joinedNeighbour is set.
int joinedSides(const Element& element);

// The area an element covers for its joined sides, in cell coordinates: the outer region when
// it is joined to nothing (or threeD is off), the inner region when all four sides are joined,
// otherwise the outer region with the band trimmed on the joined sides.
QRegion joinStateRegion(const Element& element, ShapeBuilder& shapes);

// Rebuilds boardRegions[homeIndex] from the element's shape and joined sides (joinStateRegion)
// at its cell position. It reads the join state and changes nothing else.
void placeBoardRegion(Puzzle& puzzle, ShapeBuilder& shapes, int homeIndex);

// Gives every element of the puzzle, whose records (places, edges, turns, joins) are filled,
// its shape, its shape bounds and its board region: what creating a game and loading one both
// do. The distinct shapes are made first, then the elements are shaped on every core.
// `progress` (may be null) learns how many elements are done, on the calling thread.
void buildElements(Puzzle& puzzle, ShapeBuilder& shapes, const std::function<void(int done)>& progress = {});
