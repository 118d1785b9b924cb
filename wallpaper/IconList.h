#pragma once
// The icons a notification-area icon cycles through. The list owns copies of
// the icons it is given; an entry may be empty. Every change raises OnChange,
// once at the end of an outermost BeginUpdate/EndUpdate.
//
// Stored as a 32-bit count, then per entry a 32-bit byte size and the icon
// file's bytes; an empty entry has size 0 and no bytes.

#include <memory>
#include <vector>

#include "platform/rtl/Classes.h"

class TIcon;
class TStream;

class TIconList : public TPersistent {
    DECLARE_CLASS(TIconList, TPersistent)

public:
    TIconList();
    ~TIconList() override;
    TIconList(const TIconList&) = delete;
    TIconList& operator=(const TIconList&) = delete;

    int Count() const { return static_cast<int>(icons_.size()); }
    // The icon at index, nullptr for an empty entry. EListError outside.
    TIcon* Icons(int index) const;
    // Copies icon into the entry; index = Count appends one first.
    void SetIcons(int index, const TIcon* icon);

    // Copies icon into a new entry (empty for nullptr); returns its index.
    int Add(const TIcon* icon);
    void Insert(int index, const TIcon* icon);
    void Delete(int index);
    void Clear();
    void Exchange(int index1, int index2);
    void Move(int from, int to);
    int IndexOf(const TIcon* icon) const;

    // nullptr clears; a list or a single icon is copied.
    void Assign(const TPersistent* source) override;

    void BeginUpdate();
    void EndUpdate();

    // Replaces the list with the stored one. Damaged or truncated data
    // raises an exception and leaves the list as it was.
    void ReadData(TStream& stream);
    void WriteData(TStream& stream) const;

    TNotifyEvent OnChange;

private:
    void CheckIndex(int index, int count) const;
    void Bind(TIcon& icon);
    void Changed();

    std::vector<std::unique_ptr<TIcon>> icons_;
    int updateCount_ = 0;
};
