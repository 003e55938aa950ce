#include "game/settingschoice.h"

#include "board/boardstate.h"
#include "model/services.h"

namespace {

// Sizes every element to the current bitmapSize and rebuilds its shapes for the current bevel.
void resizeElements(BoardState& state, ICursor& cursor) {
    Puzzle& puzzle = state.puzzle;
    Geometry& g = puzzle.geometry;
    g.setOutlineThickness(state.settings.outlineThickness);
    ShapeOptions options = state.shapes.options();
    options.geometry = g;
    options.threeD = state.settings.threeD != 0;
    state.shapes.setOptions(options);
    if (!state.hasElements())
        return;
    const WaitCursor wait(cursor);
    for (int i = 0; i < puzzle.count(); ++i) {
        Element& e = puzzle.element(i);
        e.cellRect.right = e.cellRect.left + g.bitmapSize;
        e.cellRect.bottom = e.cellRect.top + g.bitmapSize;
        // The outer region carries the band; the join regions are chosen from it on redraw.
        state.shapes.buildShape(e);
    }
}

} // namespace

SettingsChoice SettingsChoice::from(const Settings& s) {
    SettingsChoice c;
    c.outlineThickness = s.outlineThickness;
    c.captureArea = s.captureArea;
    c.scrollArea = s.scrollArea;
    c.mouseScrollSpeed = s.mouseScrollSpeed;
    c.keyScrollSpeed = s.keyScrollSpeed;
    c.threeD = s.threeD;
    c.scrollEnabled = s.scrollEnabled;
    c.showTimer = s.showTimer;
    c.exactAssembly = s.exactAssembly;
    return c;
}

SettingsChoice::Outcome SettingsChoice::apply(BoardState& state, ICursor& cursor) const {
    Settings& s = state.settings;
    Outcome outcome;
    s.threeD = threeD ? 1 : 0;
    if (!s.threeD) {
        if (s.outlineThickness != 0) {
            outcome.redraw = true;
            s.outlineThickness = 0;
            // Without the band the bitmaps shrink to the cell, as generation would make them;
            // otherwise bitmapSize and every cellRect would disagree with the thickness.
            resizeElements(state, cursor);
        }
    } else if (outlineThickness != s.outlineThickness) {
        outcome.redraw = true;
        s.outlineThickness = outlineThickness;
        resizeElements(state, cursor);
    }
    s.captureArea = captureArea;
    s.scrollArea = scrollArea;
    s.mouseScrollSpeed = mouseScrollSpeed;
    s.keyScrollSpeed = keyScrollSpeed;
    s.scrollEnabled = scrollEnabled;
    s.exactAssembly = exactAssembly;
    if ((showTimer ? 1 : 0) != s.showTimer) {
        s.showTimer = showTimer ? 1 : 0;
        outcome.clockVisibilityChanged = true;
    }
    return outcome;
}
