#pragma once

#include <cstdint>
#include <vector>

class Blocks;

// The elements the player has chosen to move or sort together, by a rectangle drawn on the
// empty table or by Ctrl + click. Part of the interaction under way, never of a saved game: a new
// or loaded game starts without one. A block is chosen as a whole: whenever one member is
// selected all are, and completeBlocks keeps it so once joins have made blocks grow.
class Selection {
public:
    // Nothing selected, for a game of `count` elements.
    void reset(int count);
    bool isEmpty() const { return size_ == 0; }
    int size() const { return size_; }
    bool contains(int i) const { return i >= 0 && i < int(flags_.size()) && flags_[i] != 0; }
    // Each returns true when the element's state changed.
    bool add(int i);
    bool remove(int i);
    // Every selected element, ascending.
    std::vector<std::int32_t> elements() const;
    // Deselects everything; returns what was selected.
    std::vector<std::int32_t> clear();
    // Selects every member of a block that has a selected member; returns those it added.
    std::vector<std::int32_t> completeBlocks(const Blocks& blocks);

private:
    std::vector<char> flags_;
    int size_ = 0;
};
