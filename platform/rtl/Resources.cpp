#include "platform/rtl/Resources.h"

#include "platform/rtl/CodePage.h"

#include <algorithm>
#include <mutex>
#include <string>

#include <dlfcn.h>
#include <link.h>

namespace rtl {
namespace {

// Module identity is the loader's link map: dlopen's handle, the program's
// handle and an address inside the module all lead to the same one.
const void* LinkMapOf(HMODULE module)
{
    if (module == nullptr) {
        static void* const program = dlopen(nullptr, RTLD_NOW);
        module = program;
    }
    link_map* map = nullptr;
    if (module == nullptr || dlinfo(module, RTLD_DI_LINKMAP, &map) != 0)
        return nullptr;
    return map;
}

struct Registered {
    const void* Module;
    const ResourceRegistration* Owner;
    std::string Type; // upper case
    std::string Name; // upper case
    std::span<const uint8_t> Bytes;
};

struct Registry {
    std::mutex Lock;
    std::vector<Registered> Entries;
};

Registry& TheRegistry()
{
    static Registry* registry = new Registry; // outlives every module's static destructors
    return *registry;
}

} // namespace

HMODULE ModuleOfAddress(const void* address)
{
    Dl_info info{};
    link_map* map = nullptr;
    if (dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0)
        return nullptr;
    return map;
}

std::optional<std::span<const uint8_t>> FindResource(HMODULE module, std::string_view type, std::string_view name)
{
    const void* key = LinkMapOf(module);
    if (key == nullptr)
        return std::nullopt;
    const std::string upperType = AnsiUpperCase(type);
    const std::string upperName = AnsiUpperCase(name);
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.Lock);
    // The latest registration of a name wins.
    for (auto it = registry.Entries.rbegin(); it != registry.Entries.rend(); ++it)
        if (it->Module == key && it->Type == upperType && it->Name == upperName)
            return it->Bytes;
    return std::nullopt;
}

ResourceRegistration::ResourceRegistration(HMODULE module, std::initializer_list<ResourceEntry> entries)
    : key_(LinkMapOf(module)), entries_(entries)
{
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.Lock);
    for (const ResourceEntry& entry : entries_)
        registry.Entries.push_back(
            {key_, this, AnsiUpperCase(entry.Type), AnsiUpperCase(entry.Name), {entry.Data, entry.Size}});
}

ResourceRegistration::~ResourceRegistration()
{
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.Lock);
    std::erase_if(registry.Entries, [this](const Registered& r) { return r.Owner == this; });
}

} // namespace rtl
