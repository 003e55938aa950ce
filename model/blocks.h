#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

// Block membership of all elements. A block is a set of elements that move and turn as one;
// every element belongs to exactly one set (its own, when it is joined to nothing).
//
// Keeping one N-flag array per element would cost N^2 memory and time; instead each element
// names its set, and each set lists its members in ascending homeIndex order, which is the
// order in which a scan over a flag array would meet them.
class Blocks {
public:
    // Every element alone.
    void reset(int count);
    void clear() { reset(0); }

    int count() const { return static_cast<int>(blockOf_.size()); }
    // Members of the block that holds element i, itself included, ascending.
    const std::vector<std::int32_t>& members(int i) const { return sets_[blockOf_[i]]; }
    int blockSize(int i) const { return static_cast<int>(members(i).size()); }
    bool sameBlock(int a, int b) const { return blockOf_[a] == blockOf_[b]; }

    // Unites the blocks of a and b. Costs the smaller block plus moving the larger one's members
    // above the smaller one's least, in place.
    void merge(int a, int b);
    // Takes element i out of its block; it becomes a block of its own.
    void detach(int i);
    // Makes exactly the given elements one block, taking each out of whatever block held it.
    // The list need not be sorted; duplicates are ignored. Costs the list and the sets it takes
    // them from, never the whole game.
    void makeBlock(std::vector<std::int32_t> elements);

    // The N-digit line of the saved game for element i: '1' for every member of its block.
    QByteArray membershipLine(int i) const;

    // Cheap consistency check for tests and loaders: every element is listed exactly once,
    // in the set it names.
    bool isConsistent() const;

private:
    int newSet();

    std::vector<std::int32_t> blockOf_;
    std::vector<std::vector<std::int32_t>> sets_;
    std::vector<std::int32_t> freeSets_;
};
