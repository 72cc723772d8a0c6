#pragma once

#include <algorithm>

// The game stores altitudes as a signed byte; every range check and clamp uses these.
namespace Altitude {
constexpr int Min = -128;
constexpr int Max = 127;

constexpr bool contains(int z)
{
    return z >= Min && z <= Max;
}

constexpr int clamp(int z)
{
    return std::clamp(z, Min, Max);
}
} // namespace Altitude
