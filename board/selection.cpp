#include "board/selection.h"

#include "model/blocks.h"

void Selection::reset(int count) {
    flags_.assign(count, 0);
    size_ = 0;
}

bool Selection::add(int i) {
    if (i < 0)
        return false;
    if (i >= int(flags_.size()))
        flags_.resize(i + 1, 0);
    if (flags_[i])
        return false;
    flags_[i] = 1;
    ++size_;
    return true;
}

bool Selection::remove(int i) {
    if (!contains(i))
        return false;
    flags_[i] = 0;
    --size_;
    return true;
}

std::vector<std::int32_t> Selection::elements() const {
    std::vector<std::int32_t> result;
    result.reserve(size_);
    for (int i = 0; i < int(flags_.size()) && int(result.size()) < size_; ++i)
        if (flags_[i])
            result.push_back(i);
    return result;
}

std::vector<std::int32_t> Selection::clear() {
    std::vector<std::int32_t> was = elements();
    for (const int i : was)
        flags_[i] = 0;
    size_ = 0;
    return was;
}

std::vector<std::int32_t> Selection::completeBlocks(const Blocks& blocks) {
    std::vector<std::int32_t> added;
    // Each block once, by its least member, however many of its members were selected.
    std::vector<char> done(blocks.count(), 0);
    for (const int i : elements()) {
        if (i >= blocks.count() || blocks.blockSize(i) == 1)
            continue;
        const auto& members = blocks.members(i);
        if (done[members.front()])
            continue;
        done[members.front()] = 1;
        for (const int j : members)
            if (add(j))
                added.push_back(j);
    }
    return added;
}
