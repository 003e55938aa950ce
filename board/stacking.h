#pragma once

#include <QPoint>

#include <cstdint>
#include <vector>

class BoardChanges;
class DeviceShapes;
class ShapeBuilder;
class Puzzle;

// The stacking order of the board: entry 0 is the topmost element. Raising reports the
// elements whose place in it shows.

// The topmost element whose board region holds the board point, -1 if none does.
int hitTest(const Puzzle& puzzle, QPoint boardPoint);
// The element on top at device pixel `device` of the table at the device shapes' ratio (board
// point times the ratio), by the shapes as drawn there; -1 where none is.
int hitTestDevice(const Puzzle& puzzle, const ShapeBuilder& shapes, DeviceShapes& deviceShapes,
                  QPoint device);

// Moves an alone element to the top. A block goes to the top as a whole, its members in
// descending homeIndex order above every non-member (non-members keep their order), which is
// what raising the members one by one in ascending order gives. After raising a block of every
// element the order reads n-1, ..., 0, which the completion test relies on.
void raiseToTop(Puzzle& puzzle, int e, BoardChanges& changes);

// Puts the given elements on top in the given order (the first topmost); every other element
// keeps its order below them.
void raiseAllToTop(Puzzle& puzzle, const std::vector<std::int32_t>& elements, BoardChanges& changes);
