#pragma once
// Owned lists of items of one class: a TCollection creates its items through
// the item class's virtual constructor, frees them, and tells its owner of
// changes once an update bracket closes.

#include "platform/rtl/Classes.h"

#include <string>
#include <vector>

class TCollection;

class TCollectionItem : public TPersistent {
    DECLARE_CLASS(TCollectionItem, TPersistent)
public:
    TCollectionItem() = default;
    explicit TCollectionItem(TCollection* Collection);
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;
    ~TCollectionItem() override; // leaves its collection

    TCollection* Collection() const { return collection_; }
    // Moves the item to another collection (nullptr: to none).
    void SetCollection(TCollection* Value);
    int Index() const;
    void SetIndex(int Value);
    int ID() const { return id_; }
    // What editors show: the class name unless a descendant has a better one.
    virtual std::string DisplayName() const;

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int id_ = 0;
};

class TCollection : public TPersistent {
    DECLARE_CLASS(TCollection, TPersistent)
public:
    // ItemClass must be TCollectionItem or a descendant.
    explicit TCollection(TClass ItemClass);
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;
    ~TCollection() override;

    TClass ItemClass() const { return itemClass_; }
    int Count() const { return static_cast<int>(items_.size()); }
    TCollectionItem* Items(int Index) const; // EListError when out of range
    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    TCollectionItem* FindItemID(int ID) const;
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }
    // Copies a collection of the same item class item by item.
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnChange;

protected:
    // A change of the items, told once an update bracket closes.
    virtual void Update(TCollectionItem* Item);

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item, int Index);
    void RemoveItem(TCollectionItem* Item);
    void Changed();

    TClass itemClass_;
    std::vector<TCollectionItem*> items_; // owned
    int nextID_ = 0;
    int updateCount_ = 0;
};
