#pragma once

// The object model of the run-time layer: class references (one metaclass
// object per class, with a virtual constructor and room for class-level
// virtual functions), the process-wide class registry, TPersistent's
// assignment protocol and TComponent's ownership and free notification.
//
// A class takes part by naming itself in its body and defining its metaclass
// object in exactly one source file, so that every module of the process sees
// the same class reference:
//
//     class TShape : public TPersistent {
//         DECLARE_CLASS(TShape, TPersistent)
//     public:
//         TShape();
//     };
//     IMPLEMENT_CLASS(TShape)                       // in TShape's .cpp
//
// Class-level virtual functions live on a metaclass type. A class that adds or
// overrides them derives a metaclass from its parent's `Meta` and names it:
//
//     class TPluginMeta : public TPersistent::Meta {
//     public:
//         virtual std::string Caption() const { return {}; }
//     };
//     class TPlugin : public TPersistent {
//         DECLARE_CLASS_META(TPlugin, TPersistent, TPluginMeta)
//     };
//
// Descendants that do not change the class functions use DECLARE_CLASS and
// inherit the parent's metaclass type, so `TDerived::StaticClass()->Caption()`
// dispatches to the most derived override, from the class alone.

#include "platform/rtl/Exceptions.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

class TObject;
class TComponent;
class TClassRef;

// A class reference: the metaclass object of a class, compared by identity.
using TClass = const TClassRef*;
using TPersistentClass = TClass;
using TComponentClass = TClass;

class TClassRef {
public:
    TClassRef() = default;
    TClassRef(const TClassRef&) = delete;
    TClassRef& operator=(const TClassRef&) = delete;
    virtual ~TClassRef() = default;

    virtual const std::string& ClassName() const = 0;
    virtual TClass ClassParent() const = 0;

    // True when this class is the ancestor or one of its descendants.
    bool InheritsFrom(TClass ancestor) const;
    // Class names compare without regard to letter case.
    bool ClassNameIs(const std::string& name) const;

    // The virtual constructor: a new object of exactly this class. Raises
    // EAbstractError for a class that cannot be instantiated.
    std::unique_ptr<TObject> Create() const;

    // The same, checked to be a T (EConvertError otherwise).
    template <class T> std::unique_ptr<T> CreateAs() const;

    // The virtual constructor of components: the new component belongs to
    // AOwner when one is given, else to the caller. Raises EConvertError when
    // the class is no component.
    TComponent* CreateComponent(TComponent* AOwner) const;

protected:
    virtual TObject* Construct(TComponent* owner) const = 0;
};

// The metaclass object of T: names the class, finds the parent's metaclass
// and constructs instances, on top of the metaclass type Meta that carries
// T's class functions.
template <class T, class Meta> class TClassImpl final : public Meta {
public:
    explicit TClassImpl(const char* name) : name_(name) { }

    const std::string& ClassName() const override { return name_; }

    TClass ClassParent() const override
    {
        if constexpr (std::is_void_v<typename T::Inherited>)
            return nullptr;
        else
            return T::Inherited::StaticClass();
    }

protected:
    TObject* Construct([[maybe_unused]] TComponent* owner) const override
    {
        if constexpr (std::is_abstract_v<T>)
            throw EAbstractError("Cannot create an instance of the abstract class " + name_);
        else if constexpr (std::is_base_of_v<TComponent, T> && std::is_constructible_v<T, TComponent*>)
            return new T(owner);
        else if constexpr (std::is_default_constructible_v<T>)
            return new T();
        else
            throw EAbstractError("The class " + name_ + " has no virtual constructor");
    }

private:
    std::string name_;
};

#define DECLARE_CLASS_META(Self, Parent, MetaType)                                                                     \
public:                                                                                                                \
    using Inherited = Parent;                                                                                          \
    using Meta = MetaType;                                                                                             \
    static const Meta* StaticClass();                                                                                  \
    TClass ClassType() const override { return StaticClass(); }                                                        \
                                                                                                                       \
private:

#define DECLARE_CLASS(Self, Parent) DECLARE_CLASS_META(Self, Parent, Parent::Meta)

// Defines the one metaclass object of Self; put it in Self's source file.
#define IMPLEMENT_CLASS(Self)                                                                                          \
    const Self::Meta* Self::StaticClass()                                                                              \
    {                                                                                                                  \
        static const TClassImpl<Self, Self::Meta> metaclass(#Self);                                                    \
        return &metaclass;                                                                                             \
    }

class TObject {
public:
    using Inherited = void;
    using Meta = TClassRef;
    static const Meta* StaticClass();

    TObject() = default;
    TObject(const TObject&) = default;
    TObject& operator=(const TObject&) = default;
    virtual ~TObject() = default;

    virtual TClass ClassType() const { return StaticClass(); }
    const std::string& ClassName() const { return ClassType()->ClassName(); }
    bool InheritsFrom(TClass ancestor) const { return ClassType()->InheritsFrom(ancestor); }
};

// The plain event: the sender only.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// Objects that can copy their state from one another. Assign asks the source
// to assign itself to this object when this class does not know the source;
// when neither side knows the other, EConvertError reports the pair.
class TPersistent : public TObject {
    DECLARE_CLASS(TPersistent, TObject)
public:
    virtual void Assign(const TPersistent* Source);

protected:
    virtual void AssignTo(TPersistent* Dest) const;
    [[noreturn]] void AssignError(const TPersistent* Source) const;
};

// A component of another component that does not fit: bad or duplicate name.
class EComponentError : public Exception {
public:
    using Exception::Exception;
};

enum TOperation { opInsert, opRemove };

// ComponentState is a set of these flags.
using TComponentState = unsigned;
enum TComponentStateItem : unsigned {
    csLoading = 1u << 0,
    csReading = 1u << 1,
    csWriting = 1u << 2,
    csDestroying = 1u << 3,
    csDesigning = 1u << 4,
    csFreeNotification = 1u << 5,
};

// A component owns the components created with it as their owner and frees
// them, last first, when it is freed itself. Components that hold references
// to each other ask for a free notification and are told through
// Notification(..., opRemove) before the other one goes away.
class TComponent : public TPersistent {
    DECLARE_CLASS(TComponent, TPersistent)
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int Index) const; // EListError when out of range
    int ComponentIndex() const;              // -1 without owner

    const std::string& Name() const { return name_; }
    // Names are identifiers, unique among the owner's components (letter
    // case ignored); an empty name is allowed. EComponentError otherwise.
    void SetName(const std::string& NewName);

    // The owned component of that name (letter case ignored), or nullptr.
    TComponent* FindComponent(const std::string& AName) const;

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Frees every owned component, the last first.
    void DestroyComponents();

    // Both components are told when the other one is freed.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    TComponentState ComponentState() const { return state_; }
    // Marks this component and everything it owns as being destroyed. The
    // base destructor does so only after the derived destructors have run; a
    // derived destructor whose work others may observe calls it first.
    void Destroying();

    // Bracket for building a component tree: BeginLoading marks the tree as
    // being loaded (csLoading, csReading); EndLoading clears the marks and
    // calls Loaded on this component and then on its components in order.
    void BeginLoading();
    void EndLoading();

    intptr_t Tag = 0;

protected:
    // Told about components inserted into or removed from this owner and
    // about components this one asked a free notification of. The base
    // forgets the free notification and passes the news to every owned
    // component.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Called once the component tree has been built; clears csLoading.
    virtual void Loaded();
    void SetDesigning(bool Value);

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void ValidateRename(TComponent* AComponent, const std::string& NewName) const;
    void AddFreeNotify(TComponent* AComponent);
    void RemoveFreeNotify(TComponent* AComponent);
    void NotifyFreeNotifies();

    TComponent* owner_ = nullptr;
    std::string name_;
    TComponentState state_ = 0;
    std::vector<TComponent*> components_;   // owned
    std::vector<TComponent*> freeNotifies_; // not owned
};

namespace rtl {

// The process-wide registry of classes findable by name (letter case ignored).
// Registering the same class again does nothing; a different class under a
// registered name raises EInvalidOperation.
void RegisterClass(TClass AClass);
void UnRegisterClass(TClass AClass);            // unknown classes are ignored
std::vector<TClass> RegisteredClasses();        // in registration order
TClass GetClass(const std::string& ClassName);  // nullptr when unknown
TClass FindClass(const std::string& ClassName); // EClassNotFound when unknown

} // namespace rtl

template <class T> std::unique_ptr<T> TClassRef::CreateAs() const
{
    if (!InheritsFrom(T::StaticClass()))
        throw EConvertError("Invalid class typecast: " + ClassName() + " is no " + T::StaticClass()->ClassName());
    return std::unique_ptr<T>(static_cast<T*>(Create().release()));
}
