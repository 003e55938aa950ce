#include "board/rowlayout.h"
#include "board/sorter.h"
#include "boardfixture.h"

#include <QRandomGenerator>

#include <algorithm>
#include <ostream>
#include <set>

namespace {

// A table to sort: the cut, the board and the window, and how the elements lie on it.
struct Table {
    const char* name;
    CutPlan cut;
    QSize board;
    QSize client;
    double scale;       // the view's scale before sorting
    bool pile;          // elements dropped at random over the board rather than on the scatter grid
    QPoint blockAt;     // body of the first block's top-left member, inside the first view
    bool fitsAtFirst;   // the border fits the view as it is
    bool boardMustGrow; // not even the whole board holds every loose element
};

// Test logs name the table instead of dumping its bytes.
void PrintTo(const Table& t, std::ostream* os) {
    *os << t.name;
}

CutPlan cutOf(int rows, int columns, int size, bool squareMosaic = false) {
    CutPlan p;
    p.rows = rows;
    p.columns = columns;
    p.size = size;
    p.mosaic = squareMosaic;
    p.irregularBase = !squareMosaic;
    p.outline = squareMosaic ? 1 : 4;
    return p;
}

// Three boards: a small game that fits the window, a middle one of square mosaic elements (their
// bodies fill their cells, so the rows need real gaps) that needs the view zoomed out, and a big
// game piled on a board far too small for it, where the board has to grow.
const Table kTables[] = {
    {"small", cutOf(6, 8, 64), {1024, 768}, {800, 600}, 1.0, false, {260, 140}, true, false},
    {"middle", cutOf(20, 30, 32, true), {1250, 930}, {400, 300}, 1.0, false, {100, 60}, false, false},
    {"big", cutOf(40, 50, 24), {1024, 768}, {640, 480}, 2.0, true, {150, 90}, false, true},
};

struct Snapshot {
    std::vector<Rect> cells;
    std::vector<Element> elements;
    std::vector<std::vector<std::int32_t>> blocks;
    std::vector<std::int32_t> stackOrder;
    double scale;
    QSize board;
};

Snapshot snapshotOf(const BoardState& s) {
    Snapshot snap;
    const Puzzle& p = s.puzzle;
    for (int i = 0; i < p.count(); ++i) {
        snap.cells.push_back(p.element(i).cellRect);
        snap.elements.push_back(p.element(i));
        snap.blocks.push_back(p.blocks.members(i));
    }
    snap.stackOrder = p.stackOrder;
    snap.scale = s.board.scale;
    snap.board = QSize(s.board.boardWidth, s.board.boardHeight);
    return snap;
}

bool intersects(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Whether the snapping pass could join e and k as they lie: a side of one within the capture
// area of a side of the other, whatever their edges.
bool withinReach(const Rect& E, const Rect& K, int t) {
    const bool rows =
        std::abs(E.top - K.top) <= t && (std::abs(E.left - K.right) <= t || std::abs(E.right - K.left) <= t);
    const bool columns = std::abs(E.left - K.left) <= t &&
                         (std::abs(E.top - K.bottom) <= t || std::abs(E.bottom - K.top) <= t);
    return rows || columns;
}

class SortingTable {
public:
    explicit SortingTable(const Table& t, bool withBlocks = true) : fixture(t.cut, false, turns(t.cut)) {
        BoardState& s = fixture.state;
        s.board.resize(t.board.width(), t.board.height(), 1024, 768);
        fixture.host.client = t.client;
        // A window over the bottom right corner of the view, as the clock is but larger.
        fixture.host.hidden = QRect(t.client.width() - 120, t.client.height() - 90, 120, 90);
        lay(t.pile);
        if (withBlocks)
            makeBlocks(t.blockAt);
        fixture.interaction.viewport().setScaleAbout(t.scale, QPointF(0, 0));
        fixture.renderer.redrawBoard({.clearBackground = true});
        fixture.host.clearInvalidations();
        fixture.sound.played.clear();
    }

    // Random turns, but the elements of the blocks upright.
    static std::vector<int> turns(const CutPlan& c) {
        QRandomGenerator random(c.rows * 1000 + c.columns);
        std::vector<int> t(c.rows * c.columns);
        for (int& turn : t)
            turn = random.bounded(4);
        for (const int i : blockElements(c.columns))
            t[i] = 0;
        return t;
    }
    // A 2 x 2 block of inner elements and a row of three along the top border.
    static std::vector<int> blockElements(int columns) {
        return {columns + 1, columns + 2, 2 * columns + 1, 2 * columns + 2, 3, 4, 5};
    }

    void lay(bool pile) {
        Puzzle& p = fixture.puzzle();
        const int b = p.geometry.bitmapSize;
        const QSize board(fixture.state.board.boardWidth, fixture.state.board.boardHeight);
        QRandomGenerator random(p.count());
        std::vector<int> places(p.count());
        for (int i = 0; i < p.count(); ++i)
            places[i] = i;
        std::shuffle(places.begin(), places.end(), std::mt19937(7));
        const int perRow = std::max(1, board.width() / b);
        for (int i = 0; i < p.count(); ++i) {
            QPoint cell(places[i] % perRow * b, places[i] / perRow * b);
            if (pile)
                cell = QPoint(random.bounded(board.width() - b), random.bounded(board.height() - b));
            p.setCellRect(i, Rect{cell.x(), cell.y(), cell.x() + b, cell.y() + b});
            fixture.renderer.placeBoardRegion(i);
        }
    }

    // The blocks lie joined, the first with its top-left member's body at `at`, the second to
    // its right.
    void makeBlocks(QPoint at) {
        Puzzle& p = fixture.puzzle();
        const int s = p.geometry.elementSize, w = p.columns;
        auto block = [&](const std::vector<int>& members, QPoint origin) {
            for (const int i : members) {
                const int r = p.rowOf(i) - p.rowOf(members.front());
                const int c = p.columnOf(i) - p.columnOf(members.front());
                fixture.placeBody(i, origin + QPoint(c * s, r * s));
                for (int side = 0; side < 4; ++side) {
                    const int n = p.homeNeighbour(i, side);
                    p.element(i).joinedNeighbour[side] =
                        std::find(members.begin(), members.end(), n) != members.end() ? n : -1;
                }
            }
            p.blocks.makeBlock(members);
            for (const int i : members)
                fixture.joiner.updateJoinRegion(i);
        };
        block({w + 1, w + 2, 2 * w + 1, 2 * w + 2}, at);
        block({3, 4, 5}, at + QPoint(4 * s, 0));
    }

    BoardFixture fixture;
};

// What every sorting leaves: the laid elements inside the view, clear of the clock, of each
// other and of the blocks, on top, drawn there and too far apart to join; loose elements they
// would cover moved to places laid ones left, each to its own, clear of the rows and the blocks;
// everything else where it was; every element with its turn and its joins.
void expectSorted(SortingTable& table, const Snapshot& before, const std::vector<int>& moved,
                  const char* what) {
    SCOPED_TRACE(what);
    BoardFixture& f = table.fixture;
    const Puzzle& p = f.state.puzzle;
    std::vector<char> isMoved(p.count(), 0);
    for (const int i : moved)
        isMoved[i] = 1;
    std::set<std::pair<int, int>> left; // top-left corners of the cells laid elements left
    for (const int i : moved)
        left.insert({before.cells[i].left, before.cells[i].top});
    std::vector<int> displaced;
    std::vector<int> blockMembers, near;
    for (int i = 0; i < p.count(); ++i) {
        const Element& e = p.element(i);
        const Element& was = before.elements[i];
        ASSERT_EQ(e.orientation, was.orientation) << i;
        ASSERT_EQ(e.edgeSign, was.edgeSign) << i;
        ASSERT_EQ(e.joinedNeighbour, was.joinedNeighbour) << i;
        ASSERT_EQ(p.blocks.members(i), before.blocks[i]) << i;
        ASSERT_EQ(p.bodyRects[i], p.bodyRectFor(e.cellRect)) << i;
        ASSERT_TRUE(e.cellRect.toQRect().contains(p.boardRegions[i].boundingRect())) << i;
        if (!isMoved[i] && e.cellRect != before.cells[i]) {
            ASSERT_EQ(p.blocks.blockSize(i), 1) << i;
            ASSERT_EQ(left.erase({e.cellRect.left, e.cellRect.top}), 1u) << i << " moved to no place left";
            displaced.push_back(i);
        }
        if (p.blocks.blockSize(i) > 1)
            blockMembers.push_back(i);
        if (isMoved[i] || p.blocks.blockSize(i) > 1)
            near.push_back(i);
    }

    // The laid ones on top, in the order they were laid, then those moved out of their way; the
    // others in their order below.
    ASSERT_TRUE(std::equal(moved.begin(), moved.end(), p.stackOrder.begin()));
    ASSERT_TRUE(std::is_permutation(displaced.begin(), displaced.end(), p.stackOrder.begin() + moved.size()));
    std::vector<std::int32_t> rest;
    for (const int j : before.stackOrder)
        if (!isMoved[j] && std::find(displaced.begin(), displaced.end(), j) == displaced.end())
            rest.push_back(j);
    ASSERT_TRUE(std::equal(rest.begin(), rest.end(), p.stackOrder.begin() + moved.size() + displaced.size()));
    for (const int j : displaced) {
        for (const int i : moved)
            ASSERT_FALSE(intersects(p.element(j).cellRect, p.element(i).cellRect)) << j << " under " << i;
        for (const int b : blockMembers)
            ASSERT_FALSE(intersects(p.element(j).cellRect, p.element(b).cellRect)) << j << " on " << b;
    }

    const Board& board = f.state.board;
    const QRectF view = f.interaction.viewport().visibleBoardRect();
    const QRect clock = f.host.hidden;
    const int t = f.state.settings.captureArea;
    for (const int i : moved) {
        const Rect& cell = p.element(i).cellRect;
        ASSERT_TRUE(view.contains(QRectF(cell.toQRect()))) << i;
        ASSERT_FALSE(board.toClient(cell.toQRect()).intersects(clock)) << i;
        for (const int j : blockMembers)
            ASSERT_FALSE(intersects(cell, p.element(j).cellRect)) << i << " covers block member " << j;
        for (const int k : near) {
            if (k == i)
                continue;
            ASSERT_FALSE(isMoved[k] && intersects(cell, p.element(k).cellRect)) << i << " overlaps " << k;
            ASSERT_FALSE(withinReach(p.bodyRects[i], p.bodyRects[k], t)) << i << " could join " << k;
        }
    }

    // Drawn where they lie, on top of whatever they cover (those that made room may lie on
    // each other where the places they took did).
    const QImage bitmap = f.boardPixels(board.rect());
    std::vector<int> all = moved;
    all.insert(all.end(), displaced.begin(), displaced.end());
    QRegion above;
    for (std::size_t k = 0; k < all.size(); ++k) {
        const int i = p.stackOrder[k];
        const Element& e = p.element(i);
        const QRegion shown = p.boardRegions[i].subtracted(above);
        const QImage look = f.bitmapOf(i);
        if (k >= moved.size())
            above += p.boardRegions[i];
        for (const QRect& r : shown)
            for (int y = r.top(); y <= r.bottom(); y += 2)
                for (int x = r.left(); x <= r.right(); x += 2)
                    ASSERT_EQ(bitmap.pixel(x, y), look.pixel(x - e.cellRect.left, y - e.cellRect.top))
                        << "element " << i << " at " << x << "," << y;
    }
    // One repaint of what changed, where they were and where they are, unless the view changed
    // and the whole window is repainted anyway.
    EXPECT_LE(f.host.invalidations, 1);
    if (f.host.fullInvalidations == 0)
        for (const int i : all) {
            ASSERT_TRUE(board.toClient(p.boardRegions[i]).subtracted(f.host.invalidated).isEmpty()) << i;
            ASSERT_TRUE(board
                            .toClient(before.elements[i].outerRegion.translated(before.cells[i].left,
                                                                                before.cells[i].top))
                            .subtracted(f.host.invalidated)
                            .isEmpty())
                << i;
        }
    EXPECT_EQ(f.sound.played, QStringList{QStringLiteral("wave:259")});
}

class SortingTest : public testing::TestWithParam<Table> {};

TEST_P(SortingTest, BorderThenEveryLooseElementInRowsFromTheView) {
    const Table& t = GetParam();
    SortingTable table(t);
    BoardFixture& f = table.fixture;
    Sorter& sorter = f.interaction.sorter();
    const Puzzle& p = f.state.puzzle;

    Snapshot before = snapshotOf(f.state);
    const std::vector<int> border = sorter.borderElements();
    ASSERT_EQ(int(border.size()), 2 * (p.rows + p.columns) - 4 - 3); // three lie in a block
    ASSERT_TRUE(f.interaction.edgesFirst());
    expectSorted(table, before, border, "border");
    EXPECT_EQ(f.state.board.scale == t.scale, t.fitsAtFirst) << f.state.board.scale;
    // The corners come first: theirs are the first places in reading order.
    std::vector<int> byPlace = border;
    std::sort(byPlace.begin(), byPlace.end(), [&](int a, int b) {
        const Rect &A = p.bodyRects[a], &B = p.bodyRects[b];
        return std::pair(A.top, A.left) < std::pair(B.top, B.left);
    });
    const std::set<int> corners{0, p.columns - 1, p.count() - p.columns, p.count() - 1};
    EXPECT_EQ(std::set<int>(byPlace.begin(), byPlace.begin() + 4), corners);
    if (!t.pile)
        expectBoardShowsElements(f, "after the border");

    f.host.clearInvalidations();
    f.sound.played.clear();
    before = snapshotOf(f.state);
    const std::vector<int> loose = sorter.looseElements();
    ASSERT_EQ(int(loose.size()), p.count() - 7);
    ASSERT_TRUE(f.interaction.gatherLoose());
    expectSorted(table, before, loose, "loose");
    const QSize grown(f.state.board.boardWidth, f.state.board.boardHeight);
    EXPECT_EQ(grown != before.board, t.boardMustGrow);
    EXPECT_GE(grown.width(), before.board.width());
    EXPECT_GE(grown.height(), before.board.height());
    EXPECT_EQ(f.boardPixels(f.state.board.rect()).size(), grown);
    if (t.boardMustGrow) {
        EXPECT_TRUE(f.interaction.viewport().wholeTableShown());
    }
    expectBoardShowsElements(f, "after gathering");

    // Again: the same rows from the same view, nothing moves.
    before = snapshotOf(f.state);
    ASSERT_TRUE(f.interaction.gatherLoose());
    for (int i = 0; i < p.count(); ++i)
        ASSERT_EQ(p.element(i).cellRect, before.cells[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(ThreeBoards, SortingTest, testing::ValuesIn(kTables),
                         [](const testing::TestParamInfo<Table>& info) {
                             return std::string(info.param.name);
                         });

// On the scatter as the game makes it the rows keep to its grid and the elements they would
// cover take the places the border elements left: nothing overlaps anything after it either.
TEST(SortingTest, TheBorderFirstOnAFreshScatterHidesNothing) {
    SortingTable table(kTables[0], false);
    BoardFixture& f = table.fixture;
    const Puzzle& p = f.state.puzzle;
    auto overlaps = [&] {
        int n = 0;
        for (int i = 0; i < p.count(); ++i)
            for (int j = i + 1; j < p.count(); ++j)
                n += p.boardRegions[i].intersects(p.boardRegions[j]);
        return n;
    };
    ASSERT_EQ(overlaps(), 0);
    ASSERT_NE(f.interaction.sorter().gridStep(), 0);
    f.state.board.scrollX = 37; // a view that does not start on the grid
    const Snapshot before = snapshotOf(f.state);
    const std::vector<int> border = f.interaction.sorter().borderElements();
    ASSERT_TRUE(f.interaction.sorter().edgesFirst());
    expectSorted(table, before, border, "fresh scatter");
    EXPECT_EQ(overlaps(), 0);
    int moved = 0;
    for (int i = 0; i < p.count(); ++i)
        moved += p.element(i).cellRect != before.cells[i];
    EXPECT_GT(moved, int(border.size())); // some made room
    expectBoardShowsElements(f, "fresh scatter");
}

// Nothing is moved while an element is in the hand, nor when there is nothing to move.
TEST(SortingTest, NothingWhileHoldingOrWithNothingLoose) {
    SortingTable table(kTables[0]);
    BoardFixture& f = table.fixture;
    const Snapshot before = snapshotOf(f.state);
    const int held = f.interaction.sorter().looseElements().front();
    f.press(L, f.grabPoint(held));
    ASSERT_EQ(f.state.input.pickedElement, held);
    EXPECT_FALSE(f.interaction.sorter().gatherLoose());
    EXPECT_FALSE(f.interaction.sorter().edgesFirst());
    f.interaction.buttonUp();
    for (int i = 0; i < f.count(); ++i)
        ASSERT_EQ(f.element(i).cellRect, before.cells[i]) << i;

    Puzzle& p = f.puzzle();
    std::vector<std::int32_t> all(p.count());
    for (int i = 0; i < p.count(); ++i)
        all[i] = i;
    p.blocks.makeBlock(all);
    EXPECT_FALSE(f.interaction.sorter().edgesFirst());
    EXPECT_FALSE(f.interaction.sorter().gatherLoose());
}

// The rows skip what must stay free, keep the gap to it and to each other, and wrap at the
// area's right edge; what does not fit says so, unless the rows may run on below.
TEST(RowLayoutTest, RowsGoRoundObstaclesAndStopAtTheArea) {
    RowLayoutRequest r;
    r.pieces.assign(7, QSize(10, 10));
    r.area = Rect{0, 0, 50, 40};
    r.gap = 2;
    r.obstacles = {Rect{13, 0, 20, 5}};
    RowLayout l = layOutRows(r);
    ASSERT_TRUE(l.fits);
    const std::vector<QPoint> expected{{0, 0}, {22, 0}, {34, 0}, {0, 12}, {12, 12}, {24, 12}, {36, 12}};
    EXPECT_EQ(l.places, expected);
    EXPECT_EQ(l.bottom, 22);

    r.pieces.assign(13, QSize(10, 10));
    EXPECT_FALSE(layOutRows(r).fits);
    r.openBelow = true;
    l = layOutRows(r);
    ASSERT_TRUE(l.fits);
    EXPECT_EQ(l.places.back(), QPoint(12, 36));
    EXPECT_EQ(l.bottom, 46);

    r.pieces = {QSize(60, 10)}; // wider than the area
    EXPECT_FALSE(layOutRows(r).fits);
}

} // namespace
