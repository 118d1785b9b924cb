#pragma once

// The table of published properties: per class, the properties that can be
// read and written by name (form placement, property storage, progress
// controls driven by name). Classes register theirs by hand, in declaration
// order; a class sees its ancestors' properties first, then its own.
//
//     rtl::RegisterPublishedProperty<TGauge>("Progress", tkInteger,
//         [](const TGauge& g) { return TPropValue(int64_t(g.Progress())); },
//         [](TGauge& g, const TPropValue& v) { g.SetProgress(int(std::get<int64_t>(v))); });
//
// Properties of a class that lives in a package are dropped when the package
// is unloaded.

#include "platform/rtl/Classes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

enum TTypeKind {
    tkUnknown,
    tkInteger,
    tkChar,
    tkEnumeration,
    tkFloat,
    tkString,
    tkSet,
    tkClass,
    tkMethod,
    tkWChar,
    tkLString,
    tkWString,
    tkVariant,
    tkInt64
};

// The precision of a floating-point property.
enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

// A property value: int64_t for the ordinal kinds (integer, characters,
// enumerations as their index, sets as a bit mask of member indexes, int64),
// double for floats, std::string for the string kinds and variants (as text),
// TObject* for objects.
using TPropValue = std::variant<int64_t, double, std::string, TObject*>;

struct TPropInfo {
    std::string Name;
    TTypeKind Kind = tkUnknown;
    std::vector<std::string> EnumNames; // identifiers of an enumeration, or of a set's members
    TFloatType FloatType = ftDouble;
    TClass PropClass = nullptr; // declared class of an object property
    std::function<TPropValue(const TObject&)> Get;
    std::function<void(TObject&, const TPropValue&)> Set; // empty: read-only
};

// A property that does not exist or cannot be written.
class EPropertyError : public Exception {
public:
    using Exception::Exception;
};

// A value of the wrong kind for the property.
class EPropertyConvertError : public EPropertyError {
public:
    using EPropertyError::EPropertyError;
};

namespace rtl {

using TPropGetter = std::function<TPropValue(const TObject&)>;
using TPropSetter = std::function<void(TObject&, const TPropValue&)>;

// Appends the property to the class's table. A name the class already has
// (letter case ignored) is replaced; a name an ancestor has keeps the
// ancestor's place in the lists of this class and its descendants.
const TPropInfo& RegisterPublishedProperty(TClass AClass, TPropInfo Info);
const TPropInfo& RegisterPublishedProperty(TClass AClass, const std::string& Name, TTypeKind Kind, TPropGetter Getter,
                                           TPropSetter Setter, std::vector<std::string> EnumNames = {});

// The same with accessors on the class itself.
template <class T> const TPropInfo& RegisterPublishedProperty(const std::string& Name, TTypeKind Kind,
                                                              std::function<TPropValue(const T&)> Getter,
                                                              std::function<void(T&, const TPropValue&)> Setter,
                                                              std::vector<std::string> EnumNames = {})
{
    TPropSetter setter;
    if (Setter)
        setter = [Setter](TObject& object, const TPropValue& value) { Setter(static_cast<T&>(object), value); };
    return RegisterPublishedProperty(
        T::StaticClass(), Name, Kind, [Getter](const TObject& object) { return Getter(static_cast<const T&>(object)); },
        std::move(setter), std::move(EnumNames));
}

void UnregisterPublishedProperties(TClass AClass);
// The classes that registered properties of their own.
std::vector<TClass> ClassesWithPublishedProperties();

// The properties of the class and its ancestors, ancestors' first, in
// declaration order.
std::vector<const TPropInfo*> GetPublishedProperties(TClass AClass);
std::vector<const TPropInfo*> GetPublishedProperties(const TObject& Instance);
// nullptr when the object has no property of that name (letter case ignored).
const TPropInfo* GetPropInfo(const TObject& Instance, const std::string& PropName);

// Typed access by name. EPropertyError for an unknown or read-only property,
// EPropertyConvertError when the property is of another kind or an
// enumeration value is out of range.
int64_t GetOrdProp(const TObject& Instance, const std::string& PropName);
void SetOrdProp(TObject& Instance, const std::string& PropName, int64_t Value);
std::string GetStrProp(const TObject& Instance, const std::string& PropName);
void SetStrProp(TObject& Instance, const std::string& PropName, const std::string& Value);
double GetFloatProp(const TObject& Instance, const std::string& PropName);
void SetFloatProp(TObject& Instance, const std::string& PropName, double Value);
// Enumerations by identifier (letter case ignored when setting).
std::string GetEnumProp(const TObject& Instance, const std::string& PropName);
void SetEnumProp(TObject& Instance, const std::string& PropName, const std::string& Value);
TObject* GetObjectProp(const TObject& Instance, const std::string& PropName);
void SetObjectProp(TObject& Instance, const std::string& PropName, TObject* Value);

// Untyped access through a descriptor; the value must match the kind.
TPropValue GetPropValue(const TObject& Instance, const TPropInfo& Info);
void SetPropValue(TObject& Instance, const TPropInfo& Info, const TPropValue& Value);

} // namespace rtl
