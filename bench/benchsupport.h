#pragma once

// Services that do nothing, for running the game's logic without a window.

#include "board/boardhost.h"
#include "board/boardrenderer.h"
#include "board/boardstate.h"
#include "board/interaction.h"
#include "board/interactionhost.h"
#include "board/joiner.h"
#include "model/edges.h"
#include "model/generator.h"
#include "model/randomtables.h"
#include "model/services.h"

#include <QPainter>

#include <algorithm>
#include <numeric>
#include <random>
#include <utility>
#include <vector>

class NullHost : public IBoardHost {
public:
    void invalidate(const QRegion&) override {}
    void invalidateAll() override {}
    void updateNow() override {}
};
class NullSound : public ISound {
public:
    void playWave(int) override {}
    void playFile(const QString&) override {}
    void beep(MessageKind) override {}
};
class NullCursor : public ICursor {
public:
    void pushWait() override {}
    void popWait() override {}
    QPoint position() const override { return {}; }
    void setPosition(const QPoint&) override {}
};
class FixedClock : public IClock {
public:
    std::int64_t nowSeconds() const override { return 1'700'000'017; }
};

// The client area the benchmarks of playing look through.
inline const QSize benchClient(1024, 768);

// Stands in for the main window: collects the invalidated areas within the client area the way
// a widget's update region does, until a paint lets them go.
class BenchWindow : public IInteractionHost {
public:
    QRegion dirty;
    int invalidations = 0;
    QRect hidden; // the part a window over the board hides, none unless a benchmark sets it
    QSize size = benchClient;

    void invalidate(const QRegion& r) override {
        ++invalidations;
        dirty += r.intersected(QRect(QPoint(0, 0), size));
    }
    void invalidateAll() override { dirty = QRegion(QRect(QPoint(0, 0), size)); }
    void updateNow() override {}
    void endMouseCapture() override {}
    bool gameCompleted() const override { return false; }
    void announceCompletion() override {}
    void captureMouse() override {}
    QSize clientSize() const override { return size; }
    QRect hiddenClientArea() const override { return hidden; }
    bool fullScreenMode() const override { return false; }
    bool runCommand(int) override { return true; }
    void hintModeChanged() override {}
    void showHintTip(int, int, QPoint) override {}
};

// A board and what draws and drives it, as the main window holds them, with an image standing
// in for the window.
struct BenchTable {
    BoardState state;
    NullSound sound;
    NullCursor cursor;
    BenchWindow host;
    BoardRenderer renderer{state, host, sound, cursor};
    Joiner joiner{state, sound, host};
    Interaction interaction{state, renderer, joiner, host, sound, cursor};
    QImage window{benchClient, QImage::Format_RGB32};

    // The window on a screen of `ratio` device pixels to a logical one.
    void setDeviceRatio(double ratio) {
        window = QImage((QSizeF(benchClient) * ratio).toSize(), QImage::Format_RGB32);
        window.setDevicePixelRatio(ratio);
        renderer.setDeviceRatio(ratio);
    }

    // What the window's paint handler does with the area invalidated since the last paint.
    void paint() {
        if (!host.dirty.isEmpty()) {
            QPainter p(&window);
            renderer.paint(p, host.dirty);
        }
        host.dirty = QRegion();
    }
    // What the window does while nothing else waits: draws the tiles around the view, a few at
    // a time (a key repeats every 30 ms or so, and a tile takes a few milliseconds).
    void idle(int tiles = 4) {
        for (int k = 0; k < tiles && renderer.prefetch() == 0; ++k) {
        }
    }
};

// Every element of each range of whole columns [first, last] joined to its neighbours in the
// range, the range one block; the elements' places are the caller's.
inline void joinColumnRanges(Puzzle& p, const std::vector<std::pair<int, int>>& columnRanges) {
    for (const auto& [first, last] : columnRanges) {
        std::vector<std::int32_t> members;
        for (int i = 0; i < p.count(); ++i) {
            const int c = p.columnOf(i);
            if (c < first || c > last)
                continue;
            members.push_back(i);
            Element& e = p.element(i);
            for (int side = 0; side < 4; ++side) {
                const int n = p.homeNeighbour(i, side);
                e.joinedNeighbour[side] = n >= 0 && p.columnOf(n) >= first && p.columnOf(n) <= last ? n : -1;
            }
        }
        p.blocks.makeBlock(members);
    }
}

// A game of rows x columns elements of the given size, cut without turns from a striped picture
// and scattered on a square board of their scatter grid, for the benchmarks of playing a big game.
inline void generateStripedGame(BoardState& state, int rows, int columns, int size, QSize screen) {
    state.picture = QImage(columns * size, rows * size, QImage::Format_RGB32);
    QPainter p(&state.picture);
    p.fillRect(state.picture.rect(), QColor(40, 90, 160));
    for (int k = 0; k < columns * size; k += 7)
        p.fillRect(k, 0, 3, rows * size, QColor(k % 255, 200, 50));
    p.end();
    GenerationRequest request;
    request.rows = rows;
    request.columns = columns;
    request.elementSize = size;
    request.cut.rotateElements = 0;
    StandardRandom random;
    FixedClock clock;
    Generator(random, clock).generate(request, state.puzzle, state.shapes, state.settings, nullptr);
    state.background.bitmapBackground = 0;
    const int side = columns * state.puzzle.geometry.bitmapSize + 50;
    state.board.resize(side, side, screen.width(), screen.height());
    state.cut.rotateElements = 0;
}

// A game of rows x columns elements as its saved game holds it, without shapes or board
// regions: edges as generation makes them, turned elements scattered over the scatter grid,
// a shuffled stacking order, and every other row joined in blocks of ten. For the benchmarks of
// saving and of the autosave at counts whose element bitmaps would not fit in memory.
inline void bitmapFreeGame(BoardState& state, int rows, int columns, int size, std::uint32_t seed = 1) {
    const int n = rows * columns;
    Puzzle& p = state.puzzle;
    p.create(rows, columns);
    p.geometry = Geometry::compute(size, false, true, state.settings.outlineThickness);
    state.cut.rotateElements = 1;
    std::mt19937 random(seed);
    std::vector<std::int32_t> signs(2 * std::size_t(n)), shifts(2 * std::size_t(n));
    for (std::size_t k = 0; k < signs.size(); ++k) {
        signs[k] = random() % 2 ? 1 : -1;
        shifts[k] = static_cast<std::int32_t>(random() % 3) - 1;
    }
    const EdgeGrids edges = computeEdgeProfiles(signs, shifts, rows, columns);
    std::vector<int> cells(std::size_t(n), 0);
    std::iota(cells.begin(), cells.end(), 0);
    std::shuffle(cells.begin(), cells.end(), random);
    const int cell = p.geometry.bitmapSize;
    for (int i = 0; i < n; ++i) {
        Element& e = p.element(i);
        e.homeIndex = i;
        e.edgeSign = edges.signs[std::size_t(i)];
        e.edgeShift = edges.shifts[std::size_t(i)];
        const int r = i / columns, c = i % columns;
        const bool joined = r % 2 == 0 && c % 10 != 9 && c + 1 < columns;
        e.orientation = r % 2 == 0 ? 0 : static_cast<int>(random() % 4);
        turnEdgesBy(e.edgeSign, e.orientation);
        turnEdgesBy(e.edgeShift, e.orientation);
        const int place = cells[std::size_t(i)];
        const int left = (place % columns) * cell + p.geometry.bodyOffset;
        const int top = (place / columns) * cell + p.geometry.bodyOffset;
        p.bodyRects[std::size_t(i)] = {left, top, left + size, top + size};
        if (joined) {
            // Joined on its right side to its right-hand neighbour (both unturned).
            e.joinedNeighbour[1] = i + 1;
            p.element(i + 1).joinedNeighbour[3] = i;
            p.blocks.merge(i, i + 1);
        }
    }
    std::iota(p.stackOrder.begin(), p.stackOrder.end(), 0);
    std::shuffle(p.stackOrder.begin(), p.stackOrder.end(), random);
    state.board.boardWidth = columns * cell + 50;
    state.board.boardHeight = rows * cell + 50;
}
