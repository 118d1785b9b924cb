#pragma once

// Resources compiled into a module. The CMake function vistelo_embed_resources
// (cmake/Resources.cmake) generates code that registers a target's files here
// when the module is loaded and withdraws them when it is unloaded; lookups go
// by module handle, type and name, like the platform's resource sections.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// A module handle as the dynamic loader gives it (dlopen's handle of a shared
// object or of the program); nullptr means the program itself.
using HMODULE = void*;

// Resource types, named as a resource script names them. Any other name is a
// custom type; types and names compare without regard to case.
inline constexpr char RT_CURSOR[] = "CURSOR";
inline constexpr char RT_BITMAP[] = "BITMAP";
inline constexpr char RT_ICON[] = "ICON";
inline constexpr char RT_RCDATA[] = "RCDATA";
inline constexpr char RT_GROUP_ICON[] = "GROUP_ICON";

namespace rtl {

// The module whose code or data contains `address`; nullptr when none does.
HMODULE ModuleOfAddress(const void* address);

namespace {
// The module of the code that calls it (the platform's HInstance): every
// module compiles its own copy, so the anchor lies in that module.
inline HMODULE HInstance()
{
    static const char anchor = 0;
    return ModuleOfAddress(&anchor);
}
} // namespace

// The bytes of a resource, or nullopt when the module has none of that type and name.
std::optional<std::span<const uint8_t>> FindResource(HMODULE module, std::string_view type, std::string_view name);

struct ResourceEntry {
    const char* Type;
    const char* Name;
    const uint8_t* Data;
    std::size_t Size;
};

// Registers a module's resources for the lifetime of the object; generated
// code holds one as a static, so loading the module registers them and
// unloading withdraws them.
class ResourceRegistration {
public:
    ResourceRegistration(HMODULE module, std::initializer_list<ResourceEntry> entries);
    ~ResourceRegistration();
    ResourceRegistration(const ResourceRegistration&) = delete;
    ResourceRegistration& operator=(const ResourceRegistration&) = delete;

private:
    const void* key_;
    std::vector<ResourceEntry> entries_;
};

} // namespace rtl
