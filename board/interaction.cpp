#include "board/interaction.h"

#include "board/boardrenderer.h"
#include "board/boardstate.h"
#include "board/interactionhost.h"
#include "board/joiner.h"
#include "board/stacking.h"
#include "model/elementcontext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

Interaction::Interaction(BoardState& state, BoardRenderer& renderer, Joiner& joiner, IInteractionHost& host,
                         ISound& sound, ICursor& cursor)
    : state_(state), renderer_(renderer), joiner_(joiner), host_(host), combos_(),
      rotator_(state, joiner, sound, cursor), scroller_(state, host), viewport_(state, host),
      sorter_(state, viewport_, host, sound, cursor), growth_(state, viewport_) {}

QPoint Interaction::toBoard(QPoint client) const {
    return state_.board.toBoard(client);
}

int Interaction::hitTest(QPoint boardPoint) const {
    if (!state_.hasElements())
        return -1;
    DeviceShapes& fine = state_.deviceShapes;
    if (!fine.active())
        return ::hitTest(state_.puzzle, boardPoint);
    // The pointer is known to a logical pixel: the device pixel at its centre decides, by the
    // shape as drawn there.
    const double r = fine.ratio();
    return hitTestDevice(state_.puzzle, state_.shapes, fine,
                         QPoint(static_cast<int>(std::floor((boardPoint.x() + 0.5) * r)),
                                static_cast<int>(std::floor((boardPoint.y() + 0.5) * r))));
}

int Interaction::effectiveWord(int word) const {
    if (!state_.options.leftButtonMovesBlocks)
        return word;
    if (word == combos_.element)
        return combos_.block1;
    if (word == combos_.block1)
        return combos_.element;
    return word;
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
    InputState& in = state_.input;
    if (!in.movingSelection.empty())
        return; // another button while a selection moves changes nothing
    if (in.band.active) {
        // Another press while a rectangle is drawn: the rectangle is given up.
        renderer_.invalidate(QRegion(bandClientRect()));
        in.band.active = false;
    }
    state_.input.lastCursor = toBoard(client);
    const int e = hitTest(state_.input.lastCursor);
    if (in.pickedElement == -1) {
        // A new gesture: its press decides, at the release, whether it was a click.
        in.pressClient = client;
        in.pressWord = word;
        in.pressElement = e;
        in.pressMoved = false;
        in.lastToggled = -1;
    }
    // A second button pressed while holding normally finds the held element again (left, then
    // right, moves the block). Should it find another, the held one is put back first rather
    // than left lifted and invisible.
    if (state_.input.pickedElement != -1 && e != state_.input.pickedElement)
        finishHolding();
    if (e == -1) {
        if (word == KeyState::RightButton && host_.fullScreenMode())
            host_.runCommand(popupMenuCommand);
        else if (word == combos_.element || word == combos_.block1)
            in.band = {true, word == combos_.block1, in.lastCursor, in.lastCursor};
        return;
    }
    host_.captureMouse();
    const int w = effectiveWord(word);
    if (in.selection.contains(e) && !combos_.isSeparate(w) && in.pickedElement == -1) {
        holdSelection(e);
        return;
    }
    Puzzle& p = state_.puzzle;
    if (p.blocks.blockSize(e) == 1) {
        hold(e);
    } else if (combos_.isSeparate(w)) {
        joiner_.separateElement(e);
        placeBoardRegion(state_.puzzle, state_.shapes, e);
        hold(e);
    } else {
        // The block goes to the top at once; it is lifted only when it starts to move.
        state_.input.pickedElement = e;
        state_.input.inReachAtPick = joiner_.partnersInReach(e);
        raiseToTop(p, e, state_.changes);
    }
}

void Interaction::hold(int e) {
    InputState& input = state_.input;
    input.pickedElement = e;
    input.lifted = true;
    input.blockLifted = false;
    input.inReachAtPick = joiner_.partnersInReach(e);
    input.dragClipRegion = state_.board.toClient(state_.puzzle.boardRegions[e]);
    state_.changes.element(e);
    raiseToTop(state_.puzzle, e, state_.changes);
}

void Interaction::holdSelection(int e) {
    Puzzle& p = state_.puzzle;
    InputState& in = state_.input;
    // The selection is made of whole blocks; a member left out all the same moves with its block.
    std::vector<char> moving(p.count(), 0);
    for (const int j : in.selection.elements())
        if (j < p.count() && !moving[j]) // a marked member's block is marked whole
            for (const int m : p.blocks.members(j))
                moving[m] = 1;
    in.movingSelection.clear();
    for (const int j : p.stackOrder)
        if (moving[j])
            in.movingSelection.push_back(j);
    in.moving = std::move(moving);
    // On top as a whole, each in its place among the others.
    raiseAllToTop(p, in.movingSelection, state_.changes);
    in.pickedElement = e;
    in.selectionLifted = false;
}

void Interaction::moveSelection(QPoint client) {
    InputState& in = state_.input;
    const QPoint step = toBoard(client) - in.lastCursor;
    if (step.isNull())
        return;
    Puzzle& p = state_.puzzle;
    if (!in.selectionLifted) {
        // Off the table where they lay; the window draws them above it while they move.
        state_.changes.elements(in.movingSelection);
        in.selectionLifted = true;
        in.lifted = true;
    }
    QRect before;
    for (const int j : in.movingSelection) {
        before |= p.boardRegions.boundingRect(j);
        p.moveElement(j, step.x(), step.y());
    }
    in.lastCursor += step;
    const Board& board = state_.board;
    in.dragClipRegion = board.toClient(p.boardRegions[in.pickedElement]);
    host_.invalidate(QRegion(board.toClient(before)) +
                     QRegion(board.toClient(before.translated(step.x(), step.y()))));
}

bool Interaction::mouseMove(int word, QPoint client) {
    const bool scrolled = drag(word, client);
    renderer_.flush();
    return scrolled;
}

bool Interaction::drag(int word, QPoint client) {
    InputState& in = state_.input;
    if (word & (KeyState::LeftButton | KeyState::RightButton)) {
        const QPoint d = client - in.pressClient;
        if (std::abs(d.x()) > clickSlop || std::abs(d.y()) > clickSlop)
            in.pressMoved = true;
    }
    if (in.band.active) {
        if (word & KeyState::LeftButton)
            updateBand(client);
        return false;
    }
    const DragMode mode = combos_.classify(effectiveWord(word));
    if (mode == DragMode::Hover)
        return scroller_.edgeScroll(client, host_.clientSize());
    if (!state_.hasElements() || state_.input.pickedElement == -1)
        return false;
    if (!in.movingSelection.empty()) {
        moveSelection(client); // a selection moves as one and never joins
        return scrollWhileHolding(client);
    }
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

    if (mode == DragMode::Separate)
        return scrollWhileHolding(client); // a separated element is dragged without snapping
    if (mode == DragMode::Block && p.blocks.blockSize(e) > 1) {
        const std::vector<std::int32_t>& members = p.blocks.members(e);
        if (!input.blockLifted) {
            // The rest of the block leaves the table where it lay; it is not seen until put down.
            input.blockLifted = true;
            state_.changes.elements(members);
        }
        p.moveElements(members, dx, dy, e);
    }
    // What the player holds, as it was before a join makes it part of a larger block.
    const bool blockHeld = mode == DragMode::Block && p.blocks.blockSize(e) > 1;
    std::vector<std::int32_t> held = blockHeld ? p.blocks.members(e) : std::vector<std::int32_t>{e};
    if (joiner_.snap(e)) {
        afterJoin(e, held);
        return false;
    }
    return scrollWhileHolding(client);
}

bool Interaction::scrollWhileHolding(QPoint client) {
    InputState& in = state_.input;
    const QSize clientSize = host_.clientSize();
    // Only in the bands themselves: a pointer that left the window stops the scrolling.
    QPoint direction;
    if (QRect(QPoint(0, 0), clientSize).contains(client) && !viewport_.wholeTableShown())
        direction = scroller_.edgeDirection(client, clientSize);
    const Board& b = state_.board;
    // Held things scroll only into new table: where the view meets the board's edge, or where it
    // already goes on into new table that way.
    const auto runs = [](int way, int run, int scroll, int max) {
        return way != 0 && (run == way || (way < 0 ? scroll == 0 : scroll == max)) ? way : 0;
    };
    in.edgeRun = QPoint(runs(direction.x(), in.edgeRun.x(), b.scrollX, b.maxScrollX),
                        runs(direction.y(), in.edgeRun.y(), b.scrollY, b.maxScrollY));
    if (in.edgeRun.isNull())
        return false;
    const int step = state_.settings.mouseScrollSpeed;
    // A window's width (or height) of new table at a time: growing is far dearer than scrolling.
    const int bitmap = state_.puzzle.geometry.bitmapSize;
    const int aheadX = std::max(2 * bitmap, static_cast<int>(clientSize.width() / b.scale));
    const int aheadY = std::max(2 * bitmap, static_cast<int>(clientSize.height() / b.scale));
    QMargins ahead;
    if (in.edgeRun.x() < 0 && b.scrollX - step < 0)
        ahead.setLeft(aheadX);
    else if (in.edgeRun.x() > 0 && b.scrollX + step > b.maxScrollX)
        ahead.setRight(aheadX);
    if (in.edgeRun.y() < 0 && b.scrollY - step < 0)
        ahead.setTop(aheadY);
    else if (in.edgeRun.y() > 0 && b.scrollY + step > b.maxScrollY)
        ahead.setBottom(aheadY);
    if (!ahead.isNull())
        growth_.grow(ahead);
    if (!scroller_.scrollTo(b.scrollX + in.edgeRun.x() * step, b.scrollY + in.edgeRun.y() * step)) {
        in.edgeRun = QPoint(); // the limit of growth: as far as the table goes
        return false;
    }
    host_.updateNow();
    return true;
}

void Interaction::afterJoin(int e, const std::vector<std::int32_t>& held) {
    Puzzle& p = state_.puzzle;
    Selection& selection = state_.input.selection;
    const std::vector<std::int32_t>& members = p.blocks.members(e);
    if (std::any_of(members.begin(), members.end(), [&](int j) { return selection.contains(j); })) {
        std::vector<std::int32_t> added;
        for (const int j : members)
            if (selection.add(j))
                added.push_back(j);
        invalidateElements(added);
    }
    growth_.growFor(held);
}

void Interaction::buttonUp() {
    release();
    renderer_.flush();
}

void Interaction::release() {
    host_.endMouseCapture();
    InputState& in = state_.input;
    const bool click = !in.pressMoved;
    const int pressed = in.pressElement, pressWord = in.pressWord;
    in.pressElement = -1;
    in.pressWord = 0;
    if (in.band.active) {
        const QRect band = in.band.rect();
        renderer_.invalidate(QRegion(bandClientRect()));
        in.band.active = false;
        if (!click)
            selectInside(band, in.band.adding);
        else if (pressWord == combos_.element)
            clearSelection(); // a click on the empty table
        return;
    }
    if (in.pickedElement != -1)
        finishHolding();
    if (click && pressWord == combos_.block1 && pressed >= 0 && pressed < state_.puzzle.count()) {
        toggleSelected(pressed);
        in.lastToggled = pressed;
    }
}

void Interaction::finishHolding() {
    InputState& in = state_.input;
    const int e = in.pickedElement;
    in.pickedElement = -1;
    in.edgeRun = QPoint();
    in.dragClipRegion = QRegion();
    Puzzle& p = state_.puzzle;
    if (e < 0 || e >= p.count()) {
        in.movingSelection.clear();
        in.moving.clear();
        in.selectionLifted = in.lifted = in.blockLifted = false;
        return;
    }
    if (!in.movingSelection.empty()) {
        // Back on the table where they now lie, on top of everything else as they were raised.
        const std::vector<std::int32_t> moved = std::move(in.movingSelection);
        in.movingSelection.clear();
        in.moving.clear();
        if (in.selectionLifted)
            state_.changes.elements(moved);
        in.selectionLifted = in.lifted = in.blockLifted = false;
        growth_.growFor(moved);
        return;
    }
    // What was off the table is put back where it now lies: the block is on top already.
    if (in.lifted)
        state_.changes.element(e);
    if (in.blockLifted)
        state_.changes.elements(p.blocks.members(e));
    in.lifted = in.blockLifted = false;
    growth_.growFor(p.blocks.members(e));
}

QRect Interaction::bandClientRect() const {
    const InputState& in = state_.input;
    return state_.board.toClient(in.band.rect().adjusted(0, 0, 1, 1)).adjusted(-2, -2, 2, 2);
}

void Interaction::updateBand(QPoint client) {
    InputState& in = state_.input;
    const QRect before = bandClientRect();
    in.band.corner = toBoard(client);
    renderer_.invalidate(QRegion(before) + QRegion(bandClientRect()));
}

void Interaction::invalidateElements(const std::vector<std::int32_t>& elements) {
    if (elements.empty())
        return;
    const Puzzle& p = state_.puzzle;
    BoardRenderer::InvalidationBatch batch(renderer_);
    for (const int j : elements)
        if (j >= 0 && j < p.count())
            renderer_.invalidate(QRegion(state_.board.toClient(p.boardRegions.boundingRect(j))));
}

void Interaction::toggleSelected(int e) {
    Puzzle& p = state_.puzzle;
    if (e < 0 || e >= p.count())
        return;
    Selection& selection = state_.input.selection;
    const std::vector<std::int32_t>& members = p.blocks.members(e);
    const bool select = !selection.contains(e);
    for (const int j : members) {
        if (select)
            selection.add(j);
        else
            selection.remove(j);
    }
    invalidateElements(members);
}

void Interaction::selectInside(const QRect& boardRect, bool adding) {
    const Puzzle& p = state_.puzzle;
    Selection& selection = state_.input.selection;
    std::vector<std::int32_t> changed;
    if (!adding)
        changed = selection.clear();
    const auto inside = [&](int j) { return boardRect.contains(p.boardRegions.boundingRect(j)); };
    for (int i = 0; i < p.count(); ++i) {
        const std::vector<std::int32_t>& members = p.blocks.members(i);
        if (members.front() != i)
            continue; // each block once, by its first member
        if (!std::all_of(members.begin(), members.end(), inside))
            continue;
        for (const int j : members)
            if (selection.add(j))
                changed.push_back(j);
    }
    invalidateElements(changed);
}

void Interaction::clearSelection() {
    invalidateElements(state_.input.selection.clear());
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
    InputState& in = state_.input;
    // The first click of a Ctrl + double click added or removed the block: taken back.
    if ((word & KeyState::Control) && in.lastToggled >= 0)
        toggleSelected(in.lastToggled);
    in.lastToggled = -1;
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
    if (key == Qt::Key_Escape) {
        if (state_.input.band.active) {
            renderer_.invalidate(QRegion(bandClientRect()));
            state_.input.band.active = false;
        }
        clearSelection();
        return;
    }
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
