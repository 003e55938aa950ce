#pragma once

#include <QPoint>
#include <QSize>

#include <cstdint>
#include <utility>
#include <vector>

class ICursor;
class IInteractionHost;
class ISound;
class Viewport;
struct BoardState;

// The sorting commands: the border elements first and every loose element, laid out in rows
// from the top-left corner of the view. They sort, never solve: each element keeps its turn, the
// order is that of their present places, and they land too far apart to join. Blocks stay
// where they are and the rows go round them. The clock is none of their business. They change
// the game's state and report what moved; drawing is the view's.
class Sorter {
public:
    static constexpr int sortedWave = 259; // the click heard when elements appear

    Sorter(BoardState& state, Viewport& viewport, IInteractionHost& host, ISound& sound, ICursor& cursor);

    // Every element of the picture's border that is in no block of two or more, corners first.
    // False when there is none to move or an element is held.
    bool edgesFirst();
    // Every element that is in no block of two or more; with a selection, only the selected ones.
    bool gatherLoose();

    // The elements each command moves, in the order it lays them: corners, then the rest, each
    // part in the reading order of their present places (row by row from the top, then from the
    // left), which gives the picture's order away no more than the board does.
    std::vector<std::int32_t> borderElements() const;
    std::vector<std::int32_t> looseElements() const;
    // The loose elements gathering takes: the selected ones while there is a selection.
    std::vector<std::int32_t> elementsToGather() const;
    // Free pixels between the cells of laid elements: cells that far apart hold bodies further
    // apart than the capture area, so nothing laid can join.
    int gap() const;
    // When no gap is needed the rows keep to the grid the elements are scattered on, from the
    // board's corner: on the scatter, each laid element then takes exactly one element's place.
    int gridStep() const;
    // Free pixels between the rows and the edges of the view.
    int margin() const;
    // The loose elements not laid that the rows would cover, each with the place it moves to:
    // a place a laid element leaves and no row covers, the nearest one first, as long as there
    // are such places. Every element then lies where one lay before: on a scatter that was free
    // of overlaps, the rows hide nothing. What finds no place stays under the rows.
    std::vector<std::pair<std::int32_t, QPoint>> makeRoom(const std::vector<std::int32_t>& laid,
                                                          const std::vector<QPoint>& places) const;

private:
    enum class ViewChange { None, Scale, WholeTable, GrownBoard };
    struct Plan {
        std::vector<QPoint> places; // cell top-left corners; empty when nothing can be laid
        ViewChange view = ViewChange::None;
        double scale = 1.0;
        QSize board; // the grown board's size
    };
    Plan plan(const std::vector<std::int32_t>& elements) const;
    bool gather(const std::vector<std::int32_t>& elements);

    BoardState& state_;
    Viewport& viewport_;
    IInteractionHost& host_;
    ISound& sound_;
    ICursor& cursor_;
};
