#include "platform/rtl/PointerList.h"

#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <string>

namespace rtl {

void TList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void* TList::Items(int index) const
{
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)];
}

void TList::SetItems(int index, void* item)
{
    CheckIndex(index);
    items_[static_cast<std::size_t>(index)] = item;
}

int TList::Add(void* item)
{
    items_.push_back(item);
    return Count() - 1;
}

void TList::Insert(int index, void* item)
{
    if (index < 0 || index > Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    items_.insert(items_.begin() + index, item);
}

void TList::Delete(int index)
{
    CheckIndex(index);
    items_.erase(items_.begin() + index);
}

int TList::Remove(void* item)
{
    const int index = IndexOf(item);
    if (index >= 0)
        Delete(index);
    return index;
}

void* TList::Extract(void* item) { return Remove(item) >= 0 ? item : nullptr; }

void TList::Clear()
{
    items_.clear();
    items_.shrink_to_fit();
}

void TList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(items_[static_cast<std::size_t>(index1)], items_[static_cast<std::size_t>(index2)]);
}

void TList::Move(int currentIndex, int newIndex)
{
    if (currentIndex == newIndex)
        return;
    CheckIndex(currentIndex);
    CheckIndex(newIndex);
    void* item = items_[static_cast<std::size_t>(currentIndex)];
    items_.erase(items_.begin() + currentIndex);
    items_.insert(items_.begin() + newIndex, item);
}

void TList::Pack() { std::erase(items_, nullptr); }

int TList::IndexOf(const void* item) const
{
    const auto found = std::find(items_.begin(), items_.end(), item);
    return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

void* TList::First() const { return Items(0); }

void* TList::Last() const { return Items(Count() - 1); }

void TList::Sort(const TListSortCompare& compare)
{
    std::stable_sort(items_.begin(), items_.end(), [&](void* a, void* b) { return compare(a, b) < 0; });
}

void TList::SetCapacity(int capacity)
{
    if (capacity < Count() || capacity > kMaxListSize)
        throw EListError("List capacity out of bounds (" + std::to_string(capacity) + ")");
    items_.reserve(static_cast<std::size_t>(capacity));
}

} // namespace rtl
