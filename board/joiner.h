#pragma once

#include <array>

class BoardRenderer;
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
// apart again. Blocks are kept in Blocks; adjacency in each element's joinedNeighbour.
class Joiner {
public:
    static constexpr int joinWave = 259;

    Joiner(BoardState& state, BoardRenderer& renderer, ISound& sound, IJoinHost& host);

    // The snapping pass for the held element e, after it (and its block) moved. Returns true when
    // something joined and the drag has ended; false when nothing joined or making a region
    // failed (the joins made so far stay and the drag goes on).
    bool snap(int e);

    void shiftBlockMembers(int e, int dx, int dy);
    void linkAlignedPairs(int a, int b);
    void mergeBlocks(int a, int b);
    void separateElement(int e);
    // Splits what is left of e's former block into its connected parts; 1 if it fell apart.
    int splitAfterRemoval(int e);
    bool isComplete() const;

    static constexpr int opposite(int side) { return (side + 2) % 4; }

private:
    enum class JoinOutcome { Joined, Failed };
    bool sidesFit(int e, int side, int k, int test) const;
    JoinOutcome join(int e, int side, int k, int newLeft, int newTop);
    // Records a join of i's side with j's opposite side when both are free and fit.
    void linkIfFits(int i, int side, int j);

    BoardState& state_;
    BoardRenderer& renderer_;
    ISound& sound_;
    IJoinHost& host_;
};
