#include "widgets/Ksprops.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Forms.h"
#include "widgets/Strutils.h"

#include <algorithm>
#include <charconv>

namespace Ksprops {

std::string sPropNameDelimiter = "_";

} // namespace Ksprops

IMPLEMENT_CLASS(TPropInfoList)
IMPLEMENT_CLASS(TPropsStorage)
IMPLEMENT_CLASS(TStoredValue)
IMPLEMENT_CLASS(TStoredValues)

namespace {

// More lines or items than any settings section holds; a larger count read
// back is damage, not data.
constexpr int64_t MaxStoredItems = 65536;
// Objects nested in objects are followed this deep at most.
constexpr int MaxNesting = 8;
const char* const MissingValue = "\x01";

std::string Trim(const std::string& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

int64_t ParseInteger(const std::string& text)
{
    int64_t value = 0;
    const char* begin = text.data();
    if (!text.empty() && text[0] == '+')
        ++begin;
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

int FloatPrecision(TFloatType type)
{
    switch (type) {
    case ftSingle: return 7;
    case ftDouble: return 15;
    case ftExtended:
    case ftComp: return 18;
    case ftCurr: return 19;
    }
    return 15;
}

std::string EncodeUtf8(uint32_t code)
{
    std::string out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | ((code >> 12) & 0x0F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

uint32_t FirstCodePoint(const std::string& text)
{
    const auto byte = [&](size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    const unsigned lead = byte(0);
    if (lead >= 0xE0 && text.size() >= 3)
        return ((lead & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    if (lead >= 0xC0 && text.size() >= 2)
        return ((lead & 0x1F) << 6) | (byte(1) & 0x3F);
    return lead;
}

int FindEnumName(const TPropInfo& P, const std::string& name)
{
    for (size_t i = 0; i < P.EnumNames.size(); ++i)
        if (rtl::AnsiSameText(P.EnumNames[i], name))
            return static_cast<int>(i);
    return -1;
}

std::string SetText(const TPropInfo& P, int64_t mask)
{
    std::string text;
    for (size_t i = 0; i < P.EnumNames.size() && i < 32; ++i) {
        if ((static_cast<uint64_t>(mask) >> i) & 1) {
            if (!text.empty())
                text += ',';
            text += P.EnumNames[i];
        }
    }
    return "[" + text + "]";
}

int64_t SetFromText(const TPropInfo& P, const std::string& text)
{
    const TCharSet delims = Strutils::CharSet(" ,[]");
    int64_t mask = 0;
    for (int i = 1, count = Strutils::WordCount(text, delims); i <= count; ++i) {
        const int member = FindEnumName(P, Strutils::ExtractWord(i, text, delims));
        if (member >= 0 && member <= 31)
            mask |= int64_t(1) << member;
    }
    return mask;
}

bool StoredWhenEmpty(TTypeKind kind) { return kind == tkString || kind == tkWChar || kind == tkLString; }

} // namespace

namespace Ksprops {

std::string CreateStoredItem(const std::string& CompName, const std::string& PropName)
{
    if (CompName.empty() || PropName.empty())
        return {};
    return CompName + "." + PropName;
}

bool ParseStoredItem(const std::string& Item, std::string& CompName, std::string& PropName)
{
    const size_t dot = Item.find('.');
    if (dot == std::string::npos)
        return false;
    CompName = Trim(Item.substr(0, dot));
    PropName = Trim(Item.substr(dot + 1));
    return !CompName.empty() && !PropName.empty();
}

void UpdateStoredList(TComponent* AForm, TStrings& AStoredList, bool FromForm)
{
    for (int i = AStoredList.Count() - 1; i >= 0; --i) {
        std::string compName, propName;
        if (!ParseStoredItem(AStoredList.Strings(i), compName, propName)) {
            AStoredList.Delete(i);
            continue;
        }
        if (FromForm) {
            TComponent* component = AForm ? AForm->FindComponent(compName) : nullptr;
            if (component)
                AStoredList.SetObjects(i, component);
            else
                AStoredList.Delete(i);
        } else if (auto* component = dynamic_cast<TComponent*>(AStoredList.Objects(i))) {
            AStoredList.SetStrings(i, CreateStoredItem(component->Name(), propName));
        } else {
            AStoredList.Delete(i);
        }
    }
}

} // namespace Ksprops

// TPropInfoList

TPropInfoList::TPropInfoList(const TObject& AObject)
{
    for (const TPropInfo* info : rtl::GetPublishedProperties(AObject))
        if (info->Kind != tkMethod && info->Kind != tkUnknown)
            list_.push_back(info);
}

const TPropInfo* TPropInfoList::Find(const std::string& AName) const
{
    for (const TPropInfo* info : list_)
        if (rtl::AnsiSameText(info->Name, AName))
            return info;
    return nullptr;
}

bool TPropInfoList::Contains(const TPropInfo* P) const
{
    for (const TPropInfo* info : list_)
        if (info->Kind == P->Kind && rtl::AnsiSameText(info->Name, P->Name))
            return true;
    return false;
}

void TPropInfoList::Delete(int Index) { list_.erase(list_.begin() + Index); }

void TPropInfoList::Intersect(const TPropInfoList& List)
{
    for (int i = Count() - 1; i >= 0; --i)
        if (!List.Contains(list_[static_cast<size_t>(i)]))
            Delete(i);
}

// TPropsStorage

std::string TPropsStorage::ReadString(const std::string& ASection, const std::string& Item, const std::string& Default)
{
    return OnReadString ? OnReadString(ASection, Item, Default) : std::string();
}

void TPropsStorage::WriteString(const std::string& ASection, const std::string& Item, const std::string& Value)
{
    if (OnWriteString)
        OnWriteString(ASection, Item, Value);
}

void TPropsStorage::EraseSection(const std::string& ASection)
{
    if (OnEraseSection)
        OnEraseSection(ASection);
}

std::string TPropsStorage::GetItemName(const std::string& APropName) const { return Prefix + APropName; }

std::unique_ptr<TPropsStorage> TPropsStorage::CreateStorage() const { return std::make_unique<TPropsStorage>(); }

std::unique_ptr<TPropsStorage> TPropsStorage::SubStorage(TObject* Object, const std::string& SubPrefix,
                                                         const std::string& SubSection) const
{
    auto storage = CreateStorage();
    storage->AObject = Object;
    storage->Prefix = SubPrefix;
    storage->Section = SubSection;
    storage->OnReadString = OnReadString;
    storage->OnWriteString = OnWriteString;
    storage->OnEraseSection = OnEraseSection;
    storage->owner_ = owner_;
    storage->nesting_ = nesting_ + 1;
    return storage;
}

std::string TPropsStorage::StoreValueText(const TPropInfo& P)
{
    const TPropValue value = rtl::GetPropValue(*AObject, P);
    switch (P.Kind) {
    case tkInteger:
    case tkInt64: return std::to_string(std::get<int64_t>(value));
    case tkChar: {
        const auto code = static_cast<unsigned char>(std::get<int64_t>(value));
        return code == 0 ? std::string() : std::string(1, static_cast<char>(code));
    }
    case tkWChar: {
        const auto code = static_cast<uint32_t>(std::get<int64_t>(value)) & 0xFFFF;
        return code == 0 ? std::string() : EncodeUtf8(code);
    }
    case tkEnumeration: {
        const int64_t index = std::get<int64_t>(value);
        return index >= 0 && index < static_cast<int64_t>(P.EnumNames.size()) ? P.EnumNames[static_cast<size_t>(index)]
                                                                              : std::string();
    }
    case tkFloat: {
        // Stored numbers do not depend on the user's locale.
        TFormatSettings settings = rtl::FormatSettings;
        settings.DecimalSeparator = ".";
        settings.ThousandSeparator.clear();
        return rtl::FloatToStrF(std::get<double>(value), ffGeneral, FloatPrecision(P.FloatType), 0, settings);
    }
    case tkString:
    case tkLString:
    case tkVariant: return std::get<std::string>(value);
    case tkSet: return SetText(P, std::get<int64_t>(value));
    default: return {};
    }
}

void TPropsStorage::LoadValueText(const TPropInfo& P, const std::string& Text)
{
    switch (P.Kind) {
    case tkInteger:
    case tkInt64: rtl::SetPropValue(*AObject, P, ParseInteger(Text)); break;
    case tkChar:
        if (!Text.empty())
            rtl::SetPropValue(*AObject, P, int64_t(static_cast<unsigned char>(Text[0])));
        break;
    case tkWChar:
        if (!Text.empty())
            rtl::SetPropValue(*AObject, P, int64_t(FirstCodePoint(Text)));
        break;
    case tkEnumeration:
        if (const int index = FindEnumName(P, Text); index >= 0)
            rtl::SetPropValue(*AObject, P, int64_t(index));
        break;
    case tkFloat: {
        TFormatSettings settings = rtl::FormatSettings;
        settings.DecimalSeparator = ".";
        settings.ThousandSeparator.clear();
        double value = 0;
        if (!rtl::TryStrToFloat(Text, value, settings))
            throw EConvertError("'" + Text + "' is not a valid floating point value");
        rtl::SetPropValue(*AObject, P, value);
        break;
    }
    case tkString:
    case tkLString:
    case tkVariant: rtl::SetPropValue(*AObject, P, Text); break;
    case tkSet: rtl::SetPropValue(*AObject, P, SetFromText(P, Text)); break;
    default: break;
    }
}

std::string TPropsStorage::ComponentReferenceText(TComponent* Component) const
{
    if (!Component)
        return "(null)";
    TComponent* owner = Component->Owner();
    if (!owner || owner == owner_)
        return Component->Name();
    std::string ownerName = owner->Name();
    if (ownerName.empty()) {
        ownerName = owner->ClassName();
        if (!ownerName.empty() && ownerName[0] == 'T')
            ownerName.erase(0, 1);
    }
    return ownerName + "." + Component->Name();
}

TComponent* TPropsStorage::FindReferencedComponent(const std::string& Text) const
{
    const size_t dot = Text.find('.');
    const std::string ownerName = dot == std::string::npos ? std::string() : Text.substr(0, dot);
    const std::string name = dot == std::string::npos ? Text : Text.substr(dot + 1);
    TComponent* owner = ownerName.empty() ? owner_ : nullptr;
    for (int i = 0; !owner && Screen && i < Screen->FormCount(); ++i)
        if (rtl::AnsiSameText(Screen->Forms(i)->Name(), ownerName))
            owner = Screen->Forms(i);
    return owner ? owner->FindComponent(name) : nullptr;
}

void TPropsStorage::StoreStringsProperty(const TPropInfo& P, TStrings& List)
{
    const std::string section = Section + "." + GetItemName(P.Name);
    EraseSection(section);
    if (List.Count() == 0)
        return;
    WriteString(section, "Count", std::to_string(List.Count()));
    for (int i = 0; i < List.Count(); ++i)
        WriteString(section, "Item" + std::to_string(i), List.Strings(i));
}

void TPropsStorage::LoadStringsProperty(const TPropInfo& P, TStrings& List)
{
    const std::string section = Section + "." + GetItemName(P.Name);
    const int64_t count = std::min(ParseInteger(Trim(ReadString(section, "Count", "0"))), MaxStoredItems);
    if (count <= 0)
        return;
    List.BeginUpdate();
    try {
        List.Clear();
        for (int64_t i = 0; i < count; ++i) {
            const std::string line = ReadString(section, "Item" + std::to_string(i), MissingValue);
            if (line == MissingValue)
                break; // a damaged count: the lines end here
            List.Add(line);
        }
    } catch (...) {
        List.EndUpdate();
        throw;
    }
    List.EndUpdate();
}

void TPropsStorage::StoreCollectionProperty(const TPropInfo& P, TCollection& Collection)
{
    const std::string section = Section + "." + GetItemName(P.Name);
    EraseSection(section);
    WriteString(Section, GetItemName(P.Name) + ".Count", std::to_string(Collection.Count()));
    for (int i = 0; i < Collection.Count(); ++i)
        SubStorage(Collection.Items(i), "Item" + std::to_string(i) + Ksprops::sPropNameDelimiter, section)->StoreAll();
}

void TPropsStorage::LoadCollectionProperty(const TPropInfo& P, TCollection& Collection)
{
    const std::string section = Section + "." + GetItemName(P.Name);
    const std::string current = std::to_string(Collection.Count());
    const int64_t count = std::clamp(ParseInteger(Trim(ReadString(Section, GetItemName(P.Name) + ".Count", current))),
                                     int64_t(0), MaxStoredItems);
    Collection.BeginUpdate();
    try {
        if (count != Collection.Count()) {
            Collection.Clear();
            for (int64_t i = 0; i < count; ++i)
                Collection.Add();
        }
        for (int i = 0; i < Collection.Count(); ++i)
            SubStorage(Collection.Items(i), "Item" + std::to_string(i) + Ksprops::sPropNameDelimiter, section)
                ->LoadAll();
    } catch (...) {
        Collection.EndUpdate();
        throw;
    }
    Collection.EndUpdate();
}

void TPropsStorage::StoreAnyProperty(const TPropInfo* PropInfo)
{
    if (!AObject || !PropInfo)
        return;
    const TPropInfo& P = *PropInfo;
    const std::string item = GetItemName(P.Name);
    if (P.Kind != tkClass) {
        const std::string text = Trim(StoreValueText(P));
        if (!text.empty() || StoredWhenEmpty(P.Kind))
            WriteString(Section, item, text);
        return;
    }
    TObject* object = std::get<TObject*>(rtl::GetPropValue(*AObject, P));
    const bool isReference = (P.PropClass && P.PropClass->InheritsFrom(TComponent::StaticClass())) ||
        dynamic_cast<TComponent*>(object);
    if (auto* list = dynamic_cast<TStrings*>(object))
        StoreStringsProperty(P, *list);
    else if (auto* collection = dynamic_cast<TCollection*>(object))
        StoreCollectionProperty(P, *collection);
    else if (isReference)
        WriteString(Section, item, ComponentReferenceText(static_cast<TComponent*>(object)));
    else if (object && nesting_ < MaxNesting)
        SubStorage(object, item, Section)->StoreAll();
}

void TPropsStorage::LoadAnyProperty(const TPropInfo* PropInfo)
{
    if (!AObject || !PropInfo)
        return;
    const TPropInfo& P = *PropInfo;
    try {
        const std::string item = GetItemName(P.Name);
        if (P.Kind != tkClass) {
            const std::string current = StoreValueText(P);
            const bool read = !current.empty() || StoredWhenEmpty(P.Kind);
            LoadValueText(P, read ? Trim(ReadString(Section, item, current)) : std::string());
            return;
        }
        TObject* object = std::get<TObject*>(rtl::GetPropValue(*AObject, P));
        const bool isReference = (P.PropClass && P.PropClass->InheritsFrom(TComponent::StaticClass())) ||
            dynamic_cast<TComponent*>(object);
        if (auto* list = dynamic_cast<TStrings*>(object)) {
            LoadStringsProperty(P, *list);
        } else if (auto* collection = dynamic_cast<TCollection*>(object)) {
            LoadCollectionProperty(P, *collection);
        } else if (isReference) {
            const std::string text = Trim(
                ReadString(Section, item, ComponentReferenceText(static_cast<TComponent*>(object))));
            if (rtl::AnsiSameText(text, "(null)"))
                rtl::SetPropValue(*AObject, P, static_cast<TObject*>(nullptr));
            else if (!text.empty())
                rtl::SetPropValue(*AObject, P, static_cast<TObject*>(FindReferencedComponent(text)));
        } else if (object && nesting_ < MaxNesting) {
            SubStorage(object, item, Section)->LoadAll();
        }
    } catch (const std::exception&) {
        // One property that cannot be restored keeps its value; the rest load.
    }
}

void TPropsStorage::StoreAll()
{
    const TPropInfoList list(*AObject);
    for (int i = 0; i < list.Count(); ++i)
        StoreAnyProperty(list.Items(i));
}

void TPropsStorage::LoadAll()
{
    const TPropInfoList list(*AObject);
    for (int i = 0; i < list.Count(); ++i)
        LoadAnyProperty(list.Items(i));
}

void TPropsStorage::StoreProperties(const TStrings& PropList)
{
    const TPropInfoList list(*AObject);
    for (int i = 0; i < PropList.Count(); ++i)
        StoreAnyProperty(list.Find(PropList.Strings(i)));
}

void TPropsStorage::LoadProperties(const TStrings& PropList)
{
    const TPropInfoList list(*AObject);
    for (int i = 0; i < PropList.Count(); ++i)
        LoadAnyProperty(list.Find(PropList.Strings(i)));
}

template <class Action> void TPropsStorage::ForEachStoredItem(TComponent* AForm, TStrings& AItems, Action action)
{
    Ksprops::UpdateStoredList(AForm, AItems, false);
    TObject* const savedObject = AObject;
    const std::string savedPrefix = Prefix;
    owner_ = AForm;
    try {
        for (int i = 0; i < AItems.Count(); ++i) {
            std::string compName, propName;
            auto* component = dynamic_cast<TComponent*>(AItems.Objects(i));
            if (!component || !Ksprops::ParseStoredItem(AItems.Strings(i), compName, propName))
                continue;
            AObject = component;
            Prefix = component->Name() + Ksprops::sPropNameDelimiter;
            const TPropInfoList list(*component);
            if (const TPropInfo* info = list.Find(propName))
                action(info);
        }
    } catch (...) {
        owner_ = nullptr;
        AObject = savedObject;
        Prefix = savedPrefix;
        throw;
    }
    owner_ = nullptr;
    AObject = savedObject;
    Prefix = savedPrefix;
}

void TPropsStorage::StoreObjectsProps(TComponent* AForm, TStrings& AItems)
{
    ForEachStoredItem(AForm, AItems, [this](const TPropInfo* info) { StoreAnyProperty(info); });
}

void TPropsStorage::LoadObjectsProps(TComponent* AForm, TStrings& AItems)
{
    ForEachStoredItem(AForm, AItems, [this](const TPropInfo* info) { LoadAnyProperty(info); });
}

// TStoredValue

void TStoredValue::SetName(const std::string& Value)
{
    if (auto* values = dynamic_cast<TStoredValues*>(Collection())) {
        const int existing = values->IndexOf(Value);
        if (existing >= 0 && values->Items(existing) != this)
            throw EStringListError("String list does not allow duplicates");
    }
    name_ = Value;
}

std::string TStoredValue::DisplayName() const { return name_.empty() ? TCollectionItem::DisplayName() : name_; }

void TStoredValue::Assign(const TPersistent* Source)
{
    const auto* other = dynamic_cast<const TStoredValue*>(Source);
    if (!other) {
        TCollectionItem::Assign(Source);
        return;
    }
    Value = other->Value;
    SetName(other->Name());
    KeyString = other->KeyString;
}

void TStoredValue::Save(TPropsStorage& Storage)
{
    std::string value = Value;
    if (OnSave)
        OnSave(this, value);
    if (!KeyString.empty())
        value = Strutils::XorEncode(KeyString, value);
    Storage.WriteString(Storage.Section, name_, value);
}

void TStoredValue::Restore(TPropsStorage& Storage)
{
    const std::string defaultText = KeyString.empty() ? Value : Strutils::XorEncode(KeyString, Value);
    std::string text = Storage.ReadString(Storage.Section, name_, defaultText);
    if (!KeyString.empty())
        text = Strutils::XorDecode(KeyString, text);
    if (OnRestore)
        OnRestore(this, text);
    Value = text;
}

// TStoredValues

TStoredValues::TStoredValues() : TCollection(TStoredValue::StaticClass()) { }

int TStoredValues::IndexOf(const std::string& Name) const
{
    for (int i = 0; i < Count(); ++i)
        if (rtl::AnsiSameText(Items(i)->Name(), Name))
            return i;
    return -1;
}

TStoredValue* TStoredValues::GetValue(const std::string& Name) const
{
    const int index = IndexOf(Name);
    return index >= 0 ? Items(index) : nullptr;
}

void TStoredValues::SetValue(const std::string& Name, const TStoredValue* StoredValue)
{
    if (TStoredValue* existing = GetValue(Name))
        existing->Assign(StoredValue);
}

void TStoredValues::SaveValues(TPropsStorage& Storage)
{
    for (int i = 0; i < Count(); ++i)
        Items(i)->Save(Storage);
}

void TStoredValues::RestoreValues(TPropsStorage& Storage)
{
    for (int i = 0; i < Count(); ++i)
        Items(i)->Restore(Storage);
}
