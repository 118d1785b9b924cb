#pragma once

// The platform's list of untyped pointers. It lives in namespace rtl because
// the global name TList belongs to the show core's own linked list.

#include <functional>
#include <vector>

namespace rtl {

class TList {
public:
    using TListSortCompare = std::function<int(void* item1, void* item2)>;

    TList() = default;
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;
    virtual ~TList() = default;

    int Count() const { return static_cast<int>(items_.size()); }
    // Index errors raise EListError.
    void* Items(int index) const;
    void SetItems(int index, void* item);

    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    // Removes the first occurrence; returns its former index or -1.
    int Remove(void* item);
    // Removes the first occurrence and returns the item, nullptr when absent.
    void* Extract(void* item);
    void Clear();
    void Exchange(int index1, int index2);
    void Move(int currentIndex, int newIndex);
    // Removes every nullptr.
    void Pack();
    int IndexOf(const void* item) const;
    // Raise EListError on an empty list.
    void* First() const;
    void* Last() const;
    // Stable order for equal items.
    void Sort(const TListSortCompare& compare);

    // The platform's largest list; a capacity below Count or above it raises EListError.
    static constexpr int kMaxListSize = 0x7FFFFFFF / 16;

    int Capacity() const { return static_cast<int>(items_.capacity()); }
    void SetCapacity(int capacity);

private:
    void CheckIndex(int index) const;

    std::vector<void*> items_;
};

} // namespace rtl
