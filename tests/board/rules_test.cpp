// The rules on the game's state alone, with no renderer anywhere: joining, separating, turning,
// raising and sorting change only the state, and report every element whose look or place
// changed, which is all the view needs to draw the table again.

#include "board/boardstate.h"
#include "board/joiner.h"
#include "board/rotator.h"
#include "board/sorter.h"
#include "board/stacking.h"
#include "board/viewport.h"
#include "boardfixture.h"

#include <map>
#include <random>
#include <string>
#include <set>

namespace {

// What shows of an element: where it lies, how it is turned and shaped, whether it is on the
// table; and its place in the stacking order, which shows against the others.
struct Look {
    Rect cell;
    int orientation;
    QRegion region;
    bool offTable;
    int rank;
    bool sameShape(const Look& o) const {
        return cell == o.cell && orientation == o.orientation && region == o.region && offTable == o.offTable;
    }
};

struct RulesTable {
    BoardState state;
    FakeSound sound;
    FakeCursor cursor;
    RecordingInteractionHost host;
    Joiner joiner{state, sound, host};
    Rotator rotator{state, joiner, sound, cursor};
    Viewport viewport{state, host};
    Sorter sorter{state, viewport, host, sound, cursor};

    explicit RulesTable(const CutPlan& plan) {
        auto cut = makeCut(plan, false);
        state.puzzle = std::move(cut->puzzle);
        state.shapes = std::move(cut->shapes);
        state.settings.threeD = 1;
        state.settings.outlineThickness = plan.outline;
        state.cut.rotateElements = 1;
        state.board.resize(2400, 1800, 1024, 768);
        state.board.setView(host.client, 1.0);
    }
    std::vector<Look> looks() const {
        const Puzzle& p = state.puzzle;
        std::vector<Look> all;
        for (int i = 0; i < p.count(); ++i) {
            const auto at = std::find(p.stackOrder.begin(), p.stackOrder.end(), i);
            all.push_back({p.element(i).cellRect, p.element(i).orientation, p.boardRegions[i],
                           state.offTable(i), int(at - p.stackOrder.begin())});
        }
        return all;
    }
    void place(int i, QPoint body) {
        const Geometry& g = state.puzzle.geometry;
        state.puzzle.setCellRect(i, Rect{body.x() - g.bodyOffset, body.y() - g.bodyOffset,
                                         body.x() - g.bodyOffset + g.bitmapSize,
                                         body.y() - g.bodyOffset + g.bitmapSize});
        placeBoardRegion(state.puzzle, state.shapes, i);
    }
};

// Every element that changed is reported, and of two elements that changed places in the
// stacking order one at least (as changed or as raised), with the news that the order changed.
void expectReported(const RulesTable& t, const std::vector<Look>& before, const char* what, int step) {
    const std::vector<Look> after = t.looks();
    const std::vector<std::int32_t>& reported = t.state.changes.changedElements();
    const std::vector<std::int32_t>& raised = t.state.changes.raisedElements();
    const std::set<int> changed(reported.begin(), reported.end());
    std::set<int> named = changed;
    named.insert(raised.begin(), raised.end());
    for (std::size_t i = 0; i < after.size(); ++i) {
        // Raised says the order alone changed: anything else must be named as changed.
        if (!after[i].sameShape(before[i])) {
            EXPECT_TRUE(changed.count(int(i)))
                << what << " at step " << step << ": element " << i << " unreported";
        }
        for (std::size_t j = i + 1; j < after.size(); ++j) {
            if ((after[i].rank < after[j].rank) == (before[i].rank < before[j].rank))
                continue;
            EXPECT_TRUE(named.count(int(i)) || named.count(int(j)))
                << what << " at step " << step << ": " << i << " and " << j << " swapped unreported";
            EXPECT_TRUE(t.state.changes.stackingChanged()) << what << " at step " << step;
        }
    }
}

TEST(RulesTest, EveryRuleReportsWhatItChanged) {
    CutPlan plan;
    plan.rows = 4;
    plan.columns = 5;
    plan.size = 48;
    RulesTable t(plan);
    Puzzle& p = t.state.puzzle;
    std::mt19937 random(5);
    const int s = p.geometry.elementSize;
    for (int i = 0; i < p.count(); ++i)
        t.place(i,
                QPoint(60 + (i % 5) * 2 * s + int(random() % 9), 60 + (i / 5) * 2 * s + int(random() % 9)));

    std::map<std::string, int> done;
    for (int step = 0; step < 300; ++step) {
        const std::vector<Look> before = t.looks();
        t.state.changes.clear();
        const int e = int(random() % p.count());
        const char* what = "";
        switch (random() % 6) {
        case 0: {
            // Brought within reach of its right-hand neighbour and snapped, as a drag does,
            // sometimes with its block lifted.
            what = "snap";
            const int n = p.homeNeighbour(e, Right);
            if (n < 0 || p.element(e).orientation != p.element(n).orientation)
                continue;
            InputState& input = t.state.input;
            input.pickedElement = e;
            input.lifted = true;
            input.blockLifted = p.blocks.blockSize(e) > 1 && random() % 2;
            const Rect& body = p.bodyRects[n];
            const int dx = body.left - s + 2 - p.bodyRects[e].left, dy = body.top - 1 - p.bodyRects[e].top;
            p.moveElement(e, dx, dy);
            if (input.blockLifted)
                for (const int j : p.blocks.members(e))
                    if (j != e)
                        p.moveElement(j, dx, dy);
            t.state.changes.elements(p.blocks.members(e)); // the drag's own report of the move
            if (!t.joiner.snap(e)) {
                input = InputState{};
                continue;
            }
            break;
        }
        case 1:
            what = "separate";
            t.joiner.separateElement(e);
            placeBoardRegion(p, t.state.shapes, e);
            break;
        case 2:
            what = "turn";
            t.rotator.turnElement(e, random() % 2 ? 1 : -1);
            break;
        case 3:
            what = "turn block";
            t.rotator.turnBlock(e, random() % 2 ? 1 : -1);
            break;
        case 4:
            what = "raise";
            raiseToTop(p, e, t.state.changes);
            break;
        default:
            what = "gather";
            t.sorter.gatherLoose();
            break;
        }
        ++done[what];
        expectReported(t, before, what, step);
        ASSERT_TRUE(p.blocks.isConsistent());
        ASSERT_FALSE(HasFailure()) << "step " << step;
    }
    // Each rule ran, the snaps among them joined.
    for (const char* rule : {"snap", "separate", "turn", "turn block", "raise", "gather"})
        EXPECT_GT(done[rule], 5) << rule;
}

} // namespace
