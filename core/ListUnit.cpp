#include "core/ListUnit.h"

#include <utility>

IMPLEMENT_CLASS(TListItem)
IMPLEMENT_CLASS(TIntItem)
IMPLEMENT_CLASS(TList)

void TListItem::Assign(const TListItem& Source)
{
    PrevItem = Source.PrevItem;
    NextItem = Source.NextItem;
}

std::unique_ptr<TListItem> TListItem::Copy() const
{
    auto copy = std::make_unique<TListItem>();
    copy->Assign(*this);
    return copy;
}

void TIntItem::Assign(const TListItem& Source)
{
    TListItem::Assign(Source);
    if (const auto* source = dynamic_cast<const TIntItem*>(&Source))
        Value = source->Value;
}

TList::~TList() { ClearList(); }

TListItem* TList::AddItem(std::unique_ptr<TListItem> Item)
{
    TListItem* node = Item.release();
    LinkBehind(node, Tail);
    return node;
}

TListItem* TList::InsertItem(std::unique_ptr<TListItem> Item, TListItem* After)
{
    TListItem* node = Item.release();
    LinkBehind(node, After);
    return node;
}

std::unique_ptr<TListItem> TList::DeleteItemWithoutDestroy(TListItem* Item)
{
    if (Item == nullptr)
        return nullptr;
    Unlink(Item);
    return std::unique_ptr<TListItem>(Item);
}

void TList::DeleteItem(TListItem* Item) { DeleteItemWithoutDestroy(Item).reset(); }

void TList::ClearList()
{
    while (Head != nullptr)
        DeleteItem(Head);
}

std::vector<std::unique_ptr<TListItem>> TList::ClearListWithoutDelete()
{
    std::vector<std::unique_ptr<TListItem>> nodes;
    nodes.reserve(static_cast<size_t>(Count));
    for (TListItem* node = Head; node != nullptr; node = node->NextItem)
        nodes.emplace_back(node);
    Head = nullptr;
    Tail = nullptr;
    Count = 0;
    return nodes;
}

TListItem* TList::GetPos(std::int32_t n) const
{
    if (n < 0 || n >= Count)
        return nullptr;
    TListItem* node;
    if (n < Count / 2) {
        node = Head;
        for (std::int32_t i = 0; i < n; ++i)
            node = node->NextItem;
    } else {
        node = Tail;
        for (std::int32_t i = Count - 1; i > n; --i)
            node = node->PrevItem;
    }
    return node;
}

void TList::XChgItem(TListItem*& A, TListItem*& B)
{
    if (A == nullptr || B == nullptr || A == B)
        return;
    // Move the first node behind the second, then the second to where the
    // first stood. That place must not be the second node itself, so of
    // two neighbours the front one moves first.
    TListItem* first = B->NextItem == A ? B : A;
    TListItem* second = first == A ? B : A;
    TListItem* firstPlace = first->PrevItem;
    Unlink(first);
    LinkBehind(first, second);
    Unlink(second);
    LinkBehind(second, firstPlace);
    std::swap(A, B);
}

void TList::Sort(const std::function<bool(TListItem* A, TListItem* B)>& Before)
{
    // XChgItem swaps the two variables too, so i and j keep walking from the
    // positions they stood at.
    for (TListItem* i = Head; i != nullptr; i = i->NextItem)
        for (TListItem* j = Head; j != nullptr; j = j->NextItem)
            if (Before(i, j))
                XChgItem(i, j);
}

void TList::Assign(const TList& Source)
{
    if (&Source == this)
        return;
    ClearList();
    for (TListItem* node = Source.Head; node != nullptr; node = node->NextItem)
        AddItem(node->Copy());
}

void TList::Unlink(TListItem* Item)
{
    (Item->PrevItem ? Item->PrevItem->NextItem : Head) = Item->NextItem;
    (Item->NextItem ? Item->NextItem->PrevItem : Tail) = Item->PrevItem;
    --Count;
}

void TList::LinkBehind(TListItem* Item, TListItem* After)
{
    TListItem* next = After ? After->NextItem : Head;
    Item->PrevItem = After;
    Item->NextItem = next;
    (After ? After->NextItem : Head) = Item;
    (next ? next->PrevItem : Tail) = Item;
    ++Count;
}
