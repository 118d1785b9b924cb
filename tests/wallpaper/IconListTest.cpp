// The icon list of the notification-area icon: changes, updates and the
// stored form.

#include "wallpaper/IconList.h"

#include <gtest/gtest.h>

#include "platform/graphics/Icon.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "tests/support/IconFiles.h"

namespace {

std::unique_ptr<TIcon> IconOfSide(int side)
{
    const std::vector<std::uint8_t> bytes = iconfiles::File({{side, 32, 0, 9, 8, 7}});
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    auto icon = std::make_unique<TIcon>();
    icon->LoadFromStream(stream);
    icon->SetSize(side, side);
    return icon;
}

std::vector<std::uint8_t> Stored(const TIconList& list)
{
    TMemoryStream stream;
    list.WriteData(stream);
    return {stream.Memory(), stream.Memory() + stream.Size()};
}

void Read(TIconList& list, const std::vector<std::uint8_t>& bytes)
{
    TMemoryStream stream;
    if (!bytes.empty())
        stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    list.ReadData(stream);
}

class IconListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.OnChange = [this](TObject*) { ++changes; };
        list.BeginUpdate();
        list.Add(IconOfSide(16).get());
        list.Add(nullptr);
        list.Add(IconOfSide(24).get());
        list.EndUpdate();
        changes = 0;
    }

    TIconList list;
    int changes = 0;
};

TEST_F(IconListTest, RoundTripKeepsEveryEntryAndTheEmptyOne)
{
    const std::vector<std::uint8_t> bytes = Stored(list);
    // count, then the middle entry stored as size 0 with no bytes
    ASSERT_GE(bytes.size(), 12u);
    EXPECT_EQ(rtl::GetLE32(&bytes[0]), 3u);
    const std::uint32_t first = rtl::GetLE32(&bytes[4]);
    EXPECT_EQ(rtl::GetLE32(&bytes[8 + first]), 0u);

    TIconList copy;
    int copyChanges = 0;
    copy.OnChange = [&](TObject*) { ++copyChanges; };
    Read(copy, bytes);
    EXPECT_EQ(copyChanges, 1);
    ASSERT_EQ(copy.Count(), 3);
    ASSERT_NE(copy.Icons(0), nullptr);
    EXPECT_EQ(copy.Icons(1), nullptr);
    ASSERT_NE(copy.Icons(2), nullptr);
    EXPECT_EQ(copy.Icons(2)->Width(), 24);
    EXPECT_EQ(Stored(copy), bytes);
}

TEST_F(IconListTest, EveryTruncationIsRejectedAndLeavesTheListAsItWas)
{
    const std::vector<std::uint8_t> bytes = Stored(list);
    for (size_t length = 0; length < bytes.size(); ++length) {
        SCOPED_TRACE(length);
        TIconList target;
        target.Add(IconOfSide(8).get());
        EXPECT_THROW(Read(target, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length))),
                     Exception);
        ASSERT_EQ(target.Count(), 1);
        EXPECT_EQ(target.Icons(0)->Width(), 8);
    }
}

TEST_F(IconListTest, HugeCountsAndSizesAreRejectedBeforeAllocating)
{
    for (std::uint32_t count : {0x7FFFFFFFu, 0x80000000u}) {
        std::vector<std::uint8_t> bytes(8, 0);
        rtl::PutLE32(&bytes[0], count);
        EXPECT_THROW(Read(list, bytes), EReadError);
    }
    std::vector<std::uint8_t> bytes(8, 0);
    rtl::PutLE32(&bytes[0], 1);
    rtl::PutLE32(&bytes[4], 0x7FFFFFFF);
    EXPECT_THROW(Read(list, bytes), EReadError);
    // Bytes that are no icon: the icon's own error.
    bytes = {1, 0, 0, 0, 4, 0, 0, 0, 'j', 'u', 'n', 'k'};
    EXPECT_THROW(Read(list, bytes), EInvalidGraphic);
    EXPECT_EQ(list.Count(), 3);
}

TEST_F(IconListTest, ChangesAreReportedOnceAtTheEndOfAnUpdate)
{
    list.Exchange(0, 2);
    EXPECT_EQ(list.Icons(0)->Width(), 24);
    list.Move(0, 1);
    EXPECT_EQ(list.Icons(1)->Width(), 24);
    list.Delete(0);
    EXPECT_EQ(changes, 3);

    list.BeginUpdate();
    list.BeginUpdate();
    list.Add(IconOfSide(16).get());
    list.EndUpdate();
    list.Clear();
    EXPECT_EQ(changes, 3);
    list.EndUpdate();
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(IconListTest, AnIconChangedInsideTheListIsAChangeOfTheList)
{
    list.Icons(0)->SetSize(48, 48);
    EXPECT_EQ(changes, 1);
}

TEST_F(IconListTest, SettingAnEntryCopiesTheIcon)
{
    const std::unique_ptr<TIcon> icon = IconOfSide(40);
    list.SetIcons(1, icon.get());
    ASSERT_NE(list.Icons(1), nullptr);
    EXPECT_NE(list.Icons(1), icon.get());
    EXPECT_EQ(list.IndexOf(list.Icons(1)), 1);
    EXPECT_EQ(list.IndexOf(icon.get()), -1);
    list.SetIcons(3, icon.get());
    EXPECT_EQ(list.Count(), 4);
    EXPECT_THROW(list.SetIcons(5, icon.get()), EListError);
    EXPECT_EQ(changes, 2);
}

TEST_F(IconListTest, AssignCopiesAListOrOneIconAndNothingClears)
{
    TIconList other;
    other.Assign(&list);
    ASSERT_EQ(other.Count(), 3);
    EXPECT_NE(other.Icons(0), list.Icons(0));
    EXPECT_EQ(Stored(other), Stored(list));

    const std::unique_ptr<TIcon> icon = IconOfSide(16);
    other.Assign(icon.get());
    EXPECT_EQ(other.Count(), 1);
    other.Assign(nullptr);
    EXPECT_EQ(other.Count(), 0);
}

} // namespace
