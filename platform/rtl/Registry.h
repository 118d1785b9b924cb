#pragma once

// The registry: a tree of keys with typed values below a few root keys. It is
// kept per user in one REGEDIT4 text file, $XDG_CONFIG_HOME/vistelo/registry.reg
// (the environment variable VISTELO_REGISTRY names another file, as tests do).
// Every object reads the file again when it changed on the disk, and every
// change is made under an exclusive lock on the file, read-modify-write, and
// saved atomically, so programs writing at the same time never lose each
// other's values.
//
// Key paths use "\" between names; a path starting with "\" is taken from the
// root key, any other from the open key. Key and value names are compared
// without letter case and keep the case they were created with.

#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TStrings;
namespace rtl {
class RegHive;
class RegKey;
struct RegValue;
} // namespace rtl

using HKEY = uint32_t;

constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;
constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;
constexpr HKEY HKEY_DYN_DATA = 0x80000006u;

// Access rights; a key opened without KEY_SET_VALUE refuses every change.
using REGSAM = uint32_t;
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// Value types as the hive file stores them.
constexpr uint32_t REG_NONE = 0;
constexpr uint32_t REG_SZ = 1;
constexpr uint32_t REG_EXPAND_SZ = 2;
constexpr uint32_t REG_BINARY = 3;
constexpr uint32_t REG_DWORD = 4;

enum TRegDataType : uint8_t { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
    TRegDataType RegData = rdUnknown;
    int DataSize = 0; // bytes; strings count their UTF-8 bytes and a closing zero
};

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

class TRegistry : public TObject {
    DECLARE_CLASS(TRegistry, TObject)
public:
    explicit TRegistry(REGSAM access = KEY_ALL_ACCESS);
    virtual ~TRegistry();

    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // Changing the root key closes the open key.
    HKEY RootKey() const { return rootKey_; }
    void SetRootKey(HKEY rootKey);
    // Non-zero while a key is open.
    HKEY CurrentKey() const { return currentKey_; }
    // The open key's path below the root, without a leading "\".
    const std::string& CurrentPath() const { return currentPath_; }

    REGSAM Access = KEY_ALL_ACCESS;
    // Accepted for compatibility: changes are always saved at once.
    bool LazyWrite = true;

    // Opens the key, creating it (and its parents) when canCreate is set and
    // the access allows changes. False when it does not exist or cannot be made.
    bool OpenKey(const std::string& key, bool canCreate);
    // Opens an existing key for reading only; writes to it raise.
    bool OpenKeyReadOnly(const std::string& key);
    void CloseKey();
    // Creates the key; raises ERegistryException when that is not possible.
    bool CreateKey(const std::string& key);
    bool KeyExists(const std::string& key);
    // Deletes the key with all its sub-keys and values.
    bool DeleteKey(const std::string& key);

    // The names of the open key's sub-keys (sorted without case) or values
    // (in the order they were created); empty when no key is open.
    void GetKeyNames(TStrings& strings);
    void GetValueNames(TStrings& strings);
    bool ValueExists(const std::string& name);
    bool DeleteValue(const std::string& name);

    bool GetDataInfo(const std::string& name, TRegDataInfo& info);
    // rdUnknown when the value is missing.
    TRegDataType GetDataType(const std::string& name);
    // -1 when the value is missing.
    int GetDataSize(const std::string& name);

    // Typed reads raise ERegistryException when the value is of another type.
    // ReadString gives "" for a missing value (string and expand-string values
    // are read alike); the other reads raise for a missing value too.
    std::string ReadString(const std::string& name);
    int32_t ReadInteger(const std::string& name);
    bool ReadBool(const std::string& name);
    // Copies the binary value into buffer and returns its size; raises when
    // it is missing, not binary or larger than bufSize.
    int ReadBinaryData(const std::string& name, void* buffer, int bufSize);

    // Writes raise ERegistryException when no key is open, the key was opened
    // read-only or was deleted meanwhile, or the file cannot be saved.
    void WriteString(const std::string& name, const std::string& value);
    void WriteExpandString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, int32_t value);
    void WriteBool(const std::string& name, bool value); // an integer 0 or 1
    void WriteBinaryData(const std::string& name, const void* buffer, int bufSize);

protected:
    // The path below the root that key names: from the root when it starts
    // with "\" or no key is open, else below the open key.
    std::string AbsolutePath(const std::string& key) const;
    // Whether this object may create the key (its access and, for a path
    // below the open key, that key's).
    bool CanCreateBelow(const std::string& key) const;
    bool Exists(const std::string& path) const;
    // Creates the key with its parents; false for an invalid path. Raises
    // ERegistryException when the file cannot be read or saved.
    bool Create(const std::string& path);
    std::optional<rtl::RegValue> FindValue(const std::string& name) const;

private:
    bool TryCreate(const std::string& path);
    void SetCurrent(const std::string& path, bool writable);
    const rtl::RegKey* OpenNode(const rtl::RegHive& hive) const;
    rtl::RegValue RequireValue(const std::string& name) const;
    void WriteValue(const std::string& name, uint32_t type, std::string data);

    HKEY rootKey_ = HKEY_CURRENT_USER;
    HKEY currentKey_ = 0;
    std::string currentPath_;
    bool currentWritable_ = false;
};

// Ini-file style access to the registry: the object opens its key (a key path
// from the root, HKEY_CURRENT_USER unless changed; created when the access
// allows it); a section is a key path below it, or from the root
// when it starts with "\", and a key of the section is a value of that key.
// Integers and booleans are written as registry integers; reads also accept
// them written as text, and ReadString gives an integer as its decimal text.
class TRegIniFile : public TRegistry {
    DECLARE_CLASS(TRegIniFile, TRegistry)
public:
    explicit TRegIniFile(const std::string& fileName, REGSAM access = KEY_ALL_ACCESS);

    const std::string& FileName() const { return fileName_; }

    std::string ReadString(const std::string& section, const std::string& ident, const std::string& defaultValue);
    void WriteString(const std::string& section, const std::string& ident, const std::string& value);
    int32_t ReadInteger(const std::string& section, const std::string& ident, int32_t defaultValue);
    void WriteInteger(const std::string& section, const std::string& ident, int32_t value);
    bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue);
    void WriteBool(const std::string& section, const std::string& ident, bool value);

    // The value names of a section.
    void ReadSection(const std::string& section, TStrings& strings);
    // The sub-keys of the object's key.
    void ReadSections(TStrings& strings);
    // "Name=Value" for every value of the section that reads as text.
    void ReadSectionValues(const std::string& section, TStrings& strings);
    // Deletes the section's key with everything below it.
    void EraseSection(const std::string& section);
    // Deletes one value of the section.
    void DeleteKey(const std::string& section, const std::string& ident);
    using TRegistry::DeleteKey;

private:
    // The key of a section: below the object's key, or from the root when
    // the section starts with "\".
    std::vector<std::string> SectionPath(const std::string& section) const;
    template <class Inspect> auto ReadSectionKey(const std::string& section, Inspect inspect) const;
    std::optional<rtl::RegValue> SectionValue(const std::string& section, const std::string& ident) const;
    void WriteSectionValue(const std::string& section, const std::string& ident, uint32_t type, std::string data);

    std::string fileName_;
};
