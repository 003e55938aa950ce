#pragma once

#include "model/rect.h"

#include <QPoint>
#include <QSize>

#include <vector>

// Where the sorting commands put the elements they move: in rows from the top-left corner of an
// area, left to right, without overlap, around what has to stay free. Pure geometry: no board,
// no widgets.
struct RowLayoutRequest {
    // The extent of each element to place (its cell on the board), in the order they are laid.
    std::vector<QSize> pieces;
    // What stays where it is: the cells of blocks, a part of the view that a window hides. The
    // rows skip them, and nothing placed comes nearer to them than `gap`.
    std::vector<Rect> obstacles;
    // The first row runs along the top edge, each row from the left edge.
    Rect area;
    // Free pixels between two placed pieces and between a piece and an obstacle.
    int gap = 0;
    // Rows may run on below the area, which then only gives the width and the top.
    bool openBelow = false;
    // When not 0, every place lies on a grid of this step from gridOrigin: pieces of that size
    // then take exactly the grid's squares.
    int gridStep = 0;
    QPoint gridOrigin;
};

struct RowLayout {
    bool fits = false;
    // Top-left corner of each piece, in request order; empty when they do not fit.
    std::vector<QPoint> places;
    // The lowest bottom edge of a placed piece (the area's top when there is none).
    int bottom = 0;
};

// Every row is as high as the highest piece, and rows lie `gap` apart. A piece that would touch
// an obstacle moves right past it, to the next row when the row is full.
RowLayout layOutRows(const RowLayoutRequest& request);
