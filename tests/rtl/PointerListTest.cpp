#include "platform/rtl/PointerList.h"

#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct PointerListTest : ::testing::Test {
    int values[5] = {30, 10, 20, 10, 40};
    rtl::TList list;

    void SetUp() override
    {
        for (int& v : values)
            list.Add(&v);
    }

    std::vector<int> Contents() const
    {
        std::vector<int> out;
        for (int i = 0; i < list.Count(); ++i)
            out.push_back(list.Items(i) ? *static_cast<int*>(list.Items(i)) : 0);
        return out;
    }
};

TEST_F(PointerListTest, IndexErrorsRaiseListErrors)
{
    EXPECT_THROW(list.Items(5), EListError);
    EXPECT_THROW(list.Items(-1), EListError);
    EXPECT_THROW(list.Delete(5), EListError);
    EXPECT_THROW(list.Insert(6, nullptr), EListError);
    EXPECT_THROW(list.Move(0, 5), EListError);
    EXPECT_THROW(list.SetCapacity(2), EListError);
    EXPECT_THROW(list.SetCapacity(rtl::TList::kMaxListSize + 1), EListError);
    list.Clear();
    EXPECT_THROW(list.First(), EListError);
    EXPECT_THROW(list.Last(), EListError);
}

TEST_F(PointerListTest, RemovingMovingAndPacking)
{
    EXPECT_EQ(list.Remove(&values[1]), 1);
    EXPECT_EQ(list.Remove(&values[1]), -1);
    EXPECT_EQ(list.Extract(&values[0]), &values[0]);
    EXPECT_EQ(list.Extract(&values[0]), nullptr);
    EXPECT_EQ(Contents(), (std::vector<int>{20, 10, 40}));

    list.Move(0, 2);
    EXPECT_EQ(Contents(), (std::vector<int>{10, 40, 20}));
    list.Insert(1, nullptr);
    list.Add(nullptr);
    list.Exchange(0, 3);
    EXPECT_EQ(Contents(), (std::vector<int>{20, 0, 40, 10, 0}));
    list.Pack();
    EXPECT_EQ(Contents(), (std::vector<int>{20, 40, 10}));
    EXPECT_EQ(list.First(), &values[2]);
    EXPECT_EQ(list.Last(), &values[3]);
}

TEST_F(PointerListTest, SortKeepsEqualItemsInTheirOrder)
{
    list.Sort([](void* a, void* b) { return *static_cast<int*>(a) - *static_cast<int*>(b); });
    EXPECT_EQ(Contents(), (std::vector<int>{10, 10, 20, 30, 40}));
    EXPECT_EQ(list.Items(0), &values[1]);
    EXPECT_EQ(list.Items(1), &values[3]);
}

} // namespace
