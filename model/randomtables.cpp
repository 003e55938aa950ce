#include "model/randomtables.h"

#include "model/services.h"

#include <QDateTime>

#include <numeric>
#include <utility>

std::uint32_t secondsSeed(std::int64_t secondsSinceEpoch) {
    return static_cast<std::uint32_t>(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch).time().second());
}

namespace {

void fillEdgeSigns(std::span<std::int32_t> table, std::int32_t columns, IRandom& random) {
    table[0] = random.next() % 2 ? 1 : -1;
    for (std::size_t l = 1; l < table.size(); ++l) {
        // Along a row knobs and sockets mostly alternate (4 in 5); the first edge of a row
        // mostly opposes the first edge of the row above (9 in 10).
        if (l % columns == 0)
            table[l] = random.next() % 10 == 0 ? table[l - columns] : -table[l - columns];
        else
            table[l] = random.next() % 5 == 0 ? table[l - 1] : -table[l - 1];
    }
}

void fillKnobShifts(std::span<std::int32_t> table, IRandom& random) {
    // -1 with 1/3, +1 with 2/9, 0 with 4/9.
    for (std::int32_t& v : table) {
        if (random.next() % 3 == 0)
            v = -1;
        else
            v = random.next() % 3 == 1 ? 1 : 0;
    }
}

void fillTurns(std::span<std::int32_t> table, IRandom& random) {
    static constexpr std::int32_t turns[4] = {-1, 0, 1, 2};
    for (std::int32_t& v : table)
        v = turns[random.next() % 4];
}

} // namespace

void fillRandomTable(std::span<std::int32_t> table, RandomTableKind kind, std::int32_t columns,
                     IRandom& random, const IClock& clock) {
    random.seed(secondsSeed(clock.nowSeconds()));
    if (table.empty())
        return;
    switch (kind) {
    case RandomTableKind::EdgeSigns:
        fillEdgeSigns(table, columns > 0 ? columns : 1, random);
        break;
    case RandomTableKind::KnobShifts:
        fillKnobShifts(table, random);
        break;
    case RandomTableKind::Turns:
        fillTurns(table, random);
        break;
    }
}

void randomPermutation(std::span<std::int32_t> table, IRandom& random, const IClock& clock) {
    random.seed(secondsSeed(clock.nowSeconds()));
    // Fisher-Yates: the same uniform distribution as drawing until an unused value comes up,
    // without its quadratic cost on large cuts.
    std::iota(table.begin(), table.end(), 0);
    for (std::size_t i = table.size(); i > 1; --i) {
        const std::size_t j = random.next() % i;
        std::swap(table[i - 1], table[j]);
    }
}
