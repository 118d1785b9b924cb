#include "platform/rtl/Collections.h"

#include <algorithm>
#include <iterator>

IMPLEMENT_CLASS(TCollectionItem)
IMPLEMENT_CLASS(TCollection)

TCollectionItem::TCollectionItem(TCollection* Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* Value)
{
    if (Value == collection_)
        return;
    if (collection_)
        collection_->RemoveItem(this);
    if (Value)
        Value->InsertItem(this, Value->Count());
}

int TCollectionItem::Index() const
{
    if (!collection_)
        return -1;
    const auto& items = collection_->items_;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int Value)
{
    const int current = Index();
    if (current < 0 || Value == current)
        return;
    auto& items = collection_->items_;
    Value = std::clamp(Value, 0, static_cast<int>(items.size()) - 1);
    items.erase(items.begin() + current);
    items.insert(items.begin() + Value, this);
    collection_->Changed();
}

std::string TCollectionItem::DisplayName() const { return ClassName(); }

TCollection::TCollection(TClass ItemClass) : itemClass_(ItemClass)
{
    if (!ItemClass || !ItemClass->InheritsFrom(TCollectionItem::StaticClass()))
        throw EConvertError("The item class of a collection must descend from TCollectionItem");
}

TCollection::~TCollection()
{
    updateCount_ = 1; // no change events while going away
    Clear();
}

TCollectionItem* TCollection::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return items_[static_cast<size_t>(Index)];
}

TCollectionItem* TCollection::Add() { return Insert(Count()); }

TCollectionItem* TCollection::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    auto item = itemClass_->CreateAs<TCollectionItem>();
    InsertItem(item.get(), Index);
    return item.release();
}

void TCollection::Delete(int Index) { delete Items(Index); }

void TCollection::Clear()
{
    if (items_.empty())
        return;
    BeginUpdate();
    while (!items_.empty())
        delete items_.back();
    EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (TCollectionItem* item : items_)
        if (item->id_ == ID)
            return item;
    return nullptr;
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0)
        Changed();
}

void TCollection::Assign(const TPersistent* Source)
{
    const auto* other = dynamic_cast<const TCollection*>(Source);
    if (!other) {
        TPersistent::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : other->items_)
            Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::Update(TCollectionItem* /*Item*/)
{
    if (OnChange)
        OnChange(this);
}

void TCollection::InsertItem(TCollectionItem* Item, int Index)
{
    items_.insert(items_.begin() + Index, Item);
    Item->collection_ = this;
    Item->id_ = nextID_++;
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item)
{
    // Searched from the end: clearing removes the last item first.
    const auto found = std::find(items_.rbegin(), items_.rend(), Item);
    if (found != items_.rend())
        items_.erase(std::next(found).base());
    Item->collection_ = nullptr;
    Changed();
}

void TCollection::Changed()
{
    if (updateCount_ == 0)
        Update(nullptr);
}
