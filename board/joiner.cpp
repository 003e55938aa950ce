#include "board/joiner.h"

#include "board/boardstate.h"
#include "board/stacking.h"
#include "model/elementcontext.h"
#include "model/services.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Which side of the held element a snapping test joins, in test order.
constexpr std::array<int, 4> kTestSide{Left, Right, Top, Bottom};

std::int64_t positionKey(int left, int top) {
    return (static_cast<std::int64_t>(left) << 32) ^ static_cast<std::uint32_t>(top);
}

} // namespace

Joiner::Joiner(BoardState& state, ISound& sound, IJoinHost& host)
    : state_(state), sound_(sound), host_(host) {}

bool Joiner::sidesFit(int e, int side, int k, int test) const {
    const Puzzle& p = state_.puzzle;
    const Element& a = p.element(e);
    const Element& b = p.element(k);
    const int other = opposite(side);
    if (a.edgeSign[side] == 0)
        return false;
    if (!state_.settings.exactAssembly)
        return a.edgeSign[side] == -b.edgeSign[other] && a.edgeShift[side] == -b.edgeShift[other];
    if (a.orientation != b.orientation)
        return false;
    // Offset of the held element's home from its partner's, per test and orientation.
    const int w = p.columns;
    static constexpr std::array<std::array<int, 4>, 4> homeOffset{{
        {+1, +2, -1, -2}, // left to right: h+1, h+W, h-1, h-W
        {-1, -2, +1, +2}, // right to left
        {+2, -1, -2, +1}, // top to bottom
        {-2, +1, +2, -1}, // bottom to top
    }};
    const int code = homeOffset[test][a.orientation]; // +-1: one column, +-2: one row
    const int delta = (code == 1 || code == -1) ? code : (code > 0 ? w : -w);
    return a.homeIndex == b.homeIndex + delta;
}

void Joiner::join(int e, int side, int k, int newLeft, int newTop) {
    Puzzle& p = state_.puzzle;
    Element& a = p.element(e);
    Element& b = p.element(k);
    a.joinedNeighbour[side] = k;
    updateJoinRegion(e);
    b.joinedNeighbour[opposite(side)] = e;
    updateJoinRegion(k);

    const Rect old = p.bodyRects[e];
    const int dx = newLeft - old.left, dy = newTop - old.top;
    const int m = p.geometry.bodyOffset, size = p.geometry.bitmapSize;
    a.cellRect = {newLeft - m, newTop - m, newLeft - m + size, newTop - m + size};
    p.boardRegions.translate(e, dx, dy);
    if (state_.input.blockLifted) {
        shiftBlockMembers(e, dx, dy);
        linkAlignedPairs(e, k);
    }
    mergeBlocks(e, k);
    // Only now: the aligned pairs are found with e's body where it was before the join.
    const int s = p.geometry.elementSize;
    p.setBodyRect(e, {newLeft, newTop, newLeft + s, newTop + s});
}

int Joiner::captureDistance() const {
    const int area = state_.settings.captureArea;
    const double scale = state_.board.scale;
    if (scale >= 1.0 || scale <= 0.0)
        return area;
    // A board distance d shows as d * scale screen pixels; the small allowance keeps scales such
    // as 0.5 from losing a pixel to rounding.
    return static_cast<int>(std::floor(area / scale + 1e-6));
}

bool Joiner::fitsWithin(int e, int k, int test, int t, QPoint* place) const {
    const Puzzle& p = state_.puzzle;
    const int s = p.geometry.elementSize;
    const Rect& E = p.bodyRects[e];
    const Rect& K = p.bodyRects[k];
    const int side = kTestSide[test];
    if (p.element(e).joinedNeighbour[side] != -1 || p.element(k).joinedNeighbour[opposite(side)] != -1)
        return false;
    bool near = false;
    QPoint at;
    if (test < 2) {
        if (std::abs(E.top - K.top) > t)
            return false;
        near = test == 0 ? std::abs(E.left - K.right) <= t : std::abs(E.right - K.left) <= t;
        at = QPoint(test == 0 ? K.right : K.left - s, K.top);
    } else {
        if (std::abs(E.left - K.left) > t)
            return false;
        near = test == 2 ? std::abs(E.top - K.bottom) <= t : std::abs(E.bottom - K.top) <= t;
        at = QPoint(K.left, test == 2 ? K.bottom : K.top - s);
    }
    if (!near || !sidesFit(e, side, k, test))
        return false;
    if (place)
        *place = at;
    return true;
}

std::vector<std::int32_t> Joiner::snapCandidates(int e, int t, int after) const {
    const Puzzle& p = state_.puzzle;
    std::vector<std::int32_t> found;
    if (plainPass) {
        for (int k = after + 1; k < p.count(); ++k)
            if (k != e)
                found.push_back(k);
        return found;
    }
    // Every test puts k's body one element size from e's in one direction and within t in the
    // other, so its corner lies within s + t of e's on both axes.
    const Rect& E = p.bodyRects[e];
    const int reach = p.geometry.elementSize + std::max(0, t);
    p.places().forEachNear(E.left - reach, E.top - reach, E.left + reach, E.top + reach, [&](int k) {
        if (k > after && k != e)
            found.push_back(k);
    });
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<std::int32_t> Joiner::partnersInReach(int e) const {
    std::vector<std::int32_t> partners;
    const Puzzle& p = state_.puzzle;
    if (state_.board.scale >= 1.0 || e < 0 || e >= p.count())
        return partners;
    const int capture = captureDistance();
    for (const int k : snapCandidates(e, capture, -1))
        for (int test = 0; test < 4; ++test)
            if (fitsWithin(e, k, test, capture, nullptr)) {
                partners.push_back(k);
                break;
            }
    return partners;
}

bool Joiner::snap(int e) {
    Puzzle& p = state_.puzzle;
    const int capture = captureDistance();
    // Partners the element already lay within reach of when it was picked up (zoomed out, where
    // the scatter's neighbours lie within a few screen pixels) join only once it has left them.
    std::vector<std::int32_t>& passed = state_.input.inReachAtPick;
    std::vector<char> stillNear(passed.size(), 0);
    int m = 1;
    bool joined = false;
    lastJoins_.clear();
    // What of the moved block is off the table, taken before a join merges it with another.
    std::vector<std::int32_t> offTable{e};
    // Elements in ascending order as the pass meets them, those out of reach left out. A join
    // moves e and narrows the tolerance, so the rest are found again from there.
    std::vector<std::int32_t> candidates = snapCandidates(e, capture, -1);
    for (std::size_t c = 0; c < candidates.size(); ++c) {
        const int k = candidates[c];
        // Every test needs the tops or the lefts within the tolerance: most elements are passed
        // over on their body squares alone, without touching the elements themselves.
        const Rect& E = p.bodyRects[e];
        const Rect& K = p.bodyRects[k];
        const int t = capture * m;
        if (std::abs(E.top - K.top) > t && std::abs(E.left - K.left) > t)
            continue;
        const auto wasNear = std::find(passed.begin(), passed.end(), k);
        // Each test re-reads E and the tolerance: a join moves the element and tightens the
        // tolerance to exact alignment for the rest of the pass.
        for (int test = 0; test < 4; ++test) {
            QPoint at;
            if (!fitsWithin(e, k, test, capture * m, &at))
                continue;
            if (wasNear != passed.end()) {
                stillNear[wasNear - passed.begin()] = 1;
                continue;
            }
            if (!joined && state_.input.blockLifted)
                offTable = p.blocks.members(e);
            join(e, kTestSide[test], k, at.x(), at.y());
            lastJoins_.push_back({k, kTestSide[test]});
            joined = true;
            m = 0;
        }
        if (!lastJoins_.empty() && lastJoins_.back()[0] == k) {
            candidates = snapCandidates(e, 0, k);
            c = std::size_t(-1);
        }
    }
    std::size_t kept = 0;
    for (std::size_t j = 0; j < passed.size(); ++j)
        if (stillNear[j])
            passed[kept++] = passed[j];
    passed.resize(kept);
    if (!joined)
        return false;

    // The drag ends: the block goes to the top and what was off the table is put back.
    host_.endMouseCapture();
    InputState& input = state_.input;
    input.pickedElement = -1;
    input.lifted = input.blockLifted = false;
    input.dragClipRegion = QRegion();
    raiseToTop(p, e, state_.changes);
    state_.changes.elements(offTable);
    if (isComplete() && !host_.gameCompleted())
        host_.announceCompletion();
    else
        sound_.playWave(joinWave);
    return true;
}

void Joiner::shiftBlockMembers(int e, int dx, int dy) {
    Puzzle& p = state_.puzzle;
    if (p.element(e).alone())
        return;
    p.moveElements(p.blocks.members(e), dx, dy, e);
}

void Joiner::linkIfFits(int i, int side, int j) {
    Puzzle& p = state_.puzzle;
    Element& a = p.element(i);
    Element& b = p.element(j);
    const int other = opposite(side);
    if (a.joinedNeighbour[side] != -1 || b.joinedNeighbour[other] != -1)
        return;
    // Two straight border edges are "opposite" as numbers but never belong together.
    if (a.edgeSign[side] == 0 || a.edgeSign[side] != -b.edgeSign[other] ||
        a.edgeShift[side] != -b.edgeShift[other])
        return;
    a.joinedNeighbour[side] = j;
    b.joinedNeighbour[other] = i;
    updateJoinRegion(i);
    updateJoinRegion(j);
}

void Joiner::linkAlignedPairs(int a, int b) {
    Puzzle& p = state_.puzzle;
    const int s = p.geometry.elementSize;
    // Only members of b's block within a step of a's block can be partners: they are listed by
    // body position, sorted, so each member of a's block near them looks up its four possible
    // partners instead of comparing with every member (two big blocks would be quadratic), and
    // a join of two blocks of tens of thousands costs their seam, not their size.
    const std::vector<std::int32_t> aMembers = p.blocks.members(a);
    Rect reach{0, 0, 0, 0};
    bool first = true;
    for (const int i : aMembers) {
        const Rect& I = p.bodyRects[i];
        const Rect r{I.left - s, I.top - s, I.left + s + 1, I.top + s + 1};
        reach = first ? r
                      : Rect{std::min(reach.left, r.left), std::min(reach.top, r.top),
                             std::max(reach.right, r.right), std::max(reach.bottom, r.bottom)};
        first = false;
    }
    std::vector<std::pair<std::int64_t, int>> byPosition;
    Rect found{0, 0, 0, 0};
    for (const int j : p.blocks.members(b)) {
        const Rect& J = p.bodyRects[j];
        if (J.left < reach.left || J.left >= reach.right || J.top < reach.top || J.top >= reach.bottom)
            continue;
        const Rect r{J.left - s, J.top - s, J.left + s + 1, J.top + s + 1};
        found = byPosition.empty() ? r
                                   : Rect{std::min(found.left, r.left), std::min(found.top, r.top),
                                          std::max(found.right, r.right), std::max(found.bottom, r.bottom)};
        byPosition.emplace_back(positionKey(J.left, J.top), j);
    }
    if (byPosition.empty())
        return;
    std::sort(byPosition.begin(), byPosition.end());
    for (const int i : aMembers) {
        const Rect I = p.bodyRects[i];
        if (I.left < found.left || I.left >= found.right || I.top < found.top || I.top >= found.bottom)
            continue;
        const std::array<std::pair<int, std::int64_t>, 4> probes{{
            {Left, positionKey(I.left - s, I.top)},
            {Right, positionKey(I.right, I.top)},
            {Top, positionKey(I.left, I.top - s)},
            {Bottom, positionKey(I.left, I.bottom)},
        }};
        for (const auto& [side, key] : probes) {
            // Partners of one position come in ascending order.
            auto at =
                std::lower_bound(byPosition.begin(), byPosition.end(), std::pair<std::int64_t, int>(key, -1));
            for (; at != byPosition.end() && at->first == key; ++at)
                if (at->second != i)
                    linkIfFits(i, side, at->second);
        }
    }
}

void Joiner::mergeBlocks(int a, int b) {
    state_.puzzle.blocks.merge(a, b);
}

void Joiner::separateElement(int e) {
    Puzzle& p = state_.puzzle;
    Element& el = p.element(e);
    for (int side = 0; side < 4; ++side) {
        const int n = el.joinedNeighbour[side];
        if (n < 0)
            continue;
        p.element(n).joinedNeighbour[opposite(side)] = -1;
        updateJoinRegion(n);
    }
    splitAfterRemoval(e);
    p.blocks.detach(e);
    el.joinedNeighbour = {-1, -1, -1, -1};
    state_.changes.element(e);
}

void Joiner::updateJoinRegion(int i) {
    Puzzle& p = state_.puzzle;
    const int mask = joinedSides(p.element(i));
    if (mask == 0)
        p.blocks.detach(i);
    else if (!state_.settings.threeD)
        return;
    placeBoardRegion(p, state_.shapes, i);
    state_.changes.element(i);
}

void Joiner::updateJoinRegions() {
    if (!state_.settings.threeD)
        return;
    for (int i = 0; i < state_.puzzle.count(); ++i)
        updateJoinRegion(i);
}

int Joiner::splitAfterRemoval(int e) {
    Puzzle& p = state_.puzzle;
    const auto seeds = p.element(e).joinedNeighbour;
    std::vector<char> reached(p.count(), 0);
    reached[e] = 1;
    std::vector<std::vector<std::int32_t>> parts;
    for (const int seed : seeds) {
        if (seed < 0 || reached[seed])
            continue;
        std::vector<std::int32_t> part{seed};
        reached[seed] = 1;
        for (std::size_t q = 0; q < part.size(); ++q)
            for (const int n : p.element(part[q]).joinedNeighbour)
                if (n >= 0 && !reached[n]) {
                    reached[n] = 1;
                    part.push_back(n);
                }
        parts.push_back(std::move(part));
    }
    if (parts.size() <= 1)
        return 0;
    for (auto& part : parts)
        p.blocks.makeBlock(std::move(part));
    return 1;
}

bool Joiner::isComplete() const {
    const Puzzle& p = state_.puzzle;
    const int n = p.count();
    if (n == 0)
        return false;
    for (int k = 0; k < n; ++k)
        if (p.stackOrder[k] != n - 1 - k)
            return false;
    if (p.blocks.blockSize(0) != n)
        return false;
    const int o = p.element(0).orientation;
    for (int k = 1; k < n; ++k)
        if (p.element(k).orientation != o)
            return false;
    return true;
}
