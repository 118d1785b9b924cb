#pragma once

// What the test player package saw, kept by the test program so that it
// outlives the package. The package finds it by its C name at run time.

#include <cstdint>
#include <string>
#include <vector>

struct TTestPlayerLog {
    int Created = 0;
    int Destroyed = 0;
    std::vector<std::string> Calls; // operation names in call order
    std::string FileName;
    std::int32_t Start = 0;
    std::int32_t ListIndexIn = 0;
    const void* Object = nullptr; // the show or list handed over
    bool ThrowInCall = false;
    bool Loads = true; // what the operations that load a file answer
};

extern "C" TTestPlayerLog* LaunchersTestPlayerLog();
