#pragma once

// What the stand-in decoder modules of the tests record and how they are
// told to behave; the tests reach it through ElampStubGetState.

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/modules/elamp/ElampExports.h"

struct ElampStubState {
    std::vector<std::pair<int32_t, int32_t>> buffers; // every ESSetBuffers (count, size)
    int32_t failOpenWith = -1;                        // >= 0: ESOpen fails and ESLastError gives this code
    int32_t lastError = 0;
    int32_t mode = 0;
    int32_t pollsUntilStopped = 3; // ESGetPlayerMode calls while playing before the end
    uint32_t volume = 0;           // as ESGetVolume gives it
    ESOutputActionFunc action = nullptr;
    void* user = nullptr;
};

extern "C" {
using ElampStubGetStateFunc = ElampStubState* (*)();
}
