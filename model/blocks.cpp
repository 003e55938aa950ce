#include "model/blocks.h"

#include <algorithm>
#include <iterator>

void Blocks::reset(int count) {
    blockOf_.resize(count);
    sets_.assign(count, {});
    freeSets_.clear();
    for (int i = 0; i < count; ++i) {
        blockOf_[i] = i;
        sets_[i].push_back(i);
    }
}

int Blocks::newSet() {
    if (!freeSets_.empty()) {
        const int id = freeSets_.back();
        freeSets_.pop_back();
        return id;
    }
    sets_.emplace_back();
    return static_cast<int>(sets_.size()) - 1;
}

void Blocks::merge(int a, int b) {
    int keep = blockOf_[a];
    int drop = blockOf_[b];
    if (keep == drop)
        return;
    if (sets_[keep].size() < sets_[drop].size())
        std::swap(keep, drop);
    for (const int e : sets_[drop])
        blockOf_[e] = keep;
    std::vector<std::int32_t> merged;
    merged.reserve(sets_[keep].size() + sets_[drop].size());
    std::merge(sets_[keep].begin(), sets_[keep].end(), sets_[drop].begin(), sets_[drop].end(),
               std::back_inserter(merged));
    sets_[keep] = std::move(merged);
    sets_[drop].clear();
    sets_[drop].shrink_to_fit();
    freeSets_.push_back(drop);
}

void Blocks::detach(int i) {
    auto& set = sets_[blockOf_[i]];
    if (set.size() == 1)
        return;
    set.erase(std::lower_bound(set.begin(), set.end(), i));
    const int id = newSet();
    sets_[id] = {i};
    blockOf_[i] = id;
}

void Blocks::makeBlock(std::vector<std::int32_t> elements) {
    std::sort(elements.begin(), elements.end());
    elements.erase(std::unique(elements.begin(), elements.end()), elements.end());
    if (elements.empty())
        return;
    for (const int e : elements)
        detach(e);
    // Every listed element now sits alone; gather them into the first one's set.
    const int id = blockOf_[elements.front()];
    for (std::size_t k = 1; k < elements.size(); ++k) {
        const int old = blockOf_[elements[k]];
        sets_[old].clear();
        freeSets_.push_back(old);
        blockOf_[elements[k]] = id;
    }
    sets_[id] = std::move(elements);
}

QByteArray Blocks::membershipLine(int i) const {
    QByteArray line(count(), '0');
    for (const int e : members(i))
        line[e] = '1';
    return line;
}

bool Blocks::isConsistent() const {
    std::vector<int> seen(blockOf_.size(), 0);
    for (std::size_t id = 0; id < sets_.size(); ++id) {
        const auto& set = sets_[id];
        if (!std::is_sorted(set.begin(), set.end()))
            return false;
        for (const int e : set) {
            if (e < 0 || e >= count() || blockOf_[e] != static_cast<int>(id) || seen[e]++)
                return false;
        }
    }
    return std::all_of(seen.begin(), seen.end(), [](int s) { return s == 1; });
}
