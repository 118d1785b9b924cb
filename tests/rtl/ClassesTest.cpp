#include "platform/rtl/Classes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Class functions live on the metaclass: TShapeMeta declares one, TSquare's
// metaclass overrides it, and TBigSquare inherits TSquare's.
class TShapeMeta : public TPersistent::Meta {
public:
    virtual int Corners() const { return 0; }
    // Calls the class function through the metaclass, so overrides count.
    std::string Describe() const { return ClassName() + ":" + std::to_string(Corners()); }
};

class TShape : public TPersistent {
    DECLARE_CLASS_META(TShape, TPersistent, TShapeMeta)
public:
    int Width = 0;

    void Assign(const TPersistent* Source) override
    {
        if (auto* shape = dynamic_cast<const TShape*>(Source)) {
            Width = shape->Width;
            return;
        }
        TPersistent::Assign(Source);
    }
};
IMPLEMENT_CLASS(TShape)

class TSquareMeta : public TShapeMeta {
public:
    int Corners() const override { return 4; }
};

class TSquare : public TShape {
    DECLARE_CLASS_META(TSquare, TShape, TSquareMeta)
};
IMPLEMENT_CLASS(TSquare)

class TBigSquare : public TSquare {
    DECLARE_CLASS(TBigSquare, TSquare)
};
IMPLEMENT_CLASS(TBigSquare)

class TAbstractShape : public TShape {
    DECLARE_CLASS(TAbstractShape, TShape)
public:
    virtual double Area() const = 0;
};
IMPLEMENT_CLASS(TAbstractShape)

// Knows how to put itself into a TShape, which does not know it: Assign
// falls back to AssignTo.
class TSizeNote : public TPersistent {
    DECLARE_CLASS(TSizeNote, TPersistent)
public:
    int Size = 0;

protected:
    void AssignTo(TPersistent* Dest) const override
    {
        if (auto* shape = dynamic_cast<TShape*>(Dest)) {
            shape->Width = Size;
            return;
        }
        TPersistent::AssignTo(Dest);
    }
};
IMPLEMENT_CLASS(TSizeNote)

} // namespace

TEST(Classes, ClassReferencesKnowNamesAndAncestry)
{
    TClass square = TSquare::StaticClass();
    EXPECT_EQ(square->ClassName(), "TSquare");
    EXPECT_EQ(square->ClassParent(), TShape::StaticClass());
    EXPECT_EQ(TObject::StaticClass()->ClassParent(), nullptr);
    EXPECT_TRUE(square->InheritsFrom(TPersistent::StaticClass()));
    EXPECT_TRUE(square->InheritsFrom(square));
    EXPECT_FALSE(TShape::StaticClass()->InheritsFrom(square));
    EXPECT_TRUE(square->ClassNameIs("tsquare"));

    TBigSquare big;
    const TObject& asObject = big;
    EXPECT_EQ(asObject.ClassName(), "TBigSquare");
    EXPECT_EQ(asObject.ClassType(), TBigSquare::StaticClass());
    EXPECT_TRUE(asObject.InheritsFrom(TShape::StaticClass()));
}

TEST(Classes, ClassFunctionsDispatchThroughTheMetaclass)
{
    const std::vector<std::pair<const TShapeMeta*, std::string>> cases = {
        {TShape::StaticClass(), "TShape:0"},
        {TSquare::StaticClass(), "TSquare:4"},
        {TBigSquare::StaticClass(), "TBigSquare:4"},
    };
    for (const auto& [meta, expected] : cases)
        EXPECT_EQ(meta->Describe(), expected);
}

TEST(Classes, VirtualConstructorMakesTheReferencedClass)
{
    const TShapeMeta* meta = TBigSquare::StaticClass();
    std::unique_ptr<TShape> shape = meta->CreateAs<TShape>();
    EXPECT_EQ(shape->ClassType(), TBigSquare::StaticClass());

    EXPECT_THROW(TShape::StaticClass()->CreateAs<TSquare>(), EConvertError);
    EXPECT_THROW(TAbstractShape::StaticClass()->Create(), EAbstractError);
    EXPECT_THROW(TShape::StaticClass()->CreateComponent(nullptr), EConvertError);
}

TEST(Classes, RegistryFindsClassesByNameWithoutCase)
{
    rtl::RegisterClass(TSquare::StaticClass());
    rtl::RegisterClass(TSquare::StaticClass()); // again: no effect
    EXPECT_EQ(rtl::FindClass("TSQUARE"), TSquare::StaticClass());
    EXPECT_EQ(rtl::GetClass("tsquare"), TSquare::StaticClass());

    // Another class under a name already taken.
    static const TClassImpl<TBigSquare, TSquareMeta> impostor("TSquare");
    EXPECT_THROW(rtl::RegisterClass(&impostor), EInvalidOperation);

    rtl::UnRegisterClass(TSquare::StaticClass());
    EXPECT_EQ(rtl::GetClass("TSquare"), nullptr);
    EXPECT_THROW(rtl::FindClass("TSquare"), EClassNotFound);
    rtl::UnRegisterClass(TSquare::StaticClass()); // unknown: ignored
}

TEST(Classes, AssignUsesTheSourceWhenTheTargetDoesNotKnowIt)
{
    TShape target;
    TSquare source;
    source.Width = 5;
    target.Assign(&source);
    EXPECT_EQ(target.Width, 5);

    TSizeNote note;
    note.Size = 9;
    target.Assign(&note);
    EXPECT_EQ(target.Width, 9);
}

TEST(Classes, AssignBetweenStrangersRaisesConvertError)
{
    struct Case {
        const TPersistent* source;
        std::string message;
    };
    TShape shape;
    TSizeNote note;
    const Case cases[] = {
        {&shape, "Cannot assign a TShape to a TSizeNote"},
        {nullptr, "Cannot assign a nil to a TSizeNote"},
    };
    for (const Case& c : cases) {
        try {
            note.Assign(c.source);
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message, c.message);
        }
    }
}

// ---------------------------------------------------------------------------
// Components

namespace {

std::vector<std::string> events;

// Logs its destruction and its notifications, and holds a reference to
// another component that a free notification clears.
class TProbe : public TComponent {
    DECLARE_CLASS(TProbe, TComponent)
public:
    explicit TProbe(TComponent* AOwner, std::string label = "") : TComponent(AOwner), label_(std::move(label)) { }
    ~TProbe() override { events.push_back("free " + label_); }

    void SetPartner(TComponent* partner)
    {
        Partner = partner;
        if (partner)
            partner->FreeNotification(this);
    }

    TComponent* Partner = nullptr;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == Partner)
            Partner = nullptr;
    }

    void Loaded() override
    {
        TComponent::Loaded();
        events.push_back("loaded " + label_);
    }

private:
    std::string label_;
};
IMPLEMENT_CLASS(TProbe)

// Records whether it was marked as being destroyed when its destructor ran.
class TWatcher : public TComponent {
public:
    TWatcher(TComponent* AOwner, bool& destroyingSeen) : TComponent(AOwner), seen_(destroyingSeen) { }
    ~TWatcher() override { seen_ = ComponentState() & csDestroying; }

private:
    bool& seen_;
};

class ComponentsTest : public ::testing::Test {
protected:
    void SetUp() override { events.clear(); }
};

} // namespace

TEST_F(ComponentsTest, OwnerFreesItsComponentsOnceLastFirst)
{
    auto owner = std::make_unique<TProbe>(nullptr, "owner");
    auto* a = new TProbe(owner.get(), "a");
    new TProbe(owner.get(), "b");
    new TProbe(a, "a1");
    ASSERT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(a->ComponentIndex(), 0);
    EXPECT_EQ(a->Owner(), owner.get());

    owner.reset();
    EXPECT_EQ(events, (std::vector<std::string>{"free owner", "free b", "free a", "free a1"}));
}

TEST_F(ComponentsTest, FreeingAComponentTakesItOutOfItsOwner)
{
    TProbe owner(nullptr, "owner");
    auto* a = new TProbe(&owner, "a");
    auto* b = new TProbe(&owner, "b");
    delete a;
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), b);
    EXPECT_THROW(owner.Components(1), EListError);
}

TEST_F(ComponentsTest, NamesAreUniqueIdentifiersFoundWithoutCase)
{
    TComponent owner(nullptr);
    auto* first = new TComponent(&owner);
    first->SetName("OkButton");
    auto* second = new TComponent(&owner);

    EXPECT_EQ(owner.FindComponent("okbutton"), first);
    EXPECT_EQ(owner.FindComponent("Missing"), nullptr);
    EXPECT_EQ(owner.FindComponent(""), nullptr);

    EXPECT_THROW(second->SetName("OKBUTTON"), EComponentError);
    for (const char* bad : {"1st", "Ok Button", "Ok-Button"})
        EXPECT_THROW(second->SetName(bad), EComponentError) << bad;
    second->SetName("_Cancel2");
    first->SetName("OKButton"); // its own name in other letters
    EXPECT_EQ(owner.FindComponent("_cancel2"), second);

    // A component named like one of the new owner's cannot move there.
    TComponent other(nullptr);
    auto* stranger = new TComponent(&other);
    stranger->SetName("OkButton");
    EXPECT_THROW(owner.InsertComponent(stranger), EComponentError);
    EXPECT_EQ(stranger->Owner(), &other);
}

TEST_F(ComponentsTest, FreeNotificationClearsReferencesEitherWay)
{
    TComponent form(nullptr);
    TComponent otherForm(nullptr);
    auto* holder = new TProbe(&form, "holder");
    auto* target = new TProbe(&otherForm, "target");
    holder->SetPartner(target);
    EXPECT_TRUE(target->ComponentState() & csFreeNotification);

    delete target;
    EXPECT_EQ(holder->Partner, nullptr);

    // The holder goes first: the target must forget it (ASan sees any call
    // into the freed holder).
    auto* target2 = new TProbe(&otherForm, "target2");
    holder->SetPartner(target2);
    delete holder;
    EXPECT_FALSE(target2->ComponentState() & csFreeNotification);
    delete target2;
}

TEST_F(ComponentsTest, SiblingsHearOfEachOthersRemoval)
{
    TComponent form(nullptr);
    auto* holder = new TProbe(&form, "holder");
    auto* target = new TProbe(&form, "target");
    holder->Partner = target; // no free notification: the owner tells its components
    delete target;
    EXPECT_EQ(holder->Partner, nullptr);
}

TEST_F(ComponentsTest, LoadingBracketCallsLoadedOwnerFirst)
{
    TProbe form(nullptr, "form");
    auto* a = new TProbe(&form, "a");
    new TProbe(&form, "b");
    form.BeginLoading();
    EXPECT_TRUE(a->ComponentState() & csLoading);
    EXPECT_TRUE(a->ComponentState() & csReading);
    form.EndLoading();
    EXPECT_EQ(events, (std::vector<std::string>{"loaded form", "loaded a", "loaded b"}));
    EXPECT_FALSE(a->ComponentState() & (csLoading | csReading));
}

TEST_F(ComponentsTest, ChildrenSeeTheirOwnerBeingDestroyed)
{
    bool destroyingSeen = false;
    auto owner = std::make_unique<TComponent>(nullptr);
    new TWatcher(owner.get(), destroyingSeen);
    owner.reset();
    EXPECT_TRUE(destroyingSeen);
}

TEST_F(ComponentsTest, RegisteredComponentClassCreatesWithOwner)
{
    rtl::RegisterClass(TProbe::StaticClass());
    TComponent owner(nullptr);
    TComponent* made = rtl::FindClass("TProbe")->CreateComponent(&owner);
    EXPECT_EQ(made->ClassType(), TProbe::StaticClass());
    EXPECT_EQ(made->Owner(), &owner);
    EXPECT_EQ(owner.ComponentCount(), 1);
    rtl::UnRegisterClass(TProbe::StaticClass());
}
