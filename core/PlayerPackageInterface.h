#pragma once

// How a host drives the player package: the package is loaded by name for one
// playback, its "TMainPlayer" is created through the class registry, plays a
// show or show list modally, and is freed and unloaded again.

#include "platform/rtl/Classes.h"

#include <cstdint>
#include <memory>
#include <string>

class TVistelo;
class TVisteloList;

// The player's side of the contract. Every operation returns when playback has
// ended; the base class raises EAbstractError. The operations that load a
// file return false when it (or the show chosen from a list) did not load;
// the player has told the user so.
class TPlayerPackageInterface : public TPersistent {
    DECLARE_CLASS(TPlayerPackageInterface, TPersistent)
public:
    // StartIndex -1 starts at the beginning.
    virtual bool VisteloStartFilename(const std::string& FileName, std::int32_t StartIndex);
    // The show stays the caller's.
    virtual void VisteloStart(TVistelo& Show, std::int32_t StartIndex);
    // StartEntry -1 starts as the list's start action says.
    virtual bool VisteloListStartFilename(const std::string& FileName, std::int32_t StartEntry,
                                          std::int32_t& ListIndex);
    // The list stays the caller's; ListIndex returns the entry played last.
    virtual bool VisteloListStart(TVisteloList& List, std::int32_t StartEntry, std::int32_t& ListIndex);
};

namespace PlayerPackageInterface {

// The package every start function loads.
inline constexpr const char* PlayerPackageFile = "Player.bpl";

// Unloads the package loaded before, loads PackageFileName and creates its
// "TMainPlayer". Raises EPackageError when the package cannot be loaded and
// EClassNotFound when it has no player; in that case the package stays loaded
// until the next load or UnLoadPlayerPackage.
std::unique_ptr<TPlayerPackageInterface> LoadPlayerPackage(const std::string& PackageFileName);
void UnLoadPlayerPackage();
bool PlayerPackageLoaded();

// Each loads the player package, plays, and frees the player and unloads the
// package again, also when loading the player or playing raises. False: a
// file did not load (the player has said so).
bool VisteloStartFilename(const std::string& FileName);
void VisteloStart(TVistelo& Show, std::int32_t StartIndex);
bool VisteloListStartFilename(const std::string& FileName);
bool VisteloListStart(TVisteloList& List, std::int32_t StartIndex);

// Tests play through a package of their own.
void SetPlayerPackageFileForTests(const std::string& PackageFileName);

} // namespace PlayerPackageInterface
