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
    auto& into = sets_[keep];
    auto& from = sets_[drop];
    for (const int e : from)
        blockOf_[e] = keep;
    // Merged from the back inside the larger set's own storage: only its members above the
    // smaller set's least one move, and a block grown one element at a time allocates nothing
    // new at each join.
    std::size_t i = into.size(), j = from.size(), w = i + j;
    into.resize(w);
    if (j * 16 < i) {
        // A few joining many (a block grown one element at a time): each finds its place by
        // bisection and the members above it move as one run rather than one by one.
        while (j > 0) {
            const std::int32_t e = from[--j];
            const std::size_t at = static_cast<std::size_t>(
                std::upper_bound(into.begin(), into.begin() + static_cast<std::ptrdiff_t>(i), e) -
                into.begin());
            std::move_backward(into.begin() + static_cast<std::ptrdiff_t>(at),
                               into.begin() + static_cast<std::ptrdiff_t>(i),
                               into.begin() + static_cast<std::ptrdiff_t>(w));
            w -= i - at;
            i = at;
            into[--w] = e;
        }
    }
    while (j > 0) {
        if (i > 0 && into[i - 1] > from[j - 1])
            into[--w] = into[--i];
        else
            into[--w] = from[--j];
    }
    from.clear();
    from.shrink_to_fit();
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
    // Each set that held some of them loses them in one pass over it, however many they are.
    std::vector<std::int32_t> holders;
    holders.reserve(elements.size());
    for (const int e : elements)
        holders.push_back(blockOf_[e]);
    std::sort(holders.begin(), holders.end());
    holders.erase(std::unique(holders.begin(), holders.end()), holders.end());
    for (const int id : holders) {
        auto& set = sets_[id];
        std::erase_if(set, [&](int e) { return std::binary_search(elements.begin(), elements.end(), e); });
        if (set.empty()) {
            set.shrink_to_fit();
            freeSets_.push_back(id);
        }
    }
    const int id = newSet();
    for (const int e : elements)
        blockOf_[e] = id;
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
