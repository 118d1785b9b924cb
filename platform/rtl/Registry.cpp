#include "platform/rtl/Registry.h"

#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/RegistryHive.h"
#include "platform/rtl/SettingsFile.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysPaths.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <unistd.h>

IMPLEMENT_CLASS(TRegistry)
IMPLEMENT_CLASS(TRegIniFile)

namespace {

using rtl::RegHive;
using rtl::RegKey;
using rtl::RegPath;
using rtl::RegValue;

constexpr size_t MaxHiveBytes = 64u << 20;

std::string HiveFileName()
{
    if (const char* named = std::getenv("VISTELO_REGISTRY"); named != nullptr && *named != '\0')
        return named;
    return rtl::ConfigDir() + "registry.reg"; // ConfigDir ends with "/"
}

// Held while a change is read, made and saved, so that programs changing the
// registry at the same time take turns. The lock lies on a file of its own,
// since the registry file itself is replaced by every save.
class ExclusiveFileLock {
public:
    explicit ExclusiveFileLock(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666))
    {
        if (fd_ < 0)
            throw ERegistryException("Cannot lock the registry (" + path + "): " + std::strerror(errno));
        while (flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                const int error = errno;
                close(fd_);
                throw ERegistryException("Cannot lock the registry (" + path + "): " + std::strerror(error));
            }
        }
    }
    ~ExclusiveFileLock() { close(fd_); }
    ExclusiveFileLock(const ExclusiveFileLock&) = delete;
    ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;

private:
    int fd_;
};

// One registry file as this process sees it, shared by every TRegistry on it.
class HiveStore {
public:
    explicit HiveStore(const std::string& path) : file_(path, MaxHiveBytes) { }

    // Runs inspect on the tree as it is on the disk now. An unreadable file
    // reads as an empty registry.
    template <class Inspect> auto Read(Inspect inspect)
    {
        std::lock_guard guard(mutex_);
        if (file_.Changed())
            Load();
        return inspect(static_cast<const RegHive&>(hive_));
    }

    // Runs change on the newest tree under the file lock and saves the result
    // when change reports that it changed something.
    template <class Change> void Write(Change change)
    {
        std::lock_guard guard(mutex_);
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(file_.Path()).parent_path(), ignored);
        ExclusiveFileLock lock(file_.Path() + ".lock");
        if (!Load())
            throw ERegistryException("Cannot read the registry file \"" + file_.Path() + "\"; it is left unchanged");
        if (!change(hive_))
            return;
        try {
            file_.Write(hive_.Serialize());
        } catch (const EInOutError& error) {
            throw ERegistryException("Cannot save the registry: " + error.Message);
        }
    }

private:
    bool Load()
    {
        hive_ = RegHive();
        try {
            if (const auto bytes = file_.Read())
                hive_ = RegHive::Parse(*bytes);
            return true;
        } catch (const EInOutError&) {
            return false;
        }
    }

    std::mutex mutex_;
    rtl::WatchedFile file_;
    RegHive hive_;
};

HiveStore& CurrentHive()
{
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<HiveStore>> stores;
    const std::string path = HiveFileName();
    std::lock_guard guard(mutex);
    auto& store = stores[path];
    if (!store)
        store = std::make_unique<HiveStore>(path);
    return *store;
}

HKEY NewKeyHandle()
{
    static std::atomic<HKEY> next{1};
    HKEY handle = next++;
    return handle == 0 ? next++ : handle;
}

TRegDataType DataTypeOf(uint32_t type)
{
    switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
    }
}

int DataSizeOf(const RegValue& value)
{
    const bool text = value.Type == REG_SZ || value.Type == REG_EXPAND_SZ;
    return static_cast<int>(value.Data.size()) + (text ? 1 : 0);
}

int32_t IntegerOf(const RegValue& value)
{
    // Data shorter than four bytes reads as if the missing high bytes were 0.
    uint8_t bytes[4] = {};
    std::memcpy(bytes, value.Data.data(), std::min<size_t>(value.Data.size(), 4));
    return rtl::GetLE32s(bytes);
}

std::string DwordBytes(int32_t value)
{
    std::string bytes(4, '\0');
    rtl::PutLE32(reinterpret_cast<uint8_t*>(bytes.data()), static_cast<uint32_t>(value));
    return bytes;
}

[[noreturn]] void ReadError(const std::string& name)
{
    throw ERegistryException("Invalid data type for '" + name + "'");
}

} // namespace

// ---------------------------------------------------------------------------
// TRegistry

TRegistry::TRegistry(REGSAM access) : Access(access) { }

TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(HKEY rootKey)
{
    if (rootKey == rootKey_)
        return;
    CloseKey();
    rootKey_ = rootKey;
}

std::string TRegistry::AbsolutePath(const std::string& key) const
{
    if (key.starts_with('\\') || currentKey_ == 0)
        return rtl::JoinKeyPath(rtl::SplitKeyPath(key));
    return rtl::JoinKeyPath(rtl::SplitKeyPath(currentPath_ + "\\" + key));
}

bool TRegistry::CanCreateBelow(const std::string& key) const
{
    const bool belowOpenKey = !key.starts_with('\\') && currentKey_ != 0;
    return (Access & KEY_CREATE_SUB_KEY) != 0 && (!belowOpenKey || currentWritable_);
}

bool TRegistry::Exists(const std::string& path) const
{
    const RegPath parts = rtl::SplitKeyPath(path);
    return CurrentHive().Read([&](const RegHive& hive) { return hive.Find(rootKey_, parts) != nullptr; });
}

bool TRegistry::Create(const std::string& path)
{
    const RegPath parts = rtl::SplitKeyPath(path);
    bool created = false;
    CurrentHive().Write([&](RegHive& hive) {
        const bool existed = hive.Find(rootKey_, parts) != nullptr;
        created = hive.Ensure(rootKey_, parts) != nullptr;
        return created && !existed;
    });
    return created;
}

bool TRegistry::TryCreate(const std::string& path)
{
    try {
        return Create(path);
    } catch (const ERegistryException&) {
        return false; // the registry file cannot be read or saved
    }
}

void TRegistry::SetCurrent(const std::string& path, bool writable)
{
    currentKey_ = NewKeyHandle();
    currentPath_ = path;
    currentWritable_ = writable;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate)
{
    const std::string path = AbsolutePath(key);
    if (!Exists(path) && !(canCreate && CanCreateBelow(key) && TryCreate(path)))
        return false;
    SetCurrent(path, (Access & KEY_SET_VALUE) != 0);
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key)
{
    const std::string path = AbsolutePath(key);
    if (!Exists(path))
        return false;
    SetCurrent(path, false);
    return true;
}

void TRegistry::CloseKey()
{
    currentKey_ = 0;
    currentPath_.clear();
    currentWritable_ = false;
}

bool TRegistry::CreateKey(const std::string& key)
{
    if (!CanCreateBelow(key) || !Create(AbsolutePath(key)))
        throw ERegistryException("Failed to create key " + key);
    return true;
}

bool TRegistry::KeyExists(const std::string& key) { return Exists(AbsolutePath(key)); }

bool TRegistry::DeleteKey(const std::string& key)
{
    const RegPath parts = rtl::SplitKeyPath(AbsolutePath(key));
    const bool belowOpenKey = !key.starts_with('\\') && currentKey_ != 0;
    if (parts.empty() || (Access & KEY_SET_VALUE) == 0 || (belowOpenKey && !currentWritable_))
        return false;
    bool removed = false;
    CurrentHive().Write([&](RegHive& hive) { return removed = hive.Remove(rootKey_, parts); });
    return removed;
}

const RegKey* TRegistry::OpenNode(const RegHive& hive) const
{
    return currentKey_ == 0 ? nullptr : hive.Find(rootKey_, rtl::SplitKeyPath(currentPath_));
}

void TRegistry::GetKeyNames(TStrings& strings)
{
    strings.Clear();
    CurrentHive().Read([&](const RegHive& hive) {
        if (const RegKey* key = OpenNode(hive))
            for (const auto& sub : key->SubKeys)
                strings.Add(sub->Name);
        return 0;
    });
}

void TRegistry::GetValueNames(TStrings& strings)
{
    strings.Clear();
    CurrentHive().Read([&](const RegHive& hive) {
        if (const RegKey* key = OpenNode(hive))
            for (const auto& value : key->Values)
                strings.Add(value.Name);
        return 0;
    });
}

std::optional<RegValue> TRegistry::FindValue(const std::string& name) const
{
    return CurrentHive().Read([&](const RegHive& hive) -> std::optional<RegValue> {
        const RegKey* key = OpenNode(hive);
        const RegValue* value = key == nullptr ? nullptr : key->Value(name);
        if (value == nullptr)
            return std::nullopt;
        return *value;
    });
}

bool TRegistry::ValueExists(const std::string& name) { return FindValue(name).has_value(); }

bool TRegistry::DeleteValue(const std::string& name)
{
    if (currentKey_ == 0 || !currentWritable_)
        return false;
    const RegPath parts = rtl::SplitKeyPath(currentPath_);
    bool removed = false;
    CurrentHive().Write([&](RegHive& hive) {
        RegKey* key = hive.Find(rootKey_, parts);
        return removed = key != nullptr && key->RemoveValue(name);
    });
    return removed;
}

bool TRegistry::GetDataInfo(const std::string& name, TRegDataInfo& info)
{
    const auto value = FindValue(name);
    info = value ? TRegDataInfo{DataTypeOf(value->Type), DataSizeOf(*value)} : TRegDataInfo{};
    return value.has_value();
}

TRegDataType TRegistry::GetDataType(const std::string& name)
{
    TRegDataInfo info;
    GetDataInfo(name, info);
    return info.RegData;
}

int TRegistry::GetDataSize(const std::string& name)
{
    TRegDataInfo info;
    return GetDataInfo(name, info) ? info.DataSize : -1;
}

RegValue TRegistry::RequireValue(const std::string& name) const
{
    auto value = FindValue(name);
    if (!value)
        throw ERegistryException("Failed to get data for '" + name + "'");
    return std::move(*value);
}

std::string TRegistry::ReadString(const std::string& name)
{
    const auto value = FindValue(name);
    if (!value)
        return {};
    if (value->Type != REG_SZ && value->Type != REG_EXPAND_SZ)
        ReadError(name);
    return value->Data;
}

int32_t TRegistry::ReadInteger(const std::string& name)
{
    const RegValue value = RequireValue(name);
    if (value.Type != REG_DWORD)
        ReadError(name);
    return IntegerOf(value);
}

bool TRegistry::ReadBool(const std::string& name) { return ReadInteger(name) != 0; }

int TRegistry::ReadBinaryData(const std::string& name, void* buffer, int bufSize)
{
    const RegValue value = RequireValue(name);
    const TRegDataType type = DataTypeOf(value.Type);
    if ((type != rdBinary && type != rdUnknown) || bufSize < 0 || value.Data.size() > static_cast<size_t>(bufSize))
        ReadError(name);
    if (!value.Data.empty())
        std::memcpy(buffer, value.Data.data(), value.Data.size());
    return static_cast<int>(value.Data.size());
}

void TRegistry::WriteValue(const std::string& name, uint32_t type, std::string data)
{
    if (currentKey_ == 0 || !currentWritable_ || !rtl::IsValidValueName(name))
        throw ERegistryException("Failed to set data for '" + name + "'");
    const RegPath parts = rtl::SplitKeyPath(currentPath_);
    CurrentHive().Write([&](RegHive& hive) {
        RegKey* key = hive.Find(rootKey_, parts);
        if (key == nullptr)
            throw ERegistryException("Failed to set data for '" + name + "': the key was deleted");
        return key->SetValue(name, type, std::move(data));
    });
}

void TRegistry::WriteString(const std::string& name, const std::string& value) { WriteValue(name, REG_SZ, value); }

void TRegistry::WriteExpandString(const std::string& name, const std::string& value)
{
    WriteValue(name, REG_EXPAND_SZ, value);
}

void TRegistry::WriteInteger(const std::string& name, int32_t value) { WriteValue(name, REG_DWORD, DwordBytes(value)); }

void TRegistry::WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

void TRegistry::WriteBinaryData(const std::string& name, const void* buffer, int bufSize)
{
    if (bufSize < 0 || (buffer == nullptr && bufSize > 0))
        throw ERegistryException("Failed to set data for '" + name + "'");
    std::string data;
    if (bufSize > 0)
        data.assign(static_cast<const char*>(buffer), static_cast<size_t>(bufSize));
    WriteValue(name, REG_BINARY, std::move(data));
}

// ---------------------------------------------------------------------------
// TRegIniFile

namespace {

// What an ini-style read gives for a value: text as it is, an integer as
// decimal text; nothing for binary data.
std::optional<std::string> TextOf(const RegValue& value)
{
    if (value.Type == REG_SZ || value.Type == REG_EXPAND_SZ)
        return value.Data;
    if (value.Type == REG_DWORD)
        return std::to_string(IntegerOf(value));
    return std::nullopt;
}

} // namespace

TRegIniFile::TRegIniFile(const std::string& fileName, REGSAM access) : TRegistry(access), fileName_(fileName)
{
    OpenKey("\\" + fileName, true);
}

RegPath TRegIniFile::SectionPath(const std::string& section) const
{
    return rtl::SplitKeyPath(section.starts_with('\\') ? section : fileName_ + "\\" + section);
}

template <class Inspect> auto TRegIniFile::ReadSectionKey(const std::string& section, Inspect inspect) const
{
    const RegPath path = SectionPath(section);
    return CurrentHive().Read([&](const RegHive& hive) { return inspect(hive.Find(RootKey(), path)); });
}

std::optional<RegValue> TRegIniFile::SectionValue(const std::string& section, const std::string& ident) const
{
    return ReadSectionKey(section, [&](const RegKey* key) -> std::optional<RegValue> {
        const RegValue* value = key == nullptr ? nullptr : key->Value(ident);
        if (value == nullptr)
            return std::nullopt;
        return *value;
    });
}

void TRegIniFile::WriteSectionValue(const std::string& section, const std::string& ident, uint32_t type,
                                    std::string data)
{
    if ((Access & KEY_SET_VALUE) == 0 || !rtl::IsValidValueName(ident))
        throw ERegistryException("Failed to set data for '" + ident + "'");
    const RegPath path = SectionPath(section);
    CurrentHive().Write([&](RegHive& hive) {
        RegKey* key = hive.Ensure(RootKey(), path);
        if (key == nullptr)
            throw ERegistryException("Failed to create key " + section);
        return key->SetValue(ident, type, std::move(data));
    });
}

std::string TRegIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& defaultValue)
{
    const auto value = SectionValue(section, ident);
    return (value ? TextOf(*value) : std::nullopt).value_or(defaultValue);
}

void TRegIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value)
{
    WriteSectionValue(section, ident, REG_SZ, value);
}

int32_t TRegIniFile::ReadInteger(const std::string& section, const std::string& ident, int32_t defaultValue)
{
    const auto value = SectionValue(section, ident);
    if (!value)
        return defaultValue;
    if (value->Type == REG_DWORD)
        return IntegerOf(*value);
    const auto text = TextOf(*value);
    return (text ? rtl::ParseIniInteger(*text) : std::nullopt).value_or(defaultValue);
}

void TRegIniFile::WriteInteger(const std::string& section, const std::string& ident, int32_t value)
{
    WriteSectionValue(section, ident, REG_DWORD, DwordBytes(value));
}

bool TRegIniFile::ReadBool(const std::string& section, const std::string& ident, bool defaultValue)
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const std::string& section, const std::string& ident, bool value)
{
    WriteInteger(section, ident, value ? 1 : 0);
}

void TRegIniFile::ReadSection(const std::string& section, TStrings& strings)
{
    strings.Clear();
    ReadSectionKey(section, [&](const RegKey* key) {
        if (key != nullptr)
            for (const auto& value : key->Values)
                strings.Add(value.Name);
        return 0;
    });
}

void TRegIniFile::ReadSections(TStrings& strings)
{
    strings.Clear();
    ReadSectionKey("", [&](const RegKey* key) {
        if (key != nullptr)
            for (const auto& sub : key->SubKeys)
                strings.Add(sub->Name);
        return 0;
    });
}

void TRegIniFile::ReadSectionValues(const std::string& section, TStrings& strings)
{
    strings.Clear();
    ReadSectionKey(section, [&](const RegKey* key) {
        if (key != nullptr)
            for (const auto& value : key->Values)
                if (const auto text = TextOf(value))
                    strings.Add(value.Name + "=" + *text);
        return 0;
    });
}

void TRegIniFile::EraseSection(const std::string& section)
{
    if ((Access & KEY_SET_VALUE) == 0)
        return;
    const RegPath path = SectionPath(section);
    CurrentHive().Write([&](RegHive& hive) { return hive.Remove(RootKey(), path); });
}

void TRegIniFile::DeleteKey(const std::string& section, const std::string& ident)
{
    if ((Access & KEY_SET_VALUE) == 0)
        return;
    const RegPath path = SectionPath(section);
    CurrentHive().Write([&](RegHive& hive) {
        RegKey* key = hive.Find(RootKey(), path);
        return key != nullptr && key->RemoveValue(ident);
    });
}
