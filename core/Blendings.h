#pragma once

// The process-wide set of transition effects that the random choice may pick.
// Only the set lives here for now; the transition engine joins this unit.

#include <array>

namespace Blendings {

// Entry n is true when effect n may be chosen at random. One byte per entry,
// as the show file stores it; all set when the package starts.
extern std::array<bool, 32> RandomBlendings;

// Allows every effect for the random choice again.
void RandomAll();

} // namespace Blendings
