#pragma once

#include <cstdint>
#include <random>
#include <span>

class IClock;

// The generator behind every random table. Like the runtime's srand/rand pair it is reseeded
// before each table; tests hand in a scripted one.
class IRandom {
public:
    virtual ~IRandom() = default;
    virtual void seed(std::uint32_t seed) = 0;
    // The next draw. Its range must exceed rows x columns; 32 bits always does.
    virtual std::uint32_t next() = 0;
};

class StandardRandom final : public IRandom {
public:
    void seed(std::uint32_t seed) override { engine_.seed(seed); }
    std::uint32_t next() override { return static_cast<std::uint32_t>(engine_()); }

private:
    std::mt19937 engine_;
};

enum class RandomTableKind { EdgeSigns, KnobShifts, Turns };

// The seed of every table: the seconds field (0..59) of the local time. Tables made within
// the same second therefore start alike.
std::uint32_t secondsSeed(std::int64_t secondsSinceEpoch);

// Fills a table of the given kind after seeding the generator from the clock.
// Edge signs and knob shifts: 2 x rows x columns entries, the top edges of all cells in
// row-major order, then their left edges. Turns: rows x columns entries of -1, 0, +1 or 2.
void fillRandomTable(std::span<std::int32_t> table, RandomTableKind kind, std::int32_t columns,
                     IRandom& random, const IClock& clock);

// A uniformly random permutation of 0..n-1 (n = table size), after seeding like the tables.
void randomPermutation(std::span<std::int32_t> table, IRandom& random, const IClock& clock);
