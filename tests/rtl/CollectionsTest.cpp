#include "platform/rtl/Collections.h"

#include <gtest/gtest.h>

namespace {

class TNamedItem : public TCollectionItem {
    DECLARE_CLASS(TNamedItem, TCollectionItem)
public:
    std::string Text;
    void Assign(const TPersistent* Source) override
    {
        if (const auto* other = dynamic_cast<const TNamedItem*>(Source))
            Text = other->Text;
        else
            TCollectionItem::Assign(Source);
    }
};

} // namespace

IMPLEMENT_CLASS(TNamedItem)

namespace {

TEST(CollectionsTest, ItemsAreMadeByClassAndOwned)
{
    TCollection list(TNamedItem::StaticClass());
    auto* a = static_cast<TNamedItem*>(list.Add());
    auto* c = static_cast<TNamedItem*>(list.Add());
    auto* b = static_cast<TNamedItem*>(list.Insert(1));
    EXPECT_EQ(a->ClassType(), TNamedItem::StaticClass());
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(b->Index(), 1);
    EXPECT_EQ(c->Index(), 2);
    EXPECT_EQ(list.FindItemID(c->ID()), c);
    EXPECT_NE(a->ID(), b->ID());

    c->SetIndex(0);
    EXPECT_EQ(list.Items(0), c);
    delete a; // an item freed on its own leaves the collection
    EXPECT_EQ(list.Count(), 2);
    b->SetCollection(nullptr);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(b->Index(), -1);
    delete b;
    EXPECT_THROW(list.Items(5), EListError);
    EXPECT_THROW(list.Insert(7), EListError);
    EXPECT_THROW(TCollection(TObject::StaticClass()), EConvertError);
}

TEST(CollectionsTest, ChangesAreToldOnceAnUpdateCloses)
{
    TCollection list(TNamedItem::StaticClass());
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.Add();
    EXPECT_EQ(changes, 1);
    list.BeginUpdate();
    list.Add();
    list.Add();
    list.Delete(0);
    EXPECT_EQ(changes, 1);
    list.EndUpdate();
    EXPECT_EQ(changes, 2);
    list.Clear();
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(list.Count(), 0);
}

TEST(CollectionsTest, AssignCopiesItemByItem)
{
    TCollection source(TNamedItem::StaticClass());
    static_cast<TNamedItem*>(source.Add())->Text = "eins";
    static_cast<TNamedItem*>(source.Add())->Text = "zwei";
    TCollection copy(TNamedItem::StaticClass());
    copy.Add();
    copy.Add();
    copy.Add();
    copy.Assign(&source);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(static_cast<TNamedItem*>(copy.Items(1))->Text, "zwei");
    EXPECT_NE(copy.Items(1), source.Items(1));
}

} // namespace
