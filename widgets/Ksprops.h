#pragma once
// Storage of chosen published properties as text items in an ini or registry
// section, driven by the published-property table: "Component.Property"
// items name what is stored, each under the key component name +
// sPropNameDelimiter + property name. TStoredValues keeps named values beside
// them, optionally scrambled with XorEncode.

#include "platform/rtl/Collections.h"
#include "platform/rtl/Properties.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TComponent;
class TStrings;

using TReadStrEvent =
    std::function<std::string(const std::string& ASection, const std::string& Item, const std::string& Default)>;
using TWriteStrEvent =
    std::function<void(const std::string& ASection, const std::string& Item, const std::string& Value)>;
using TEraseSectEvent = std::function<void(const std::string& ASection)>;

namespace Ksprops {

extern std::string sPropNameDelimiter;

// "Component.Property"; empty when either part is.
std::string CreateStoredItem(const std::string& CompName, const std::string& PropName);
// Splits at the first "." and trims both parts; true when neither is empty.
bool ParseStoredItem(const std::string& Item, std::string& CompName, std::string& PropName);
// Keeps list and components in step: items that do not parse go; from the
// form, each item gets its component attached (or goes when the form has
// none of that name); otherwise items are renamed after their attached
// component (or go when they have none).
void UpdateStoredList(TComponent* AForm, TStrings& AStoredList, bool FromForm);

} // namespace Ksprops

// The storable published properties of an object's class (all but methods
// and unknown kinds), in declaration order.
class TPropInfoList : public TObject {
    DECLARE_CLASS(TPropInfoList, TObject)
public:
    explicit TPropInfoList(const TObject& AObject);

    int Count() const { return static_cast<int>(list_.size()); }
    const TPropInfo* Items(int Index) const { return list_.at(static_cast<size_t>(Index)); }
    const TPropInfo* Find(const std::string& AName) const;
    bool Contains(const TPropInfo* P) const;
    void Delete(int Index);
    void Intersect(const TPropInfoList& List);

private:
    std::vector<const TPropInfo*> list_;
};

class TPropsStorage : public TObject {
    DECLARE_CLASS(TPropsStorage, TObject)
public:
    TPropsStorage() = default;

    TObject* AObject = nullptr;
    std::string Prefix;
    std::string Section;
    TReadStrEvent OnReadString;
    TWriteStrEvent OnWriteString;
    TEraseSectEvent OnEraseSection;
    // The form whose components are stored; set during Store/LoadObjectsProps.
    TComponent* Owner() const { return owner_; }

    virtual std::string ReadString(const std::string& ASection, const std::string& Item, const std::string& Default);
    virtual void WriteString(const std::string& ASection, const std::string& Item, const std::string& Value);
    virtual void EraseSection(const std::string& ASection);
    virtual std::string GetItemName(const std::string& APropName) const;
    virtual std::unique_ptr<TPropsStorage> CreateStorage() const;

    void StoreAnyProperty(const TPropInfo* PropInfo);
    // Errors are swallowed: the property keeps its value.
    void LoadAnyProperty(const TPropInfo* PropInfo);
    void StoreProperties(const TStrings& PropList);
    void LoadProperties(const TStrings& PropList);
    void StoreObjectsProps(TComponent* AForm, TStrings& AItems);
    void LoadObjectsProps(TComponent* AForm, TStrings& AItems);

private:
    std::string StoreValueText(const TPropInfo& P);
    void LoadValueText(const TPropInfo& P, const std::string& Text);
    std::string ComponentReferenceText(TComponent* Component) const;
    TComponent* FindReferencedComponent(const std::string& Text) const;
    void StoreStringsProperty(const TPropInfo& P, TStrings& List);
    void LoadStringsProperty(const TPropInfo& P, TStrings& List);
    void StoreCollectionProperty(const TPropInfo& P, TCollection& Collection);
    void LoadCollectionProperty(const TPropInfo& P, TCollection& Collection);
    std::unique_ptr<TPropsStorage> SubStorage(TObject* Object, const std::string& SubPrefix,
                                              const std::string& SubSection) const;
    void StoreAll();
    void LoadAll();
    template <class Action> void ForEachStoredItem(TComponent* AForm, TStrings& AItems, Action action);

    TComponent* owner_ = nullptr;
    int nesting_ = 0;
};

class TStoredValues;
using TStoredValueEvent = std::function<void(TObject* Sender, std::string& Value)>;

// A named value saved and restored with the form's properties. Values are
// text; an empty text is an empty value.
class TStoredValue : public TCollectionItem {
    DECLARE_CLASS(TStoredValue, TCollectionItem)
public:
    TStoredValue() = default;

    const std::string& Name() const { return name_; }
    // Raises EStringListError when another value of the collection has the
    // name (letter case ignored).
    void SetName(const std::string& Value);
    std::string Value;
    std::string KeyString;
    TStoredValueEvent OnSave;
    TStoredValueEvent OnRestore;

    std::string DisplayName() const override;
    void Assign(const TPersistent* Source) override;
    void Save(TPropsStorage& Storage);
    void Restore(TPropsStorage& Storage);

private:
    std::string name_;
};

class TStoredValues : public TCollection {
    DECLARE_CLASS(TStoredValues, TCollection)
public:
    TStoredValues();

    TStoredValue* Items(int Index) const { return static_cast<TStoredValue*>(TCollection::Items(Index)); }
    TStoredValue* Add() { return static_cast<TStoredValue*>(TCollection::Add()); }
    int IndexOf(const std::string& Name) const;
    TStoredValue* GetValue(const std::string& Name) const;
    void SetValue(const std::string& Name, const TStoredValue* StoredValue);
    void SaveValues(TPropsStorage& Storage);
    void RestoreValues(TPropsStorage& Storage);
};
