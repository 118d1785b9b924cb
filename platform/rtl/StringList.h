#pragma once

// TStrings, the abstract list of strings with attached objects, and
// TStringList, its stored implementation (sorting, duplicates, ownership).

#include "platform/rtl/Classes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum TDuplicates : uint8_t { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
    DECLARE_CLASS(TStrings, TPersistent)
public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;
    virtual ~TStrings() = default;

    virtual int Count() const = 0;
    // Index errors raise EStringListError.
    std::string Strings(int index) const { return Get(index); }
    void SetStrings(int index, const std::string& s) { Put(index, s); }
    TObject* Objects(int index) const { return GetObject(index); }
    void SetObjects(int index, TObject* object) { PutObject(index, object); }

    virtual int Add(const std::string& s);
    virtual int AddObject(const std::string& s, TObject* object);
    virtual void Insert(int index, const std::string& s) = 0;
    void InsertObject(int index, const std::string& s, TObject* object);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int index1, int index2);
    virtual void Move(int currentIndex, int newIndex);
    void AddStrings(const TStrings& strings);
    // From another TStrings: replaces the contents by its strings and objects.
    // Objects are shared, not copied: at most one of two lists holding the
    // same objects may own them.
    void Assign(const TPersistent* Source) override;

    virtual int IndexOf(const std::string& s) const;
    int IndexOfName(const std::string& name) const;
    int IndexOfObject(const TObject* object) const;

    // "Name=Value" lines.
    std::string Names(int index) const;
    std::string Values(const std::string& name) const;
    // An empty value deletes the line; a new name adds one.
    void SetValues(const std::string& name, const std::string& value);

    // Every string followed by CR LF. Reading splits at CR LF, LF or a lone
    // CR; a missing final line break still ends the last line.
    std::string Text() const;
    void SetText(std::string_view text);

    // Strings separated by commas; a string that is empty or holds a space,
    // control character, comma or quote is quoted with '"' (quotes doubled).
    std::string CommaText() const;
    void SetCommaText(std::string_view text);

    // Batches changes: the list reports one change when the outermost
    // EndUpdate is reached.
    void BeginUpdate();
    void EndUpdate();

protected:
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s);
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* object);
    virtual void SetUpdateState(bool updating);
    // Three-way comparison used by IndexOf and the name lookups.
    virtual int CompareStrings(std::string_view a, std::string_view b) const;
    int UpdateCount() const { return updateCount_; }

private:
    int updateCount_ = 0;
};

class TStringList : public TStrings {
    DECLARE_CLASS(TStringList, TStrings)
public:
    using TStringListSortCompare = std::function<int(TStringList& list, int index1, int index2)>;

    TStringList() = default;
    ~TStringList() override;

    int Count() const override { return static_cast<int>(items_.size()); }
    // In a sorted list Add inserts at the sorted place and the Duplicates rule
    // applies: dupIgnore returns the index of the string already there,
    // dupError raises EStringListError.
    int Add(const std::string& s) override;
    // When the string is ignored as a duplicate and the list owns its
    // objects, the object handed over is freed.
    int AddObject(const std::string& s, TObject* object) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;
    void Move(int currentIndex, int newIndex) override;
    int IndexOf(const std::string& s) const override;

    // Binary search of a sorted list: true when found, `index` is then the
    // first equal string, otherwise where the string would be inserted.
    bool Find(const std::string& s, int& index) const;
    virtual void Sort();
    void CustomSort(const TStringListSortCompare& compare);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool value);
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool value);

    TDuplicates Duplicates = dupIgnore;
    // When set, the list frees the objects it holds as they leave it.
    bool OwnsObjects = false;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    void SetUpdateState(bool updating) override;
    int CompareStrings(std::string_view a, std::string_view b) const override;
    virtual void Changed();
    virtual void Changing();

private:
    struct Item {
        std::string String;
        TObject* Object = nullptr;
    };

    void CheckIndex(int index) const;
    void CheckNotSorted() const;
    void InsertItem(int index, const std::string& s, TObject* object);
    void ReleaseObject(TObject* object);

    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
};
