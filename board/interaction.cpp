#include "board/interaction.h"

#include "board/boardrenderer.h"
#include "board/boardstate.h"
#include "board/interactionhost.h"
#include "board/joiner.h"
#include "board/stacking.h"
#include "model/elementcontext.h"

#include <vector>

Interaction::Interaction(BoardState& state, BoardRenderer& renderer, Joiner& joiner, IInteractionHost& host,
                         ISound& sound, ICursor& cursor)
    : state_(state), renderer_(renderer), joiner_(joiner), host_(host), combos_(),
      rotator_(state, joiner, sound, cursor), scroller_(state, host), viewport_(state, host),
      sorter_(state, viewport_, host, sound, cursor) {}

QPoint Interaction::toBoard(QPoint client) const {
    return state_.board.toBoard(client);
}

int Interaction::hitTest(QPoint boardPoint) const {
    if (!state_.hasElements())
        return -1;
    return ::hitTest(state_.puzzle, boardPoint);
}

void Interaction::leftButtonDown(int word, QPoint client) {
    if (state_.input.hintMode) {
        hintClick(client);
        return;
    }
    pick(word, client);
    renderer_.flush();
}

void Interaction::rightButtonDown(int word, QPoint client) {
    pick(word, client);
    renderer_.flush();
}

void Interaction::pick(int word, QPoint client) {
    state_.input.lastCursor = toBoard(client);
    const int e = hitTest(state_.input.lastCursor);
    // A second button pressed while holding normally finds the held element again (left, then
    // right, moves the block). Should it find another, the held one is put back first rather
    // than left lifted and invisible.
    if (state_.input.pickedElement != -1 && e != state_.input.pickedElement)
        finishHolding();
    if (e == -1) {
        if (word == KeyState::RightButton && host_.fullScreenMode())
            host_.runCommand(popupMenuCommand);
        return;
    }
    host_.captureMouse();
    Puzzle& p = state_.puzzle;
    if (p.blocks.blockSize(e) == 1) {
        hold(e);
    } else if (combos_.isSeparate(word)) {
        joiner_.separateElement(e);
        placeBoardRegion(state_.puzzle, state_.shapes, e);
        hold(e);
    } else {
        // The block goes to the top at once; it is lifted only when it starts to move.
        state_.input.pickedElement = e;
        raiseToTop(p, e, state_.changes);
    }
}

void Interaction::hold(int e) {
    InputState& input = state_.input;
    input.pickedElement = e;
    input.lifted = true;
    input.blockLifted = false;
    input.dragClipRegion = state_.board.toClient(state_.puzzle.boardRegions[e]);
    state_.changes.element(e);
    raiseToTop(state_.puzzle, e, state_.changes);
}

bool Interaction::mouseMove(int word, QPoint client) {
    const DragMode mode = combos_.classify(word);
    if (mode == DragMode::Hover)
        return scroller_.edgeScroll(client, host_.clientSize());
    if (!state_.hasElements() || state_.input.pickedElement == -1)
        return false;
    const int e = state_.input.pickedElement;
    Puzzle& p = state_.puzzle;
    InputState& input = state_.input;
    // The left button alone never moves a block; its press has only raised it.
    if (mode == DragMode::Element && p.blocks.blockSize(e) > 1)
        return false;

    QRegion area = p.boardRegions[e];
    if (mode == DragMode::Separate && p.blocks.blockSize(e) > 1) {
        // Shift or the right button joined in while a block moved: the rest of the block was
        // lifted with it and goes back to the table, or it would stay invisible.
        if (input.blockLifted)
            state_.changes.elements(p.blocks.members(e));
        input.blockLifted = false;
        joiner_.separateElement(e);
        placeBoardRegion(state_.puzzle, state_.shapes, e);
    }
    if (!input.lifted) {
        input.lifted = true;
        state_.changes.element(e);
    }

    const QPoint step = toBoard(client) - input.lastCursor;
    const int dx = step.x(), dy = step.y();
    input.lastCursor += step;
    p.moveElement(e, dx, dy);
    // The held element is drawn above the table by the window: only the window repaints.
    input.dragClipRegion = state_.board.toClient(state_.puzzle.boardRegions[e]);
    host_.invalidate(state_.board.toClient(area).united(input.dragClipRegion));

    if (mode == DragMode::Block && p.blocks.blockSize(e) > 1) {
        const std::vector<std::int32_t>& members = p.blocks.members(e);
        if (!input.blockLifted) {
            // The rest of the block leaves the table where it lay; it is not seen until put down.
            input.blockLifted = true;
            state_.changes.elements(members);
        }
        for (const int j : members)
            if (j != e)
                p.moveElement(j, dx, dy);
    }
    if (mode != DragMode::Separate) // a separated element is dragged without snapping
        joiner_.snap(e);
    renderer_.flush();
    return false;
}

void Interaction::buttonUp() {
    host_.endMouseCapture();
    if (state_.input.pickedElement == -1)
        return;
    finishHolding();
    renderer_.flush();
}

void Interaction::finishHolding() {
    InputState& input = state_.input;
    const int e = input.pickedElement;
    // What was off the table is put back where it now lies: the block is on top already.
    if (e >= 0 && e < state_.puzzle.count()) {
        if (input.lifted)
            state_.changes.element(e);
        if (input.blockLifted)
            state_.changes.elements(state_.puzzle.blocks.members(e));
    }
    input.pickedElement = -1;
    input.lifted = input.blockLifted = false;
    input.dragClipRegion = QRegion();
}

void Interaction::hintClick(QPoint client) {
    state_.input.hintMode = 0;
    host_.hintModeChanged();
    const int i = hitTest(toBoard(client));
    if (i == -1)
        return;
    const int columns = state_.puzzle.columns;
    host_.showHintTip(i / columns + 1, i % columns + 1, client);
}

void Interaction::doubleClick(int word, QPoint client, int blockWord, int t) {
    if (!state_.cut.rotateElements)
        return;
    state_.input.lastCursor = toBoard(client);
    const int e = hitTest(state_.input.lastCursor);
    if (e == -1)
        return;
    if (word == blockWord)
        rotator_.turnBlock(e, t);
    else
        rotator_.turnElement(e, t);
    renderer_.flush();
}

void Interaction::leftDoubleClick(int word, QPoint client) {
    doubleClick(word, client, combos_.turnBlockLeft, -1);
}

void Interaction::rightDoubleClick(int word, QPoint client) {
    doubleClick(word, client, combos_.turnBlockRight, +1);
}

bool Interaction::wheel(int word, int delta) {
    const QSize client = host_.clientSize();
    return wheel(word, delta, QPoint(client.width() / 2, client.height() / 2));
}

bool Interaction::wheel(int word, int delta, QPoint client) {
    if (word & KeyState::Control && !(word & (KeyState::LeftButton | KeyState::RightButton))) {
        viewport_.wheel(delta, QPointF(client) + QPointF(0.5, 0.5));
        return true;
    }
    return scroller_.wheel(word, delta);
}

void Interaction::middleButtonDown(QPoint client) {
    viewport_.middleClick(client);
}

void Interaction::keyDown(int key) {
    if (state_.input.pickedElement != -1)
        return;
    if (scroller_.scrollByKey(key))
        return;
    if (key == Qt::Key_Z) {
        viewport_.toggleWholeTable();
        return;
    }
    if (key == Qt::Key_H)
        startHint();
}

void Interaction::startHint() {
    if (!state_.hasElements() || state_.input.pickedElement != -1)
        return;
    state_.input.hintMode = 1;
    host_.hintModeChanged();
}

bool Interaction::edgesFirst() {
    const bool moved = sorter_.edgesFirst();
    renderer_.flush();
    return moved;
}

bool Interaction::gatherLoose() {
    const bool moved = sorter_.gatherLoose();
    renderer_.flush();
    return moved;
}
