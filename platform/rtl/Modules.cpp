#include "platform/rtl/Modules.h"

#include "platform/rtl/Classes.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/SysPaths.h"

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <exception>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace {

struct InitPair {
    void (*init)();
    void (*fini)();
    const void* module; // link map of the module that holds init
};

struct LoadedModule {
    int loadCount = 1;
    std::vector<InitPair> initialised; // in init order
};

struct PackageLoader {
    std::recursive_mutex lock;               // one load or unload at a time
    std::map<HMODULE, LoadedModule> modules; // packages and libraries
};

// The pairs recorded by the static initialisers of the module being loaded
// on this thread. Loads can nest (an init may load another package), hence a
// stack of frames. Per thread, so that RegisterModuleInit needs no lock: a
// module loaded by another thread runs its initialisers under the dynamic
// loader's lock, and waiting for ours there could deadlock.
thread_local std::vector<std::vector<InitPair>> loadingFrames;

PackageLoader& Loader()
{
    static auto* loader = new PackageLoader; // outlives modules unloaded at exit
    return *loader;
}

thread_local std::string lastLibraryError;

bool HasFolder(const std::string& name) { return name.find('/') != std::string::npos; }

bool EndsWithNoCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && rtl::AnsiSameText(text.substr(text.size() - suffix.size()), suffix);
}

const void* LinkMapOf(HMODULE module)
{
    link_map* map = nullptr;
    if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0)
        return nullptr;
    return map;
}

std::string DlErrorText()
{
    const char* text = dlerror();
    return text ? text : "unknown error";
}

// Runs the fini functions of the given pairs, last first, then unregisters the
// module's classes and their published properties. Every fini runs even when
// one fails; the first failure is returned.
std::exception_ptr Finalise(const std::vector<InitPair>& initialised, const void* module)
{
    std::exception_ptr firstError;
    for (auto it = initialised.rbegin(); it != initialised.rend(); ++it) {
        if (!it->fini)
            continue;
        try {
            it->fini();
        } catch (...) {
            if (!firstError)
                firstError = std::current_exception();
        }
    }
    // The module's classes and property accessors are about to be unmapped.
    std::vector<TClass> classes = rtl::RegisteredClasses();
    for (auto it = classes.rbegin(); it != classes.rend(); ++it)
        if (rtl::ModuleOfAddress(*it) == module)
            rtl::UnRegisterClass(*it);
    for (TClass c : rtl::ClassesWithPublishedProperties())
        if (rtl::ModuleOfAddress(c) == module)
            rtl::UnregisterPublishedProperties(c);
    return firstError;
}

std::string ErrorText(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown exception";
    }
}

// Runs the module's init functions in order into `done`. On a failure the
// ones already run are finalised and the reason is returned.
std::optional<std::string> Initialise(const std::vector<InitPair>& pairs, const void* module,
                                      std::vector<InitPair>& done)
{
    for (const InitPair& pair : pairs) {
        try {
            if (pair.init)
                pair.init();
        } catch (...) {
            const std::string reason = ErrorText(std::current_exception());
            Finalise(done, module);
            return "Initialisation failed: " + reason;
        }
        done.push_back(pair);
    }
    return std::nullopt;
}

std::optional<std::string> RunForeignInits(const std::vector<InitPair>& pairs)
{
    try {
        for (const InitPair& pair : pairs)
            if (pair.init)
                pair.init();
    } catch (...) {
        return "Initialisation failed: " + ErrorText(std::current_exception());
    }
    return std::nullopt;
}

// Loads the file and runs the init functions it recorded; nullptr and the
// reason on failure, which leaves nothing loaded.
HMODULE LoadModule(const std::string& fileName, std::string& reason)
{
    PackageLoader& loader = Loader();
    std::lock_guard guard(loader.lock);

    loadingFrames.emplace_back();
    HMODULE module = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    std::vector<InitPair> recorded = std::move(loadingFrames.back());
    loadingFrames.pop_back();
    if (!module) {
        reason = DlErrorText();
        return nullptr;
    }
    if (auto known = loader.modules.find(module); known != loader.modules.end()) {
        ++known->second.loadCount;
        return module;
    }

    // Pairs from libraries the module pulled in are not its own: they
    // initialise now and stay.
    const void* map = LinkMapOf(module);
    std::vector<InitPair> own;
    std::vector<InitPair> foreign;
    for (const InitPair& pair : recorded)
        (pair.module == map ? own : foreign).push_back(pair);
    LoadedModule loaded;
    auto failure = RunForeignInits(foreign);
    if (!failure)
        failure = Initialise(own, map, loaded.initialised);
    if (failure) {
        dlclose(module);
        reason = *failure;
        return nullptr;
    }
    loader.modules.emplace(module, std::move(loaded));
    return module;
}

// Counts down; at zero runs the fini functions and drops the module's
// registrations before unloading it. False for a handle not loaded here.
bool UnloadModule(HMODULE module)
{
    PackageLoader& loader = Loader();
    std::lock_guard guard(loader.lock);
    auto found = loader.modules.find(module);
    if (found == loader.modules.end())
        return false;
    if (--found->second.loadCount > 0) {
        dlclose(module);
        return true;
    }
    std::exception_ptr error = Finalise(found->second.initialised, LinkMapOf(module));
    loader.modules.erase(found);
    dlclose(module);
    if (error)
        std::rethrow_exception(error);
    return true;
}

} // namespace

namespace rtl {

std::string PackageFileName(const std::string& Name)
{
    std::string file = Name;
    if (EndsWithNoCase(file, ".bpl"))
        file.replace(file.size() - 4, 4, ".so");
    return HasFolder(file) ? file : ProgramDir() + file;
}

HMODULE LoadPackage(const std::string& Name)
{
    const std::string fileName = PackageFileName(Name);
    std::string reason;
    HMODULE module = LoadModule(fileName, reason);
    if (!module)
        throw EPackageError("Can't load package " + fileName + ".\n" + reason);
    return module;
}

void UnloadPackage(HMODULE Module)
{
    if (!UnloadModule(Module))
        throw EPackageError("Invalid package handle");
}

void RegisterModuleInit(void (*init)(), void (*fini)())
{
    if (!loadingFrames.empty()) {
        const void* module = ModuleOfAddress(reinterpret_cast<const void*>(init ? init : fini));
        loadingFrames.back().push_back({init, fini, module});
        return;
    }
    if (init)
        init();
}

HMODULE LoadLibrary(const std::string& FileName)
{
    std::string path = FileName;
    if (!HasFolder(FileName) && rtl::FileExists(ProgramDir() + FileName))
        path = ProgramDir() + FileName;
    std::string reason;
    HMODULE module = LoadModule(path, reason);
    if (!module)
        lastLibraryError = reason;
    return module;
}

void* GetProcAddress(HMODULE Module, const std::string& ProcName)
{
    if (!Module) {
        lastLibraryError = "no module";
        return nullptr;
    }
    dlerror();
    void* address = dlsym(Module, ProcName.c_str());
    if (!address)
        lastLibraryError = DlErrorText();
    return address;
}

bool FreeLibrary(HMODULE Module) { return Module && UnloadModule(Module); }

std::string LastLibraryError() { return lastLibraryError; }

} // namespace rtl
