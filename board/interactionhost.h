#pragma once

#include "board/boardhost.h"
#include "board/joiner.h"

#include <QPoint>
#include <QRect>
#include <QSize>

// Everything picking, dragging, turning, scrolling and the hint need from the main window. The
// main frame implements it; tests record the calls.
class IInteractionHost : public IBoardHost, public IJoinHost {
public:
    // Holding starts: further mouse messages go to the board whatever the cursor crosses.
    virtual void captureMouse() = 0;
    // Size of the client area, for the edge bands.
    virtual QSize clientSize() const = 0;
    // The part of the client area a window over the board hides (the clock), empty when none.
    virtual QRect hiddenClientArea() const { return {}; }
    virtual bool fullScreenMode() const = 0;
    // Runs a command of the command table (the popup menu of full-screen mode); false when its
    // rule did not let it run.
    virtual bool runCommand(int id) = 0;
    // hintMode changed: the cursor over the board follows it.
    virtual void hintModeChanged() = 0;
    // Opens the hint tip for the element's true place (1-based) at the cursor (client point),
    // and returns when it has closed.
    virtual void showHintTip(int row, int column, QPoint clientPoint) = 0;
};
