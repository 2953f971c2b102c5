#pragma once
// Deterministic random numbers: the same seed gives the same run on every
// build (the engine's sequence is fixed by the C++ standard; the conversions
// to doubles and normals are our own, not the library's).
#include <cmath>
#include <cstdint>
#include <random>

namespace kvdsim {

class TRandom {
public:
    explicit TRandom(std::uint32_t seed = 1) : FEngine(seed) {}
    void Seed(std::uint32_t seed) { FEngine.seed(seed); FHaveSpare = false; }

    // Uniform in [0, 1).
    double Uniform() { return double(FEngine() >> 5) * (1.0 / 134217728.0); }
    std::uint32_t Bits() { return std::uint32_t(FEngine()); }

    // Standard normal (Box-Muller, one spare kept).
    double Normal()
    {
        if (FHaveSpare) {
            FHaveSpare = false;
            return FSpare;
        }
        double u1 = Uniform();
        double u2 = Uniform();
        if (u1 < 1e-12)
            u1 = 1e-12;
        const double r = std::sqrt(-2.0 * std::log(u1));
        const double a = 6.283185307179586 * u2;
        FSpare = r * std::sin(a);
        FHaveSpare = true;
        return r * std::cos(a);
    }

private:
    std::mt19937 FEngine;
    double FSpare = 0;
    bool FHaveSpare = false;
};

} // namespace kvdsim
