#pragma once

#include <cstdint>
#include <string_view>

namespace libsim {

// A small generator whose sequence depends on nothing but its seed: the same seed gives the
// same library on every machine and compiler. Only integer arithmetic and plain IEEE
// multiplication are used, so no standard distribution (whose results differ between
// standard libraries) is involved.
class DeterministicRandom {
public:
    explicit DeterministicRandom(std::uint64_t seed);

    // A generator for one independent stream: the library seed, a name for what the stream
    // decides, and an index (an hour, a drive).
    static DeterministicRandom forStream(std::uint64_t seed, std::string_view stream, std::int64_t index = 0);

    std::uint64_t next();
    // Uniform in [0, bound); 0 when bound is 0.
    std::uint64_t below(std::uint64_t bound);
    // Uniform in [low, high].
    std::int64_t between(std::int64_t low, std::int64_t high);
    // Uniform in [0, 1).
    double unit();
    bool chance(double probability);
    // Roughly bell-shaped around 0 within [-spread, spread] (sum of four uniforms).
    double jitter(double spread);

private:
    std::uint64_t m_state;
};

} // namespace libsim
