#pragma once

// The show core's own doubly linked list. Nodes derive from TListItem and are
// owned by the list that holds them; moving a node (XChgItem, Sort) keeps the
// node object itself, so references to it stay valid.
//
// TList here is the show core's list; the platform's pointer list is rtl::TList.

#include "platform/rtl/Classes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TListItem : public TObject {
    DECLARE_CLASS(TListItem, TObject)
public:
    TListItem() = default;
    TListItem(const TListItem&) = delete;
    TListItem& operator=(const TListItem&) = delete;

    // Copies the link fields only; a copy is always relinked by the list that
    // takes it. Descendants add their own fields.
    virtual void Assign(const TListItem& Source);
    // A new node of this node's kind holding its values (not yet linked).
    virtual std::unique_ptr<TListItem> Copy() const;

    TListItem* PrevItem = nullptr;
    TListItem* NextItem = nullptr;
};

// A node carrying one integer. It keeps the base Copy, so a copy of it is a
// plain TListItem.
class TIntItem : public TListItem {
    DECLARE_CLASS(TIntItem, TListItem)
public:
    void Assign(const TListItem& Source) override;

    std::int32_t Value = 0;
};

class TList : public TObject {
    DECLARE_CLASS(TList, TObject)
public:
    TList() = default;
    ~TList() override;
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;

    // Appends the node and returns it.
    TListItem* AddItem(std::unique_ptr<TListItem> Item);
    // Inserts the node behind After; After nullptr puts it at the front.
    TListItem* InsertItem(std::unique_ptr<TListItem> Item, TListItem* After);
    // Unlinks the node and hands it back to the caller; its own links are
    // left as they were. nullptr does nothing.
    std::unique_ptr<TListItem> DeleteItemWithoutDestroy(TListItem* Item);
    // Unlinks and frees the node.
    void DeleteItem(TListItem* Item);
    void ClearList();
    // Empties the list without freeing the nodes: they pass to the caller, in order.
    [[nodiscard]] std::vector<std::unique_ptr<TListItem>> ClearListWithoutDelete();

    // The node at position n (0-based), walked from the nearer end; nullptr
    // outside 0..Count-1.
    TListItem* GetPos(std::int32_t n) const;
    // Exchanges the places of two nodes of this list, then the two
    // variables, so each again names the node at its former position.
    void XChgItem(TListItem*& A, TListItem*& B);
    // All-pairs exchange: afterwards no node stands before one that Before
    // puts ahead of it (ascending for a "less than" comparison). Quadratic.
    void Sort(const std::function<bool(TListItem* A, TListItem* B)>& Before);
    // Replaces the nodes by copies of the source's nodes.
    virtual void Assign(const TList& Source);

    TListItem* Head = nullptr;
    TListItem* Tail = nullptr;
    std::int32_t Count = 0;

private:
    void Unlink(TListItem* Item);
    void LinkBehind(TListItem* Item, TListItem* After);
};
