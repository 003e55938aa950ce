#pragma once

#include "board/boardrenderer.h"
#include "board/boardstate.h"
#include "board/interaction.h"
#include "board/interactionhost.h"
#include "board/joiner.h"
#include "board/keystate.h"
#include "model/elementpainter.h"
#include "fakes.h"
#include "model/cutsupport.h"
#include "referencetable.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>
#include <vector>

// Key-state words as the tests press them.
constexpr int L = KeyState::LeftButton;
constexpr int R = KeyState::RightButton;
constexpr int M = KeyState::MiddleButton;
constexpr int Shift = KeyState::Shift;
constexpr int Ctrl = KeyState::Control;

// A cut of rows x columns elements of size 64.
inline CutPlan plan(int rows, int columns) {
    CutPlan p;
    p.rows = rows;
    p.columns = columns;
    p.size = 64;
    return p;
}

// Records what the board asks of its window.
class RecordingInteractionHost : public IInteractionHost {
public:
    struct Tip {
        int row;
        int column;
        QPoint point;
    };

    QRegion invalidated;
    int invalidations = 0;
    int fullInvalidations = 0;
    int updates = 0;
    int captures = 0;
    int captureEnds = 0;
    int completions = 0;
    bool completed = false;
    int hintChanges = 0;
    bool full = false;
    QSize client{800, 600};
    QRect hidden; // a window over the board, in client coordinates
    std::vector<int> commands;
    std::vector<Tip> tips;

    void invalidate(const QRegion& r) override {
        ++invalidations;
        invalidated += r;
    }
    void invalidateAll() override { ++fullInvalidations; }
    void updateNow() override { ++updates; }
    void endMouseCapture() override { ++captureEnds; }
    bool gameCompleted() const override { return completed; }
    void announceCompletion() override {
        ++completions;
        completed = true; // as the game flow does
    }
    void captureMouse() override { ++captures; }
    QSize clientSize() const override { return client; }
    QRect hiddenClientArea() const override { return hidden; }
    bool fullScreenMode() const override { return full; }
    bool runCommand(int id) override {
        commands.push_back(id);
        return true;
    }
    void hintModeChanged() override { ++hintChanges; }
    void showHintTip(int row, int column, QPoint point) override { tips.push_back({row, column, point}); }
    void clearInvalidations() {
        invalidated = QRegion();
        invalidations = fullInvalidations = updates = 0;
    }
};

// A puzzle cut from a generated picture, on a board with a window that records, and the
// interaction driving it. Elements start far apart; tests place them. Points are board points,
// which are client points while the view is not scrolled.
class BoardFixture {
public:
    static constexpr int boardWidth = 1800;
    static constexpr int boardHeight = 1400;

    BoardState state;
    FakeSound sound;
    FakeCursor cursor;
    RecordingInteractionHost host;
    BoardRenderer renderer{state, host, sound, cursor};
    Joiner joiner{state, sound, host};
    Interaction interaction{state, renderer, joiner, host, sound, cursor};

    explicit BoardFixture(const CutPlan& plan, bool exact = false, const std::vector<int>& turns = {}) {
        auto cut = makeCut(plan, true, turns);
        state.puzzle = std::move(cut->puzzle);
        state.shapes = std::move(cut->shapes);
        state.picture = cut->pictures[0];
        state.settings.outlineColor = cut->outlineColour;
        state.settings.threeD = plan.threeD ? 1 : 0;
        state.settings.outlineThickness = plan.threeD ? plan.outline : 0;
        state.settings.exactAssembly = exact ? 1 : 0;
        state.cut.rotateElements = 1;
        state.background.bitmapBackground = 0;
        state.board.resize(boardWidth, boardHeight, 1024, 768);
        placeAllApart();
        renderer.redrawBoard({.clearBackground = true});
        host.clearInvalidations();
    }

    Puzzle& puzzle() { return state.puzzle; }
    Element& element(int i) { return state.puzzle.element(i); }
    int S() const { return state.puzzle.geometry.elementSize; }
    int count() const { return state.puzzle.count(); }
    QPoint body(int i) const {
        const Rect& b = state.puzzle.bodyRects[i];
        return {b.left, b.top};
    }

    // Moves an element so that its body's top-left corner is at p, region included.
    void placeBody(int i, QPoint p) {
        const Geometry& g = state.puzzle.geometry;
        const int left = p.x() - g.bodyOffset, top = p.y() - g.bodyOffset;
        state.puzzle.setCellRect(i, Rect{left, top, left + g.bitmapSize, top + g.bitmapSize});
        renderer.placeBoardRegion(i);
    }

    // Every element on a grid twice as wide as an element: nothing is within reach of anything.
    void placeAllApart() {
        const int step = 2 * state.puzzle.geometry.bitmapSize;
        const int perRow = std::max(1, (boardWidth - 40) / step);
        for (int i = 0; i < count(); ++i)
            placeBody(i, QPoint(40 + (i % perRow) * step, 40 + (i / perRow) * step));
    }

    // Where element i's body lies when the picture, turned by `orientation` counter-clockwise
    // quarter turns, is laid out from `origin`.
    QPoint turnedHome(int i, int orientation, QPoint origin = QPoint(700, 900)) const {
        const Puzzle& p = state.puzzle;
        const int r = p.rowOf(i), c = p.columnOf(i), rows = p.rows, columns = p.columns;
        int x = c, y = r;
        switch (orientation) {
        case 1:
            x = r, y = columns - 1 - c;
            break;
        case 2:
            x = columns - 1 - c, y = rows - 1 - r;
            break;
        case 3:
            x = rows - 1 - r, y = c;
            break;
        default:
            break;
        }
        return origin + QPoint(x * S(), y * S());
    }
    QPoint home(int i, QPoint origin = QPoint(700, 900)) const { return turnedHome(i, 0, origin); }

    // A board point where element i is the topmost element: its body centre if free, else the
    // first such pixel found.
    QPoint grabPoint(int i) const {
        const Puzzle& p = state.puzzle;
        QRegion covered;
        for (const int j : p.stackOrder) {
            if (j == i)
                break;
            covered += p.boardRegions[j];
        }
        const QRegion free = p.boardRegions[i].subtracted(covered);
        const Rect& b = p.bodyRects[i];
        const QPoint centre((b.left + b.right) / 2, (b.top + b.bottom) / 2);
        if (free.contains(centre))
            return centre;
        for (const QRect& r : free)
            return r.center();
        return centre;
    }

    void press(int word, QPoint p) {
        if (word & KeyState::LeftButton && !(word & KeyState::RightButton))
            interaction.leftButtonDown(word, p);
        else
            interaction.rightButtonDown(word, p);
    }

    // Picks element i with the given word, moves the cursor by `by` in one step and lets go.
    void drag(int word, int i, QPoint by) {
        const QPoint p = grabPoint(i);
        press(word, p);
        interaction.mouseMove(word, p + by);
        interaction.buttonUp();
    }
    // Drags element i (with a block word: its block) so its body lands at target.
    void dragTo(int word, int i, QPoint target) { drag(word, i, target - body(i)); }

    bool joinedTo(int a, int side, int b) {
        return element(a).joinedNeighbour[side] == b && element(b).joinedNeighbour[(side + 2) % 4] == a;
    }
    std::vector<std::int32_t> members(int i) { return state.puzzle.blocks.members(i); }
    bool isAlone(int i) {
        const Element& e = element(i);
        return state.puzzle.blocks.blockSize(i) == 1 && e.alone() &&
               e.joinedNeighbour == std::array<std::int32_t, 4>{-1, -1, -1, -1};
    }
    // The table at 100 % inside a board rectangle under the hand: what the window shows there
    // but the held element.
    QImage boardPixels(const QRect& r) { return renderer.boardImage(r, false); }
    QRgb boardPixel(QPoint p) { return boardPixels(QRect(p, QSize(1, 1))).pixel(0, 0); }
    // Element i's look at 100 % as the element painter draws it from the one picture.
    QImage lookOf(int i) {
        const int size = state.puzzle.geometry.bitmapSize;
        QImage look(size, size, QImage::Format_RGB32);
        paintElementBitmap(look, element(i), state.puzzle, state.picture, state.settings.outlineColor);
        return look;
    }
    // Element i's look at 100 %, drawn the plain way from the picture turned as it is.
    QImage bitmapOf(int i) {
        if (turns_[0].isNull())
            turns_ = referenceTurns(state.picture);
        return referenceBitmap(element(i), state.puzzle, turns_, state.settings.outlineColor);
    }

    // The joins as a set of pairs (lower index first), checked for symmetry on the way.
    std::set<std::pair<int, int>> joins() {
        std::set<std::pair<int, int>> result;
        for (int i = 0; i < count(); ++i)
            for (int side = 0; side < 4; ++side) {
                const int n = element(i).joinedNeighbour[side];
                if (n < 0)
                    continue;
                EXPECT_EQ(element(n).joinedNeighbour[(side + 2) % 4], i) << i << " side " << side;
                result.insert({std::min(i, n), std::max(i, n)});
            }
        return result;
    }

private:
    std::array<QImage, 4> turns_;
};

// Checks the table the window shows at 100 % against the table drawn the plain way (every
// element a bitmap of its own copied through its board region, bottom to top): every pixel.
inline void expectBoardShowsElements(BoardState& s, BoardRenderer& renderer, const char* where) {
    const QImage shown = renderer.boardImage(s.board.rect());
    const QImage expected = referenceBoard(s);
    int wrong = 0;
    for (int y = 0; y < shown.height() && wrong < 5; ++y)
        for (int x = 0; x < shown.width() && wrong < 5; ++x)
            if (shown.pixel(x, y) != expected.pixel(x, y)) {
                ADD_FAILURE() << where << ": wrong at " << x << "," << y;
                ++wrong;
            }
}

inline void expectBoardShowsElements(BoardFixture& f, const char* where) {
    expectBoardShowsElements(f.state, f.renderer, where);
}

// The partition of 0..n-1 into the connected parts of a set of joins.
inline std::vector<std::set<int>> componentsOf(int n, const std::set<std::pair<int, int>>& joins) {
    std::vector<int> parent(n);
    for (int i = 0; i < n; ++i)
        parent[i] = i;
    auto find = [&](int x) {
        while (parent[x] != x)
            x = parent[x] = parent[parent[x]];
        return x;
    };
    for (const auto& [a, b] : joins)
        parent[find(a)] = find(b);
    std::map<int, std::set<int>> parts;
    for (int i = 0; i < n; ++i)
        parts[find(i)].insert(i);
    std::vector<std::set<int>> result;
    for (auto& [root, part] : parts)
        result.push_back(part);
    return result;
}
