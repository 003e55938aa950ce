#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the floating picture window goes and how big it is. Sizes are of the whole window,
// its sizing border included, as the window manager sees it.
class PreviewLayout {
public:
    // Created hidden at a third of the screen from the top-left corner, a third of it in size.
    static QRect initialGeometry(QSize screen);

    // The size shown by the show command: the picture's proportions, its longer side limited to a
    // third of the screen's matching side, never enlarged. Empty for a picture without pixels.
    static QSize shownSize(int pictureWidth, int pictureHeight, QSize screen);
    // The shown size placed with its right edge on the client area's right edge and its top on
    // the client area's top (both in screen coordinates).
    static QRect shownGeometry(const QRect& clientOnScreen, int pictureWidth, int pictureHeight,
                               QSize screen);

    // After the cut the window keeps its left, top and width and takes the picture's new
    // proportions: nearest(width / (pictureWidth / pictureHeight)). A picture without pixels
    // leaves the height as it is.
    static int fittedHeight(int width, int currentHeight, int pictureWidth, int pictureHeight);

    // Which edges of the sizing border lie under a point of the window (none inside it). Near a
    // corner (within `corner` pixels along an edge) both edges are taken.
    static Qt::Edges edgesAt(QPoint pos, QSize size, int border, int corner);
    // The geometry after dragging the given edges by delta from start. The edges that are not
    // dragged stay where they are, also when the minimum size stops the drag.
    static QRect resized(const QRect& start, Qt::Edges edges, QPoint delta, QSize minimum);
};
