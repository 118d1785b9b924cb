#include "core/ListUnit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A list of TIntItem nodes 0..count-1, with the node pointers kept.
struct IntList {
    explicit IntList(int count)
    {
        for (int i = 0; i < count; ++i) {
            auto node = std::make_unique<TIntItem>();
            node->Value = i;
            nodes.push_back(static_cast<TIntItem*>(list.AddItem(std::move(node))));
        }
    }

    // Walks forwards and backwards; both walks must agree with Count, Head and Tail.
    std::vector<std::int32_t> Values() const
    {
        std::vector<std::int32_t> forwards;
        const TListItem* last = nullptr;
        for (const TListItem* node = list.Head; node != nullptr; node = node->NextItem) {
            EXPECT_EQ(node->PrevItem, last);
            forwards.push_back(static_cast<const TIntItem*>(node)->Value);
            last = node;
        }
        EXPECT_EQ(last, list.Tail);
        std::vector<std::int32_t> backwards;
        for (const TListItem* node = list.Tail; node != nullptr; node = node->PrevItem)
            backwards.insert(backwards.begin(), static_cast<const TIntItem*>(node)->Value);
        EXPECT_EQ(forwards, backwards);
        EXPECT_EQ(static_cast<std::int32_t>(forwards.size()), list.Count);
        return forwards;
    }

    TList list;
    std::vector<TIntItem*> nodes;
};

TEST(ListUnitTest, XChgItemExchangesPlacesAndKeepsTheNodes)
{
    const struct Case {
        int a, b;
        std::vector<std::int32_t> expected;
    } cases[] = {
        {1, 2, {0, 2, 1, 3, 4}}, // adjacent, a before b
        {2, 1, {0, 2, 1, 3, 4}}, // adjacent, b before a
        {0, 4, {4, 1, 2, 3, 0}}, // head with tail
        {0, 2, {2, 1, 0, 3, 4}}, // head with a middle node
        {1, 3, {0, 3, 2, 1, 4}}, // not adjacent
        {3, 4, {0, 1, 2, 4, 3}}, // adjacent at the tail
        {0, 1, {1, 0, 2, 3, 4}}, // adjacent at the head
        {2, 2, {0, 1, 2, 3, 4}}, // a node with itself
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.a) + " <-> " + std::to_string(c.b));
        IntList l(5);
        TListItem* a = l.nodes[static_cast<size_t>(c.a)];
        TListItem* b = l.nodes[static_cast<size_t>(c.b)];
        l.list.XChgItem(a, b);
        EXPECT_EQ(l.Values(), c.expected);
        // The variables now name the nodes at their former positions.
        EXPECT_EQ(a, l.list.GetPos(c.a));
        EXPECT_EQ(b, l.list.GetPos(c.b));
    }
    IntList two(2);
    TListItem* a = two.nodes[0];
    TListItem* b = two.nodes[1];
    two.list.XChgItem(a, b);
    EXPECT_EQ(two.Values(), (std::vector<std::int32_t>{1, 0}));
    EXPECT_EQ(two.list.Head, two.nodes[1]);
    EXPECT_EQ(two.list.Tail, two.nodes[0]);
}

TEST(ListUnitTest, GetPosWalksFromBothEnds)
{
    IntList l(7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(l.list.GetPos(i), l.nodes[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(l.list.GetPos(6), l.list.Tail);
    EXPECT_EQ(l.list.GetPos(7), nullptr);
    EXPECT_EQ(l.list.GetPos(-1), nullptr);
    EXPECT_EQ(TList().GetPos(0), nullptr);
}

TEST(ListUnitTest, InsertItemPutsTheNodeBehindAnotherOrAtTheFront)
{
    IntList l(3);
    auto front = std::make_unique<TIntItem>();
    front->Value = 10;
    TListItem* inserted = l.list.InsertItem(std::move(front), nullptr);
    EXPECT_EQ(l.list.Head, inserted);
    EXPECT_EQ(l.list.Head->NextItem, l.nodes[0]);

    auto middle = std::make_unique<TIntItem>();
    middle->Value = 11;
    l.list.InsertItem(std::move(middle), l.nodes[1]);
    auto last = std::make_unique<TIntItem>();
    last->Value = 12;
    l.list.InsertItem(std::move(last), l.list.Tail);
    EXPECT_EQ(l.Values(), (std::vector<std::int32_t>{10, 0, 1, 11, 2, 12}));

    TList empty;
    TListItem* only = empty.InsertItem(std::make_unique<TIntItem>(), nullptr);
    EXPECT_EQ(empty.Head, only);
    EXPECT_EQ(empty.Tail, only);
    EXPECT_EQ(empty.Count, 1);
}

TEST(ListUnitTest, DeletingUnlinksAndWithoutDestroyHandsTheNodeBack)
{
    IntList l(4);
    std::unique_ptr<TListItem> taken = l.list.DeleteItemWithoutDestroy(l.nodes[1]);
    EXPECT_EQ(taken.get(), l.nodes[1]);
    EXPECT_EQ(l.Values(), (std::vector<std::int32_t>{0, 2, 3}));
    EXPECT_EQ(l.list.DeleteItemWithoutDestroy(nullptr), nullptr);

    l.list.DeleteItem(l.nodes[0]);
    l.list.DeleteItem(l.nodes[3]);
    EXPECT_EQ(l.Values(), (std::vector<std::int32_t>{2}));
    l.list.AddItem(std::move(taken)); // a node taken out can come back
    EXPECT_EQ(l.Values(), (std::vector<std::int32_t>{2, 1}));

    std::vector<std::unique_ptr<TListItem>> nodes = l.list.ClearListWithoutDelete();
    EXPECT_EQ(l.Values(), (std::vector<std::int32_t>{}));
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(nodes[0].get(), l.nodes[2]);

    IntList cleared(3);
    cleared.list.ClearList();
    EXPECT_EQ(cleared.Values(), (std::vector<std::int32_t>{}));
}

TEST(ListUnitTest, SortOrdersAscendingAndKeepsTheNodes)
{
    const std::vector<std::int32_t> values{5, 3, 9, 1, 3, 7, 0};
    TList list;
    std::vector<TListItem*> nodes;
    for (std::int32_t v : values) {
        auto node = std::make_unique<TIntItem>();
        node->Value = v;
        nodes.push_back(list.AddItem(std::move(node)));
    }
    list.Sort(
        [](TListItem* a, TListItem* b) { return static_cast<TIntItem*>(a)->Value < static_cast<TIntItem*>(b)->Value; });
    std::vector<std::int32_t> sorted;
    for (TListItem* node = list.Head; node != nullptr; node = node->NextItem)
        sorted.push_back(static_cast<TIntItem*>(node)->Value);
    EXPECT_EQ(sorted, (std::vector<std::int32_t>{0, 1, 3, 3, 5, 7, 9}));
    EXPECT_EQ(list.Head, nodes[6]); // the node that held 0, moved rather than copied
    EXPECT_EQ(list.Tail, nodes[2]);
    EXPECT_EQ(list.Tail->NextItem, nullptr);
}

TEST(ListUnitTest, AssignCopiesEveryNode)
{
    IntList source(3);
    TList target;
    target.AddItem(std::make_unique<TIntItem>());
    target.Assign(source.list);
    ASSERT_EQ(target.Count, 3);
    for (int i = 0; i < 3; ++i) {
        TListItem* copy = target.GetPos(i);
        EXPECT_NE(copy, source.nodes[static_cast<size_t>(i)]);
        EXPECT_EQ(copy->PrevItem, i == 0 ? nullptr : target.GetPos(i - 1));
    }
    // TIntItem keeps the base Copy: its copies are plain nodes.
    EXPECT_EQ(target.Head->ClassType(), TListItem::StaticClass());
    target.Assign(target);
    EXPECT_EQ(target.Count, 3);
}

TEST(ListUnitTest, IntItemsAssignTheirValue)
{
    TIntItem a;
    a.Value = 42;
    TIntItem b;
    b.Assign(a);
    EXPECT_EQ(b.Value, 42);
    TListItem plain;
    b.Assign(plain);
    EXPECT_EQ(b.Value, 42);
}

} // namespace
