#include "board/sorter.h"

#include "board/boardstate.h"
#include "board/interactionhost.h"
#include "board/rectbuckets.h"
#include "board/rowlayout.h"
#include "board/stacking.h"
#include "board/viewport.h"
#include "model/services.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Reading order of the elements' present places.
void sortByPlace(const Puzzle& p, std::vector<std::int32_t>& elements) {
    std::stable_sort(elements.begin(), elements.end(), [&](int a, int b) {
        const Rect& A = p.bodyRects[a];
        const Rect& B = p.bodyRects[b];
        return A.top != B.top ? A.top < B.top : A.left < B.left;
    });
}

// The whole board pixels inside a rectangle, less a margin.
Rect inside(const QRectF& r, int margin) {
    return {static_cast<int>(std::ceil(r.left())) + margin, static_cast<int>(std::ceil(r.top())) + margin,
            static_cast<int>(std::floor(r.right())) - margin,
            static_cast<int>(std::floor(r.bottom())) - margin};
}

// The board pixels a client rectangle shows any part of.
Rect boardPixelsOf(const Board& view, const QRect& client) {
    const QPointF a = view.toBoardF(client.topLeft());
    const QPointF b = view.toBoardF(QPointF(client.right() + 1, client.bottom() + 1));
    return {static_cast<int>(std::floor(a.x())), static_cast<int>(std::floor(a.y())),
            static_cast<int>(std::ceil(b.x())), static_cast<int>(std::ceil(b.y()))};
}

// The whole-table view of a board of the given size: all of it in the window.
Board wholeTableOf(QSize size, QSize client) {
    Board view;
    view.boardWidth = size.width();
    view.boardHeight = size.height();
    view.setView(client, Viewport::wholeTableScaleFor(size, client));
    return view;
}

// Places to move to, taken nearest first. They form a list from which a taken place is
// replaced by the last one; of equally near places the one earliest in that list goes. A k-d tree
// over the places finds the nearest without looking at every place: a subtree is passed over
// when its box lies further than the best so far, or when all its places are taken.
class FreePlaces {
public:
    explicit FreePlaces(std::vector<QPoint> places)
        : places_(std::move(places)), tree_(places_.size()), live_(places_.size()), low_(places_.size()),
          high_(places_.size()), list_(places_.size()), slot_(places_.size()), at_(places_.size()) {
        for (std::size_t i = 0; i < places_.size(); ++i)
            tree_[i] = list_[i] = slot_[i] = static_cast<int>(i);
        build(0, static_cast<int>(tree_.size()), 0);
        for (std::size_t k = 0; k < tree_.size(); ++k)
            at_[tree_[k]] = static_cast<int>(k);
    }
    bool empty() const { return list_.empty(); }

    QPoint takeNearest(QPoint from) {
        int best = -1;
        long long bestDistance = 0;
        search(0, static_cast<int>(tree_.size()), 0, from, best, bestDistance);
        take(best);
        return places_[best];
    }

private:
    static long long squared(long long dx, long long dy) { return dx * dx + dy * dy; }

    // Orders tree_[lo, hi) about its middle, by x at even depths and y at odd ones, and notes
    // each subtree's box and count under its middle entry.
    void build(int lo, int hi, int depth) {
        if (lo >= hi)
            return;
        const int mid = (lo + hi) / 2;
        std::nth_element(tree_.begin() + lo, tree_.begin() + mid, tree_.begin() + hi, [&](int a, int b) {
            return depth % 2 == 0 ? places_[a].x() < places_[b].x() : places_[a].y() < places_[b].y();
        });
        QPoint low = places_[tree_[lo]], high = low;
        for (int k = lo; k < hi; ++k) {
            const QPoint q = places_[tree_[k]];
            low = QPoint(std::min(low.x(), q.x()), std::min(low.y(), q.y()));
            high = QPoint(std::max(high.x(), q.x()), std::max(high.y(), q.y()));
        }
        low_[mid] = low;
        high_[mid] = high;
        live_[mid] = hi - lo;
        build(lo, mid, depth + 1);
        build(mid + 1, hi, depth + 1);
    }

    void search(int lo, int hi, int depth, QPoint from, int& best, long long& bestDistance) const {
        if (lo >= hi)
            return;
        const int mid = (lo + hi) / 2;
        if (live_[mid] == 0)
            return;
        const long long dx = std::max({0, low_[mid].x() - from.x(), from.x() - high_[mid].x()});
        const long long dy = std::max({0, low_[mid].y() - from.y(), from.y() - high_[mid].y()});
        // Equally near places further on may still come earlier in the list.
        if (best >= 0 && squared(dx, dy) > bestDistance)
            return;
        const int i = tree_[mid];
        if (slot_[i] >= 0) {
            const long long d = squared(places_[i].x() - from.x(), places_[i].y() - from.y());
            if (best < 0 || d < bestDistance || (d == bestDistance && slot_[i] < slot_[best])) {
                best = i;
                bestDistance = d;
            }
        }
        const int towards = depth % 2 == 0 ? from.x() - places_[i].x() : from.y() - places_[i].y();
        if (towards < 0) {
            search(lo, mid, depth + 1, from, best, bestDistance);
            search(mid + 1, hi, depth + 1, from, best, bestDistance);
        } else {
            search(mid + 1, hi, depth + 1, from, best, bestDistance);
            search(lo, mid, depth + 1, from, best, bestDistance);
        }
    }

    void take(int i) {
        const int moved = list_.back();
        list_[slot_[i]] = moved;
        slot_[moved] = slot_[i];
        list_.pop_back();
        slot_[i] = -1;
        // One fewer below every subtree on the way down to it.
        int lo = 0, hi = static_cast<int>(tree_.size());
        const int k = at_[i];
        for (;;) {
            const int mid = (lo + hi) / 2;
            --live_[mid];
            if (k == mid)
                break;
            if (k < mid)
                hi = mid;
            else
                lo = mid + 1;
        }
    }

    std::vector<QPoint> places_;
    std::vector<int> tree_;          // places in tree order
    std::vector<int> live_;          // per subtree, under its middle entry: places not taken
    std::vector<QPoint> low_, high_; // per subtree: the box of its places
    std::vector<int> list_;          // the places not taken, in list order
    std::vector<int> slot_;          // each place's position in list_, -1 once taken
    std::vector<int> at_;            // each place's entry in tree_
};

} // namespace

Sorter::Sorter(BoardState& state, Viewport& viewport, IInteractionHost& host, ISound& sound, ICursor& cursor)
    : state_(state), viewport_(viewport), host_(host), sound_(sound), cursor_(cursor) {}

std::vector<std::int32_t> Sorter::borderElements() const {
    const Puzzle& p = state_.puzzle;
    std::vector<std::int32_t> corners, edges;
    for (int i = 0; i < p.count(); ++i) {
        if (p.blocks.blockSize(i) > 1)
            continue;
        const bool top = p.rowOf(i) == 0, bottom = p.rowOf(i) == p.rows - 1;
        const bool left = p.columnOf(i) == 0, right = p.columnOf(i) == p.columns - 1;
        if ((top || bottom) && (left || right))
            corners.push_back(i);
        else if (top || bottom || left || right)
            edges.push_back(i);
    }
    sortByPlace(p, corners);
    sortByPlace(p, edges);
    corners.insert(corners.end(), edges.begin(), edges.end());
    return corners;
}

std::vector<std::int32_t> Sorter::looseElements() const {
    const Puzzle& p = state_.puzzle;
    std::vector<std::int32_t> loose;
    for (int i = 0; i < p.count(); ++i)
        if (p.blocks.blockSize(i) == 1)
            loose.push_back(i);
    sortByPlace(p, loose);
    return loose;
}

int Sorter::gap() const {
    const Geometry& g = state_.puzzle.geometry;
    // Cells `gap` apart hold bodies bitmapSize - elementSize + gap apart; bodies join only
    // within the capture area, and only bodies test for it.
    return std::max(0, state_.settings.captureArea + 1 - (g.bitmapSize - g.elementSize));
}

int Sorter::gridStep() const {
    return gap() == 0 ? state_.puzzle.geometry.bitmapSize : 0;
}

int Sorter::margin() const {
    // On the grid the first line at or after the view's edge is margin enough.
    return gridStep() ? 0 : std::max(gap(), state_.puzzle.geometry.elementSize / 8);
}

std::vector<std::pair<std::int32_t, QPoint>> Sorter::makeRoom(const std::vector<std::int32_t>& laid,
                                                              const std::vector<QPoint>& places) const {
    const Puzzle& p = state_.puzzle;
    std::vector<char> isLaid(p.count(), 0);
    for (const int i : laid)
        isLaid[i] = 1;
    std::vector<std::int32_t> covered;
    const bool othersLoose = std::any_of(p.elementGrid.begin(), p.elementGrid.end(), [&](const Element& e) {
        return !isLaid[e.homeIndex] && p.blocks.blockSize(e.homeIndex) == 1;
    });
    if (!othersLoose)
        return {}; // gathering every loose element: nothing is left to cover
    RectBuckets rows(p.geometry.bitmapSize);
    for (std::size_t k = 0; k < laid.size(); ++k) {
        const Rect& cell = p.element(laid[k]).cellRect;
        rows.add(cell.translated(places[k].x() - cell.left, places[k].y() - cell.top));
    }
    for (int j = 0; j < p.count(); ++j)
        if (!isLaid[j] && p.blocks.blockSize(j) == 1 && rows.meets(p.element(j).cellRect))
            covered.push_back(j);
    if (covered.empty())
        return {};
    // Places under a block are none to move to: what lies there would cover the block or lie
    // under it.
    RectBuckets blocks(p.geometry.bitmapSize);
    for (int j = 0; j < p.count(); ++j)
        if (p.blocks.blockSize(j) > 1)
            blocks.add(p.element(j).cellRect);
    std::vector<QPoint> left;
    for (const int i : laid) {
        const Rect& cell = p.element(i).cellRect;
        if (!rows.meets(cell) && !blocks.meets(cell))
            left.emplace_back(cell.left, cell.top);
    }
    sortByPlace(p, covered);
    std::vector<std::pair<std::int32_t, QPoint>> moves;
    FreePlaces free(std::move(left));
    for (const int j : covered) {
        if (free.empty())
            break;
        moves.emplace_back(j,
                           free.takeNearest(QPoint(p.element(j).cellRect.left, p.element(j).cellRect.top)));
    }
    return moves;
}

bool Sorter::edgesFirst() {
    return gather(borderElements());
}

std::vector<std::int32_t> Sorter::elementsToGather() const {
    std::vector<std::int32_t> loose = looseElements();
    const Selection& selection = state_.input.selection;
    if (!selection.isEmpty())
        loose.erase(std::remove_if(loose.begin(), loose.end(), [&](int i) { return !selection.contains(i); }),
                    loose.end());
    return loose;
}

bool Sorter::gatherLoose() {
    return gather(elementsToGather());
}

Sorter::Plan Sorter::plan(const std::vector<std::int32_t>& elements) const {
    const Puzzle& p = state_.puzzle;
    const Board& board = state_.board;
    RowLayoutRequest request;
    request.gap = gap();
    request.gridStep = gridStep();
    request.pieces.reserve(elements.size());
    for (const int i : elements) {
        const Rect& cell = p.element(i).cellRect;
        request.pieces.emplace_back(cell.width(), cell.height());
    }
    std::vector<Rect> blocks;
    for (int j = 0; j < p.count(); ++j)
        if (p.blocks.blockSize(j) > 1)
            blocks.push_back(p.element(j).cellRect);
    const QRect hidden = host_.hiddenClientArea();
    auto layOutIn = [&](const Board& view) {
        request.area = inside(viewport_.visibleBoardRectOf(view), margin());
        request.obstacles = blocks;
        if (!hidden.isEmpty())
            request.obstacles.push_back(boardPixelsOf(view, hidden));
        return layOutRows(request);
    };

    // In the view as it is; else zoomed out a step at a time about its top-left corner, down to
    // the whole table.
    RowLayout rows = layOutIn(board);
    if (rows.fits)
        return {std::move(rows.places), ViewChange::None, board.scale, {}};
    const double whole = viewport_.wholeTableScale();
    for (double scale = board.scale; scale > whole;) {
        scale = std::max(whole, Viewport::stepFrom(scale, -1));
        rows = layOutIn(viewport_.viewAt(scale, QPointF(0, 0)));
        if (rows.fits)
            return {std::move(rows.places),
                    scale == whole ? ViewChange::WholeTable : ViewChange::Scale,
                    scale,
                    {}};
    }

    // Not even the whole board holds them: the board grows. First to the right, as far as the
    // whole-table view still shows it at the same scale (a board narrower than the window's
    // shape leaves that room unused); then the rows run on below it, and it grows downwards.
    const int m = margin();
    const QSize client = host_.clientSize();
    int width = board.boardWidth;
    if (!client.isEmpty())
        width =
            std::max(width, static_cast<int>(double(board.boardHeight) * client.width() / client.height()));
    if (width > board.boardWidth) {
        const QSize wider(width, board.boardHeight);
        request.area = {m, m, width - m, board.boardHeight - m};
        request.obstacles = blocks;
        if (!hidden.isEmpty())
            request.obstacles.push_back(boardPixelsOf(wholeTableOf(wider, client), hidden));
        rows = layOutRows(request);
        if (rows.fits)
            return {std::move(rows.places), ViewChange::GrownBoard, 1.0, wider};
    }
    request.area = {m, m, width - m, board.boardHeight - m};
    request.obstacles = std::move(blocks);
    request.openBelow = true;
    rows = layOutRows(request);
    if (!rows.fits)
        return {};
    // The hidden part of the view lies over the bottom of the whole table: a strip of its height
    // is left free below the rows, its height in board pixels growing with the board while the
    // board's height decides the scale.
    const int below = rows.bottom + m;
    int height = std::max(board.boardHeight, below);
    if (!hidden.isEmpty() && !client.isEmpty() && hidden.height() < client.height()) {
        const double byWidth = std::min(1.0, double(client.width()) / width);
        const double share = double(hidden.height()) / client.height();
        height = std::max({height, below + static_cast<int>(std::ceil(hidden.height() / byWidth)),
                           static_cast<int>(std::ceil(below / (1.0 - share)))});
    }
    return {std::move(rows.places), ViewChange::GrownBoard, 1.0, QSize(width, height)};
}

bool Sorter::gather(const std::vector<std::int32_t>& elements) {
    if (elements.empty() || state_.input.pickedElement != -1 || !state_.hasElements())
        return false;
    const WaitCursor wait(cursor_);
    const Plan plan = this->plan(elements);
    if (plan.places.size() != elements.size())
        return false;

    Board& board = state_.board;
    switch (plan.view) {
    case ViewChange::None:
        break;
    case ViewChange::Scale:
        viewport_.setScaleAbout(plan.scale, QPointF(0, 0));
        break;
    case ViewChange::WholeTable:
        viewport_.showWholeTable();
        break;
    case ViewChange::GrownBoard: {
        const Rect before{0, 0, board.boardWidth, board.boardHeight};
        board.grow(plan.board.width(), plan.board.height());
        // The new parts of the table, right and below.
        state_.changes.area(Rect{before.right, 0, board.boardWidth, board.boardHeight});
        state_.changes.area(Rect{0, before.bottom, before.right, board.boardHeight});
        viewport_.showWholeTable();
        break;
    }
    }

    // Loose elements the rows would cover go where laid ones were.
    std::vector<std::int32_t> moving = elements;
    std::vector<QPoint> places = plan.places;
    for (const auto& [j, place] : makeRoom(elements, plan.places)) {
        moving.push_back(j);
        places.push_back(place);
    }

    // One repaint for the whole move: where they were and on top where they go.
    Puzzle& p = state_.puzzle;
    p.moveElementsTo(moving, places);
    state_.changes.elements(moving);
    raiseAllToTop(p, moving, state_.changes);
    sound_.playWave(sortedWave);
    return true;
}
