#include "platform/rtl/Classes.h"

#include "platform/rtl/CodePage.h"

#include <algorithm>
#include <cctype>
#include <mutex>

namespace {

bool IsValidIdent(const std::string& name)
{
    auto isStart = [](unsigned char c) { return std::isalpha(c) || c == '_'; };
    auto isPart = [](unsigned char c) { return std::isalnum(c) || c == '_'; };
    return !name.empty() && isStart(static_cast<unsigned char>(name.front())) &&
        std::all_of(name.begin() + 1, name.end(), [&](char c) { return isPart(static_cast<unsigned char>(c)); });
}

template <class List, class Item> void EraseItem(List& list, Item item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

bool Contains(const std::vector<TComponent*>& list, const TComponent* item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

} // namespace

// ---------------------------------------------------------------------------
// Class references

bool TClassRef::InheritsFrom(TClass ancestor) const
{
    for (TClass c = this; c; c = c->ClassParent())
        if (c == ancestor)
            return true;
    return false;
}

bool TClassRef::ClassNameIs(const std::string& name) const { return rtl::AnsiSameText(ClassName(), name); }

std::unique_ptr<TObject> TClassRef::Create() const { return std::unique_ptr<TObject>(Construct(nullptr)); }

TComponent* TClassRef::CreateComponent(TComponent* AOwner) const
{
    if (!InheritsFrom(TComponent::StaticClass()))
        throw EConvertError("Invalid class typecast: " + ClassName() + " is no TComponent");
    return static_cast<TComponent*>(Construct(AOwner));
}

const TObject::Meta* TObject::StaticClass()
{
    static const TClassImpl<TObject, TClassRef> metaclass("TObject");
    return &metaclass;
}

IMPLEMENT_CLASS(TPersistent)
IMPLEMENT_CLASS(TComponent)

// ---------------------------------------------------------------------------
// TPersistent

void TPersistent::Assign(const TPersistent* Source)
{
    if (!Source)
        AssignError(nullptr);
    Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) const { Dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* Source) const
{
    const std::string sourceName = Source ? Source->ClassName() : std::string("nil");
    throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}

// ---------------------------------------------------------------------------
// TComponent

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    NotifyFreeNotifies();
    DestroyComponents();
    if (owner_)
        owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return components_[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const
{
    if (!owner_)
        return -1;
    const auto& siblings = owner_->components_;
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

void TComponent::SetName(const std::string& NewName)
{
    if (NewName == name_)
        return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (owner_)
        owner_->ValidateRename(this, NewName);
    name_ = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& NewName) const
{
    if (NewName.empty())
        return;
    const TComponent* existing = FindComponent(NewName);
    if (existing && existing != AComponent)
        throw EComponentError("A component named " + NewName + " already exists");
}

TComponent* TComponent::FindComponent(const std::string& AName) const
{
    if (AName.empty())
        return nullptr;
    for (TComponent* c : components_)
        if (rtl::AnsiSameText(c->name_, AName))
            return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    ValidateRename(AComponent, AComponent->name_);
    if (AComponent->owner_)
        AComponent->owner_->RemoveComponent(AComponent);
    Insert(AComponent);
    if (state_ & csDesigning)
        AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (AComponent->owner_ != this)
        return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent)
{
    components_.push_back(AComponent);
    AComponent->owner_ = this;
}

void TComponent::Remove(TComponent* AComponent)
{
    EraseItem(components_, AComponent);
    AComponent->owner_ = nullptr;
}

void TComponent::DestroyComponents()
{
    // Each child leaves the list before it is freed, so a child's own
    // destruction never finds itself among its owner's components.
    while (!components_.empty()) {
        TComponent* last = components_.back();
        Remove(last);
        delete last;
    }
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    AddFreeNotify(AComponent);
    AComponent->AddFreeNotify(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (!AComponent)
        return;
    RemoveFreeNotify(AComponent);
    AComponent->RemoveFreeNotify(this);
}

void TComponent::AddFreeNotify(TComponent* AComponent)
{
    if (!Contains(freeNotifies_, AComponent))
        freeNotifies_.push_back(AComponent);
    state_ |= csFreeNotification;
}

void TComponent::RemoveFreeNotify(TComponent* AComponent)
{
    EraseItem(freeNotifies_, AComponent);
    if (freeNotifies_.empty())
        state_ &= ~static_cast<unsigned>(csFreeNotification);
}

void TComponent::NotifyFreeNotifies()
{
    // A notified component forgets this one (the base Notification does), and
    // may free further components, so the list is re-read after every call.
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        other->Notification(this, opRemove);
        other->RemoveFreeNotify(this);
    }
    state_ &= ~static_cast<unsigned>(csFreeNotification);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // Iterate from the end on a copy: a handler may free owned components.
    const std::vector<TComponent*> children = components_;
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (Contains(components_, *it))
            (*it)->Notification(AComponent, Operation);
}

void TComponent::Destroying()
{
    if (state_ & csDestroying)
        return;
    state_ |= csDestroying;
    for (TComponent* c : components_)
        c->Destroying();
}

void TComponent::BeginLoading()
{
    state_ |= csLoading | csReading;
    for (TComponent* c : components_)
        c->BeginLoading();
}

void TComponent::EndLoading()
{
    state_ &= ~static_cast<unsigned>(csReading);
    if (state_ & csLoading)
        Loaded();
    const std::vector<TComponent*> children = components_;
    for (TComponent* c : children)
        if (Contains(components_, c))
            c->EndLoading();
}

void TComponent::Loaded() { state_ &= ~static_cast<unsigned>(csLoading); }

void TComponent::SetDesigning(bool Value)
{
    if (Value)
        state_ |= csDesigning;
    else
        state_ &= ~static_cast<unsigned>(csDesigning);
    for (TComponent* c : components_)
        c->SetDesigning(Value);
}

// ---------------------------------------------------------------------------
// Class registry

namespace {

struct ClassRegistry {
    std::mutex lock;
    std::vector<TClass> classes; // in registration order
};

ClassRegistry& Registry()
{
    // Never destroyed: modules may unregister their classes while the
    // process exits.
    static auto* registry = new ClassRegistry;
    return *registry;
}

TClass FindRegistered(const std::vector<TClass>& classes, const std::string& name)
{
    for (TClass c : classes)
        if (c->ClassNameIs(name))
            return c;
    return nullptr;
}

} // namespace

namespace rtl {

void RegisterClass(TClass AClass)
{
    if (!AClass)
        return;
    ClassRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    TClass known = FindRegistered(registry.classes, AClass->ClassName());
    if (known == AClass)
        return;
    if (known)
        throw EInvalidOperation("A class named " + AClass->ClassName() + " already exists");
    registry.classes.push_back(AClass);
}

void UnRegisterClass(TClass AClass)
{
    ClassRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    EraseItem(registry.classes, AClass);
}

std::vector<TClass> RegisteredClasses()
{
    ClassRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    return registry.classes;
}

TClass GetClass(const std::string& ClassName)
{
    ClassRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    return FindRegistered(registry.classes, ClassName);
}

TClass FindClass(const std::string& ClassName)
{
    TClass found = GetClass(ClassName);
    if (!found)
        throw EClassNotFound("Class " + ClassName + " not found");
    return found;
}

} // namespace rtl
