#include "platform/rtl/Clock.h"

namespace rtl {
uint32_t GetTickCount() { return 0; }
void Sleep(uint32_t /*ms*/) {  }
int32_t Random(int32_t /*range*/) { return 0; }
double Random() { return 0; }
void Randomize() {  }
void SetRandomSeed(uint32_t /*seed*/) {  }
void SetClockForTests(uint32_t /*startTicks*/, std::function<void(uint32_t /*ms*/)> /*onSleep*/) {  }
void AdvanceClockForTests(uint32_t /*ms*/) {  }
void ResetClock() {  }
}
