#pragma once

#include <QtGlobal>

// A small deterministic generator (SplitMix64): the same seed gives the same store on every platform,
// which the standard distributions do not promise.
class FixtureRandom
{
public:
    explicit FixtureRandom(quint64 seed) : m_state(seed) {}

    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 <= result < bound (bound > 0).
    quint64 below(quint64 bound) { return next() % bound; }
    // A uniform double in [0, 1).
    double unit() { return double(next() >> 11) / double(1ULL << 53); }
    bool chance(double probability) { return unit() < probability; }

private:
    quint64 m_state;
};
