#pragma once

#include <QPoint>

#include <array>
#include <cstdint>
#include <vector>

class ISound;
struct BoardState;

// What joining needs from the window and the game: ending the drag and the celebration, which
// comes once a game; a join after it sounds as any other.
class IJoinHost {
public:
    virtual ~IJoinHost() = default;
    virtual void endMouseCapture() = 0;
    virtual bool gameCompleted() const = 0;
    virtual void announceCompletion() = 0;
};

// Snapping a held element to fitting neighbours, joining elements into blocks, and taking them
// apart again. Blocks are kept in Blocks; adjacency in each element's joinedNeighbour. It changes
// only the game's state and reports every element whose look or place changed (BoardState::
// changes); drawing is the view's.
class Joiner {
public:
    static constexpr int joinWave = 259;

    Joiner(BoardState& state, ISound& sound, IJoinHost& host);

    // The snapping pass for the held element e, after it (and its block) moved. Returns true when
    // something joined and the drag has ended; false when nothing joined (the drag goes on).
    bool snap(int e);
    // Zoomed out: the elements a fitting side of e lies within the capture distance of, as it is
    // picked up. They join e only once it has left them (InputState::inReachAtPick). Empty at
    // 100 % and above, where snapping is as it always was.
    std::vector<std::int32_t> partnersInReach(int e) const;
    // The joins of the last snapping pass in the order it made them: the partner and the side of
    // the held element.
    const std::vector<std::array<int, 2>>& lastJoins() const { return lastJoins_; }
    // The pass meets every element in index order and the index of places only passes over
    // those out of reach; with this set it meets them all, as the reference the index is tested
    // against.
    bool plainPass = false;

    // Brings element i's block in line with its joinedNeighbour entries and places its board
    // region for them: joined to nothing, it is alone in a block of its own. Without the bevel
    // a join changes nothing that is drawn, so the region of a joined element stays as it is.
    void updateJoinRegion(int i);
    // The outline changed (settings): with the bevel every element's region follows its joined
    // sides anew; without it the regions are plain and the redraw places them.
    void updateJoinRegions();

    void shiftBlockMembers(int e, int dx, int dy);
    void linkAlignedPairs(int a, int b);
    void mergeBlocks(int a, int b);
    // Takes e out of its block: its neighbours let go of it (and get their outline back on that
    // side), the rest of the block splits into its connected parts, and e is alone. Its own
    // board region is left to the caller, who may still have to erase the old one.
    void separateElement(int e);
    // How near, in board pixels, a side must come to join: the capture area, measured on the
    // screen when the view is zoomed out (captureArea / scale, whole pixels), so that a drop as
    // near on screen joins at every scale.
    int captureDistance() const;
    // Splits what is left of e's former block into its connected parts; 1 if it fell apart.
    int splitAfterRemoval(int e);
    bool isComplete() const;

private:
    // The elements after `after` (ascending, e left out) that a snapping test of e with tolerance t
    // could join: the others are too far from it on one axis.
    std::vector<std::int32_t> snapCandidates(int e, int t, int after) const;
    bool sidesFit(int e, int side, int k, int test) const;
    // Snapping test `test` of e against k with tolerance t: both sides free, near enough and
    // fitting; `place` receives where e's body would go.
    bool fitsWithin(int e, int k, int test, int t, QPoint* place) const;
    void join(int e, int side, int k, int newLeft, int newTop);
    // Records a join of i's side with j's opposite side when both are free and fit.
    void linkIfFits(int i, int side, int j);

    BoardState& state_;
    ISound& sound_;
    IJoinHost& host_;
    std::vector<std::array<int, 2>> lastJoins_;
};
