#include "platform/rtl/SysPaths.h"

namespace rtl {
std::string ProgramFile() { return {}; }
std::string ProgramDir() { return {}; }
std::string ConfigDir() { return {}; }
std::string DataDir() { return {}; }
std::string TempDir() { return {}; }
std::string WindowsDir() { return {}; }
bool IsWritableDir(const std::string& /*dir*/) { return false; }
}
