#include "core/Blendings.h"

namespace Blendings {

constinit std::array<bool, 32> RandomBlendings = [] {
    std::array<bool, 32> all{};
    all.fill(true);
    return all;
}();

void RandomAll()
{
    RandomBlendings.fill(true);
}

} // namespace Blendings
