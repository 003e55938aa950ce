#pragma once

#include <QColor>

class QPainter;
class QRegion;
struct BoardState;

// The selection as the window shows it, painted over the board copy from the interaction's state
// alone, never into the board bitmap: a tint over every selected element, a ghost of each
// element of a held selection whose picture is not drawn while it moves, and the rectangle being
// drawn on the table.
namespace SelectionOverlay {
// Over the element's picture: light enough to see the picture through, on any of them.
constexpr QColor tint{40, 140, 255, 110};
// Where no picture of a moving element is drawn.
constexpr QColor ghost{40, 140, 255, 200};
constexpr QColor bandFill{40, 140, 255, 50};
constexpr QColor bandEdge{20, 90, 220, 255};

// `picturesDrawn`: the moving elements of a held selection were drawn with their pictures.
void paint(QPainter& painter, const BoardState& state, const QRegion& clientArea, bool picturesDrawn);
} // namespace SelectionOverlay
