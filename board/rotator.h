#pragma once

class ICursor;
class ISound;
class Joiner;
struct BoardState;

// Quarter turns of one element in place, or of a whole block about one of its elements.
// t = +1 turns clockwise, t = -1 counter-clockwise. Only the game's state changes; the turned
// elements are reported for the view to draw again.
class Rotator {
public:
    static constexpr int turnWave = 218;

    Rotator(BoardState& state, Joiner& joiner, ISound& sound, ICursor& cursor);

    // Turns element e where it lies; it leaves its block, whose rest splits as separating does.
    void turnElement(int e, int t);
    // Turns every member of p's block about the centre of p's body square. The members keep
    // their joins, their spacing and their places in the stacking order.
    void turnBlock(int p, int t);

private:
    BoardState& state_;
    Joiner& joiner_;
    ISound& sound_;
    ICursor& cursor_;
};
