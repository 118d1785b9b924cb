#include "core/PlayerPackageInterface.h"

#include "platform/rtl/Modules.h"

#include <functional>

IMPLEMENT_CLASS(TPlayerPackageInterface)

bool TPlayerPackageInterface::VisteloStartFilename(const std::string&, std::int32_t)
{
    throw EAbstractError("Abstract error: VisteloStartFilename");
}

void TPlayerPackageInterface::VisteloStart(TVistelo&, std::int32_t)
{
    throw EAbstractError("Abstract error: VisteloStart");
}

bool TPlayerPackageInterface::VisteloListStartFilename(const std::string&, std::int32_t, std::int32_t&)
{
    throw EAbstractError("Abstract error: VisteloListStartFilename");
}

bool TPlayerPackageInterface::VisteloListStart(TVisteloList&, std::int32_t, std::int32_t&)
{
    throw EAbstractError("Abstract error: VisteloListStart");
}

namespace PlayerPackageInterface {

namespace {

// The one loaded player package. A package a host leaves loaded is not
// unloaded at exit: by then the run-time layer's module registry may be gone,
// and the process unmaps the package anyway.
struct TLoadedPackage {
    HMODULE Handle = nullptr;
    std::string FileForTests;
};

TLoadedPackage& Loaded()
{
    static TLoadedPackage loaded;
    return loaded;
}

std::string PackageFile()
{
    return Loaded().FileForTests.empty() ? std::string(PlayerPackageFile) : Loaded().FileForTests;
}

// Loads a player, runs Play on it, then frees it and unloads the package
// whatever happened. A package without a player is unloaded too: nothing is
// gained by keeping it until the next start.
void PlayOnce(const std::function<void(TPlayerPackageInterface&)>& Play)
{
    try {
        // Leaving this block frees the player before its package goes.
        const std::unique_ptr<TPlayerPackageInterface> player = LoadPlayerPackage(PackageFile());
        Play(*player);
    } catch (...) {
        UnLoadPlayerPackage();
        throw;
    }
    UnLoadPlayerPackage();
}

} // namespace

std::unique_ptr<TPlayerPackageInterface> LoadPlayerPackage(const std::string& PackageFileName)
{
    UnLoadPlayerPackage();
    Loaded().Handle = rtl::LoadPackage(PackageFileName);
    return rtl::FindClass("TMainPlayer")->CreateAs<TPlayerPackageInterface>();
}

void UnLoadPlayerPackage()
{
    if (HMODULE handle = Loaded().Handle) {
        Loaded().Handle = nullptr;
        rtl::UnloadPackage(handle);
    }
}

bool PlayerPackageLoaded() { return Loaded().Handle != nullptr; }

bool VisteloStartFilename(const std::string& FileName)
{
    bool loaded = false;
    PlayOnce([&](TPlayerPackageInterface& player) { loaded = player.VisteloStartFilename(FileName, -1); });
    return loaded;
}

void VisteloStart(TVistelo& Show, std::int32_t StartIndex)
{
    PlayOnce([&](TPlayerPackageInterface& player) { player.VisteloStart(Show, StartIndex); });
}

bool VisteloListStartFilename(const std::string& FileName)
{
    bool loaded = false;
    PlayOnce([&](TPlayerPackageInterface& player) {
        std::int32_t listIndex = -1; // the entry played last is of no use here
        loaded = player.VisteloListStartFilename(FileName, -1, listIndex);
    });
    return loaded;
}

bool VisteloListStart(TVisteloList& List, std::int32_t StartIndex)
{
    bool loaded = false;
    PlayOnce([&](TPlayerPackageInterface& player) {
        std::int32_t listIndex = -1;
        loaded = player.VisteloListStart(List, StartIndex, listIndex);
    });
    return loaded;
}

void SetPlayerPackageFileForTests(const std::string& PackageFileName) { Loaded().FileForTests = PackageFileName; }

} // namespace PlayerPackageInterface
