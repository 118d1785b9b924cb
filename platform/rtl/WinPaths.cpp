#include "platform/rtl/WinPaths.h"

namespace rtl {
std::string ResolveStoredPath(const std::string& /*stored*/, const std::string& /*baseDir*/) { return {}; }
std::string ResolveFileCase(const std::string& /*path*/) { return {}; }
}
