#include "wallpaper/IconList.h"

#include <cstdint>
#include <string>
#include <utility>

#include "platform/graphics/Icon.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

IMPLEMENT_CLASS(TIconList)

namespace {

std::unique_ptr<TIcon> CopyOf(const TIcon* icon)
{
    auto copy = std::make_unique<TIcon>();
    if (icon)
        copy->Assign(icon);
    return copy;
}

std::int32_t ReadInt32(TStream& stream)
{
    std::uint8_t bytes[4];
    stream.ReadBuffer(bytes, sizeof bytes);
    return static_cast<std::int32_t>(rtl::GetLE32(bytes));
}

void WriteInt32(TStream& stream, std::int32_t value)
{
    std::uint8_t bytes[4];
    rtl::PutLE32(bytes, static_cast<std::uint32_t>(value));
    stream.WriteBuffer(bytes, sizeof bytes);
}

[[noreturn]] void Truncated() { throw EReadError("The icon list is truncated"); }

std::unique_ptr<TIcon> ReadIcon(TStream& stream, std::int32_t size)
{
    TMemoryStream bytes;
    bytes.CopyFrom(stream, size);
    bytes.SetPosition(0);
    auto icon = std::make_unique<TIcon>();
    icon->LoadFromStream(bytes);
    return icon;
}

} // namespace

TIconList::TIconList() = default;

TIconList::~TIconList()
{
    // The icons die with the list; they must not call back into it.
    for (auto& icon : icons_)
        if (icon)
            icon->OnChange = nullptr;
}

void TIconList::CheckIndex(int index, int count) const
{
    if (index < 0 || index >= count)
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void TIconList::Bind(TIcon& icon)
{
    icon.OnChange = [this](TObject*) { Changed(); };
}

void TIconList::Changed()
{
    if (updateCount_ == 0 && OnChange)
        OnChange(this);
}

TIcon* TIconList::Icons(int index) const
{
    CheckIndex(index, Count());
    return icons_[static_cast<size_t>(index)].get();
}

void TIconList::SetIcons(int index, const TIcon* icon)
{
    CheckIndex(index, Count() + 1);
    BeginUpdate();
    if (index == Count())
        icons_.emplace_back();
    auto& entry = icons_[static_cast<size_t>(index)];
    if (!entry) {
        entry = std::make_unique<TIcon>();
        Bind(*entry);
    }
    if (icon != entry.get()) {
        const TIcon empty;
        entry->Assign(icon ? icon : &empty);
    }
    Changed();
    EndUpdate();
}

int TIconList::Add(const TIcon* icon)
{
    Insert(Count(), icon);
    return Count() - 1;
}

void TIconList::Insert(int index, const TIcon* icon)
{
    CheckIndex(index, Count() + 1);
    std::unique_ptr<TIcon> copy;
    if (icon) {
        copy = CopyOf(icon);
        Bind(*copy);
    }
    icons_.insert(icons_.begin() + index, std::move(copy));
    Changed();
}

void TIconList::Delete(int index)
{
    CheckIndex(index, Count());
    icons_.erase(icons_.begin() + index);
    Changed();
}

void TIconList::Clear()
{
    BeginUpdate();
    for (int index = Count() - 1; index >= 0; --index)
        Delete(index);
    EndUpdate();
}

void TIconList::Exchange(int index1, int index2)
{
    CheckIndex(index1, Count());
    CheckIndex(index2, Count());
    std::swap(icons_[static_cast<size_t>(index1)], icons_[static_cast<size_t>(index2)]);
    Changed();
}

void TIconList::Move(int from, int to)
{
    CheckIndex(from, Count());
    CheckIndex(to, Count());
    std::unique_ptr<TIcon> moved = std::move(icons_[static_cast<size_t>(from)]);
    icons_.erase(icons_.begin() + from);
    icons_.insert(icons_.begin() + to, std::move(moved));
    Changed();
}

int TIconList::IndexOf(const TIcon* icon) const
{
    for (int index = 0; index < Count(); ++index)
        if (icons_[static_cast<size_t>(index)].get() == icon)
            return index;
    return -1;
}

void TIconList::Assign(const TPersistent* source)
{
    if (!source) {
        Clear();
        return;
    }
    if (const auto* list = dynamic_cast<const TIconList*>(source)) {
        if (list == this)
            return;
        BeginUpdate();
        Clear();
        for (const auto& icon : list->icons_)
            Add(icon.get());
        EndUpdate();
        return;
    }
    if (const auto* icon = dynamic_cast<const TIcon*>(source)) {
        BeginUpdate();
        Clear();
        Add(icon);
        EndUpdate();
        return;
    }
    TPersistent::Assign(source);
}

void TIconList::BeginUpdate() { ++updateCount_; }

void TIconList::EndUpdate()
{
    if (updateCount_ == 0)
        return;
    if (--updateCount_ == 0)
        Changed();
}

void TIconList::ReadData(TStream& stream)
{
    // Every count and size is checked against the bytes left, so damaged data
    // never makes a huge list or buffer; the list changes only when all of it
    // has been read.
    const std::int32_t count = ReadInt32(stream);
    if (count < 0 || count > (stream.Size() - stream.Position()) / 4)
        Truncated();
    std::vector<std::unique_ptr<TIcon>> icons;
    icons.reserve(static_cast<size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t size = ReadInt32(stream);
        if (size <= 0) {
            icons.emplace_back();
            continue;
        }
        if (size > stream.Size() - stream.Position())
            Truncated();
        icons.push_back(ReadIcon(stream, size));
    }
    BeginUpdate();
    Clear();
    icons_ = std::move(icons);
    for (auto& icon : icons_)
        if (icon)
            Bind(*icon);
    Changed();
    EndUpdate();
}

void TIconList::WriteData(TStream& stream) const
{
    WriteInt32(stream, Count());
    for (const auto& icon : icons_) {
        if (!icon || icon->Empty()) {
            WriteInt32(stream, 0);
            continue;
        }
        TMemoryStream bytes;
        icon->SaveToStream(bytes);
        WriteInt32(stream, static_cast<std::int32_t>(bytes.Size()));
        stream.WriteBuffer(bytes.Memory(), bytes.Size());
    }
}
