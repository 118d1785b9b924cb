#pragma once

// Loading packages and plain shared libraries at run time.
//
// A package named "X.bpl" is the shared object "X.so" in the program's folder,
// or in the folder given with the name. Loading runs the package's
// registrations and unloading undoes them, in reverse order:
//  - the init functions its static initialisers recorded with
//    RegisterModuleInit run after the load, their fini functions before the
//    unload;
//  - every class of the package still in the class registry is unregistered
//    before the unload, so FindClass no longer finds it.
// Packages are built with -fno-gnu-unique so that the unload really unmaps
// them and the next load starts from fresh state.

#include "platform/rtl/Resources.h" // HMODULE

#include <string>

namespace rtl {

// The file a package name stands for: ".bpl" becomes ".so"; a name without a
// folder is looked up in the program's folder.
std::string PackageFileName(const std::string& Name);

// Raises EPackageError (with the file name and the loader's message) when the
// file cannot be loaded or an init function fails; a failed load leaves
// nothing behind. Loading a loaded package again counts up.
HMODULE LoadPackage(const std::string& Name);
// Counts down; the last unload runs the fini functions, unregisters the
// package's classes and published properties and unloads the file. An
// exception of a fini function is raised after the unload. EPackageError for a handle that
// LoadPackage did not give.
void UnloadPackage(HMODULE Module);

// Called from a module's static initialiser: init runs when LoadPackage (or
// LoadLibrary) has loaded the module, fini when it is unloaded. In code linked
// to the program init runs at once and fini is never called.
void RegisterModuleInit(void (*init)(), void (*fini)());

// A plain shared library: a name without a folder is looked for in the
// program's folder first, then along the loader's search path. Its init and
// fini functions and class registrations are handled as a package's. nullptr
// on failure; LastLibraryError tells why.
HMODULE LoadLibrary(const std::string& FileName);
void* GetProcAddress(HMODULE Module, const std::string& ProcName); // nullptr when missing
bool FreeLibrary(HMODULE Module);
// The loader's message for the last failure of LoadLibrary or
// GetProcAddress on this thread.
std::string LastLibraryError();

} // namespace rtl
