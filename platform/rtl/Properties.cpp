#include "platform/rtl/Properties.h"

#include "platform/rtl/CodePage.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct PropertyTable {
    std::mutex lock;
    // Descriptors are allocated one by one so that pointers handed out stay
    // valid while the table grows.
    std::map<TClass, std::vector<std::unique_ptr<TPropInfo>>> byClass;
};

PropertyTable& Table()
{
    static auto* table = new PropertyTable; // accessors may live in modules unloaded at exit
    return *table;
}

bool IsOrdinal(TTypeKind kind)
{
    switch (kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet:
    case tkInt64: return true;
    default: return false;
    }
}

bool IsString(TTypeKind kind)
{
    return kind == tkString || kind == tkLString || kind == tkWString || kind == tkVariant;
}

bool IsFloat(TTypeKind kind) { return kind == tkFloat; }
bool IsEnumeration(TTypeKind kind) { return kind == tkEnumeration; }
bool IsObject(TTypeKind kind) { return kind == tkClass; }

// The alternative of TPropValue that holds values of this kind.
size_t ValueIndexOf(TTypeKind kind)
{
    if (IsOrdinal(kind))
        return 0;
    if (kind == tkFloat)
        return 1;
    if (IsString(kind))
        return 2;
    if (kind == tkClass)
        return 3;
    return std::variant_npos;
}

[[noreturn]] void InvalidType(const TPropInfo& info)
{
    throw EPropertyConvertError("Invalid property type: " + info.Name);
}

void CheckValue(const TPropInfo& info, const TPropValue& value)
{
    if (value.index() != ValueIndexOf(info.Kind))
        InvalidType(info);
    const auto members = static_cast<int64_t>(info.EnumNames.size());
    if (info.Kind == tkEnumeration && members > 0) {
        const int64_t ordinal = std::get<int64_t>(value);
        if (ordinal < 0 || ordinal >= members)
            throw EPropertyConvertError("Invalid property value " + std::to_string(ordinal) + " for " + info.Name);
    }
    if (info.Kind == tkSet && members > 0 && members < 64) {
        const auto mask = static_cast<uint64_t>(std::get<int64_t>(value));
        if (mask >> members)
            throw EPropertyConvertError("Invalid set value for " + info.Name);
    }
    if (info.Kind == tkClass && info.PropClass) {
        const TObject* object = std::get<TObject*>(value);
        if (object && !object->InheritsFrom(info.PropClass))
            throw EPropertyConvertError("Invalid class " + object->ClassName() + " for " + info.Name);
    }
}

// The named property, checked to be of a kind the caller can handle.
const TPropInfo& RequireKind(const TObject& instance, const std::string& name, bool (*accepts)(TTypeKind))
{
    const TPropInfo* info = rtl::GetPropInfo(instance, name);
    if (!info)
        throw EPropertyError("Unknown property: " + name);
    if (!accepts(info->Kind))
        InvalidType(*info);
    return *info;
}

void AddOrReplace(std::vector<const TPropInfo*>& list, const TPropInfo* info)
{
    for (const TPropInfo*& present : list) {
        if (rtl::AnsiSameText(present->Name, info->Name)) {
            present = info;
            return;
        }
    }
    list.push_back(info);
}

} // namespace

namespace rtl {

const TPropInfo& RegisterPublishedProperty(TClass AClass, TPropInfo Info)
{
    PropertyTable& table = Table();
    std::lock_guard guard(table.lock);
    auto& own = table.byClass[AClass];
    auto info = std::make_unique<TPropInfo>(std::move(Info));
    for (auto& present : own) {
        if (rtl::AnsiSameText(present->Name, info->Name)) {
            present = std::move(info);
            return *present;
        }
    }
    own.push_back(std::move(info));
    return *own.back();
}

const TPropInfo& RegisterPublishedProperty(TClass AClass, const std::string& Name, TTypeKind Kind, TPropGetter Getter,
                                           TPropSetter Setter, std::vector<std::string> EnumNames)
{
    TPropInfo info;
    info.Name = Name;
    info.Kind = Kind;
    info.EnumNames = std::move(EnumNames);
    info.Get = std::move(Getter);
    info.Set = std::move(Setter);
    return RegisterPublishedProperty(AClass, std::move(info));
}

void UnregisterPublishedProperties(TClass AClass)
{
    PropertyTable& table = Table();
    std::lock_guard guard(table.lock);
    table.byClass.erase(AClass);
}

std::vector<TClass> ClassesWithPublishedProperties()
{
    PropertyTable& table = Table();
    std::lock_guard guard(table.lock);
    std::vector<TClass> classes;
    for (const auto& entry : table.byClass)
        classes.push_back(entry.first);
    return classes;
}

std::vector<const TPropInfo*> GetPublishedProperties(TClass AClass)
{
    std::vector<TClass> chain; // the class first, the root last
    for (TClass c = AClass; c; c = c->ClassParent())
        chain.push_back(c);
    PropertyTable& table = Table();
    std::lock_guard guard(table.lock);
    std::vector<const TPropInfo*> result;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        auto found = table.byClass.find(*it);
        if (found == table.byClass.end())
            continue;
        for (const auto& info : found->second)
            AddOrReplace(result, info.get());
    }
    return result;
}

std::vector<const TPropInfo*> GetPublishedProperties(const TObject& Instance)
{
    return GetPublishedProperties(Instance.ClassType());
}

const TPropInfo* GetPropInfo(const TObject& Instance, const std::string& PropName)
{
    for (const TPropInfo* info : GetPublishedProperties(Instance))
        if (rtl::AnsiSameText(info->Name, PropName))
            return info;
    return nullptr;
}

TPropValue GetPropValue(const TObject& Instance, const TPropInfo& Info)
{
    if (!Info.Get || ValueIndexOf(Info.Kind) == std::variant_npos)
        InvalidType(Info);
    TPropValue value = Info.Get(Instance);
    if (value.index() != ValueIndexOf(Info.Kind))
        InvalidType(Info);
    return value;
}

void SetPropValue(TObject& Instance, const TPropInfo& Info, const TPropValue& Value)
{
    if (!Info.Set)
        throw EPropertyError("Property " + Info.Name + " is read-only");
    CheckValue(Info, Value);
    Info.Set(Instance, Value);
}

int64_t GetOrdProp(const TObject& Instance, const std::string& PropName)
{
    return std::get<int64_t>(GetPropValue(Instance, RequireKind(Instance, PropName, IsOrdinal)));
}

void SetOrdProp(TObject& Instance, const std::string& PropName, int64_t Value)
{
    SetPropValue(Instance, RequireKind(Instance, PropName, IsOrdinal), Value);
}

std::string GetStrProp(const TObject& Instance, const std::string& PropName)
{
    return std::get<std::string>(GetPropValue(Instance, RequireKind(Instance, PropName, IsString)));
}

void SetStrProp(TObject& Instance, const std::string& PropName, const std::string& Value)
{
    SetPropValue(Instance, RequireKind(Instance, PropName, IsString), Value);
}

double GetFloatProp(const TObject& Instance, const std::string& PropName)
{
    return std::get<double>(GetPropValue(Instance, RequireKind(Instance, PropName, IsFloat)));
}

void SetFloatProp(TObject& Instance, const std::string& PropName, double Value)
{
    SetPropValue(Instance, RequireKind(Instance, PropName, IsFloat), Value);
}

std::string GetEnumProp(const TObject& Instance, const std::string& PropName)
{
    const TPropInfo& info = RequireKind(Instance, PropName, IsEnumeration);
    const int64_t ordinal = std::get<int64_t>(GetPropValue(Instance, info));
    if (ordinal < 0 || ordinal >= static_cast<int64_t>(info.EnumNames.size()))
        return std::to_string(ordinal);
    return info.EnumNames[static_cast<size_t>(ordinal)];
}

void SetEnumProp(TObject& Instance, const std::string& PropName, const std::string& Value)
{
    const TPropInfo& info = RequireKind(Instance, PropName, IsEnumeration);
    auto found = std::find_if(info.EnumNames.begin(), info.EnumNames.end(),
                              [&](const std::string& name) { return rtl::AnsiSameText(name, Value); });
    if (found == info.EnumNames.end())
        throw EPropertyConvertError("Invalid property element: " + Value);
    SetPropValue(Instance, info, static_cast<int64_t>(found - info.EnumNames.begin()));
}

TObject* GetObjectProp(const TObject& Instance, const std::string& PropName)
{
    return std::get<TObject*>(GetPropValue(Instance, RequireKind(Instance, PropName, IsObject)));
}

void SetObjectProp(TObject& Instance, const std::string& PropName, TObject* Value)
{
    SetPropValue(Instance, RequireKind(Instance, PropName, IsObject), Value);
}

} // namespace rtl
