#pragma once

// The content of the registry file: the tree of keys below each root key and
// the REGEDIT4 text it is stored as.
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Ostrelind]
//   "Name"="text with \\ and \" escaped"
//   "Count"=dword:0000002a
//   "Data"=hex:01,ff
//   @="the key's default value"
//
// Other types are stored as hex(<type>):bytes; strings with control
// characters as hex(1), expandable strings as hex(2), both with their stored
// bytes and a closing zero. Reading is lenient: a line that does not parse
// is skipped, so a damaged file gives what can still be read.

#include "platform/rtl/Registry.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rtl {

struct RegValue {
    std::string Name;
    uint32_t Type = REG_NONE;
    std::string Data; // strings as UTF-8 text without a closing zero; a
                      // dword as 4 bytes, little-endian; others as bytes
};

class RegKey {
public:
    explicit RegKey(std::string name = {}) : Name(std::move(name)) { }

    std::string Name;
    std::vector<RegValue> Values;                 // in the order they were made
    std::vector<std::unique_ptr<RegKey>> SubKeys; // sorted by name without case

    RegKey* SubKey(std::string_view name) const;
    RegKey& EnsureSubKey(std::string_view name);
    bool RemoveSubKey(std::string_view name);

    const RegValue* Value(std::string_view name) const;
    // Sets the value (a new one goes last); false when it held that already.
    bool SetValue(std::string_view name, uint32_t type, std::string data);
    bool RemoveValue(std::string_view name);
};

using RegPath = std::vector<std::string>;

// Splits a key path at "\" and drops empty names ("a\\b\" is a\b).
RegPath SplitKeyPath(std::string_view path);
std::string JoinKeyPath(const RegPath& path);
// Limits of the Windows registry, which also keep a damaged file from
// building a tree too deep to walk.
constexpr size_t MaxKeyNameLength = 255;
constexpr size_t MaxKeyDepth = 512;

// Key names hold no "\" or control characters and are at most
// MaxKeyNameLength bytes; value names hold no line breaks.
bool IsValidKeyName(std::string_view name);
bool IsValidKeyPath(const RegPath& path);
bool IsValidValueName(std::string_view name);

class RegHive {
public:
    RegHive();

    // nullptr for a handle that is no root key.
    RegKey* Root(HKEY root) const;
    RegKey* Find(HKEY root, const RegPath& path) const;
    // Creates the missing keys of the path; nullptr for an unknown root or an
    // invalid path.
    RegKey* Ensure(HKEY root, const RegPath& path);
    // Removes the key with everything below it; a root key stays.
    bool Remove(HKEY root, const RegPath& path);

    static RegHive Parse(std::string_view bytes);
    std::string Serialize() const;

private:
    std::vector<std::pair<HKEY, std::unique_ptr<RegKey>>> roots_;
};

} // namespace rtl
