#include "DeterministicRandom.h"

namespace libsim {

namespace {

std::uint64_t mix(std::uint64_t value)
{
    value += 0x9E3779B97F4A7C15ULL;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
    return value ^ (value >> 31);
}

} // namespace

DeterministicRandom::DeterministicRandom(std::uint64_t seed) : m_state(seed)
{
}

DeterministicRandom DeterministicRandom::forStream(std::uint64_t seed, std::string_view stream, std::int64_t index)
{
    // FNV-1a over the stream name keeps the streams apart without any table of numbers.
    std::uint64_t hash = 0xCBF29CE484222325ULL;
    for (const char c : stream) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ULL;
    }
    return DeterministicRandom(mix(mix(seed) ^ hash) ^ mix(static_cast<std::uint64_t>(index)));
}

std::uint64_t DeterministicRandom::next()
{
    m_state += 0x9E3779B97F4A7C15ULL;
    std::uint64_t value = m_state;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
    return value ^ (value >> 31);
}

std::uint64_t DeterministicRandom::below(std::uint64_t bound)
{
    if (bound == 0) {
        return 0;
    }
    // Rejection keeps the result uniform for bounds that do not divide 2^64.
    const std::uint64_t limit = ~std::uint64_t{0} - (~std::uint64_t{0} % bound);
    std::uint64_t value = next();
    while (value >= limit) {
        value = next();
    }
    return value % bound;
}

std::int64_t DeterministicRandom::between(std::int64_t low, std::int64_t high)
{
    if (high <= low) {
        return low;
    }
    return low + static_cast<std::int64_t>(below(static_cast<std::uint64_t>(high - low) + 1));
}

double DeterministicRandom::unit()
{
    return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0);
}

bool DeterministicRandom::chance(double probability)
{
    return unit() < probability;
}

double DeterministicRandom::jitter(double spread)
{
    const double sum = unit() + unit() + unit() + unit();
    return (sum - 2.0) * 0.5 * spread;
}

} // namespace libsim
