#include "platform/rtl/StringList.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <exception>
#include <numeric>
#include <utility>

namespace {

[[noreturn]] void ListIndexError(int index)
{
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

bool NeedsQuotes(std::string_view s)
{
    if (s.empty())
        return true; // unquoted, an empty string would vanish on reading back
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ','; });
}

std::string Quoted(std::string_view s)
{
    std::string out = "\"";
    for (const char c : s) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + '"';
}

bool IsBlank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }

// Reads a quoted string starting at the opening quote; a doubled quote stands
// for one. Without a closing quote the rest of the text belongs to it.
std::string ExtractQuoted(std::string_view text, std::size_t& pos)
{
    std::string out;
    ++pos;
    while (pos < text.size()) {
        const char c = text[pos++];
        if (c != '"') {
            out += c;
        } else if (pos < text.size() && text[pos] == '"') {
            out += '"';
            ++pos;
        } else {
            break;
        }
    }
    return out;
}

// Brackets a batch of changes like try/finally: the batch also ends when a
// change fails, so a failed Assign does not silence the list for good.
class UpdateScope {
public:
    explicit UpdateScope(TStrings& strings) : strings_(strings), unwinding_(std::uncaught_exceptions())
    {
        strings_.BeginUpdate();
    }
    ~UpdateScope() noexcept(false)
    {
        if (std::uncaught_exceptions() == unwinding_) {
            strings_.EndUpdate();
            return;
        }
        try {
            strings_.EndUpdate();
        } catch (...) {
            // The failure already on its way is the one to report.
        }
    }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    TStrings& strings_;
    int unwinding_;
};

} // namespace

IMPLEMENT_CLASS(TStrings)
IMPLEMENT_CLASS(TStringList)

// ---------------------------------------------------------------- TStrings

void TStrings::Put(int index, const std::string& s)
{
    TObject* object = GetObject(index);
    const UpdateScope update(*this);
    Delete(index);
    InsertObject(index, s, object);
}

TObject* TStrings::GetObject(int) const { return nullptr; }

void TStrings::PutObject(int, TObject*) { }

void TStrings::SetUpdateState(bool) { }

int TStrings::CompareStrings(std::string_view a, std::string_view b) const { return rtl::AnsiCompareText(a, b); }

int TStrings::Add(const std::string& s)
{
    const int index = Count();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, TObject* object)
{
    const int index = Add(s);
    PutObject(index, object);
    return index;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object)
{
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::Exchange(int index1, int index2)
{
    const UpdateScope update(*this);
    const std::string s1 = Strings(index1);
    TObject* o1 = Objects(index1);
    Put(index1, Strings(index2));
    PutObject(index1, Objects(index2));
    Put(index2, s1);
    PutObject(index2, o1);
}

void TStrings::Move(int currentIndex, int newIndex)
{
    if (currentIndex == newIndex)
        return;
    const UpdateScope update(*this);
    const std::string s = Strings(currentIndex);
    TObject* object = Objects(currentIndex);
    Delete(currentIndex);
    InsertObject(newIndex, s, object);
}

void TStrings::AddStrings(const TStrings& strings)
{
    const UpdateScope update(*this);
    for (int i = 0; i < strings.Count(); ++i)
        AddObject(strings.Strings(i), strings.Objects(i));
}

void TStrings::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TStrings*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    const UpdateScope update(*this);
    Clear();
    AddStrings(*source);
}

int TStrings::IndexOf(const std::string& s) const
{
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), s) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i) {
        const std::string line = Get(i);
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos && CompareStrings(std::string_view(line).substr(0, eq), name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* object) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == object)
            return i;
    return -1;
}

std::string TStrings::Names(int index) const
{
    const std::string line = Get(index);
    const std::size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStrings::Values(const std::string& name) const
{
    const int index = IndexOfName(name);
    if (index < 0)
        return {};
    const std::string line = Get(index);
    return line.substr(line.find('=') + 1);
}

void TStrings::SetValues(const std::string& name, const std::string& value)
{
    const int index = IndexOfName(name);
    if (value.empty()) {
        if (index >= 0)
            Delete(index);
    } else if (index < 0) {
        Add(name + "=" + value);
    } else {
        Put(index, name + "=" + value);
    }
}

std::string TStrings::Text() const
{
    std::string out;
    for (int i = 0; i < Count(); ++i)
        out += Get(i) + "\r\n";
    return out;
}

void TStrings::SetText(std::string_view text)
{
    const UpdateScope update(*this);
    Clear();
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        Add(std::string(text.substr(pos, end - pos)));
        pos = end;
        if (pos < text.size() && text[pos] == '\r')
            ++pos;
        if (pos < text.size() && text[pos] == '\n')
            ++pos;
    }
}

std::string TStrings::CommaText() const
{
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        const std::string s = Get(i);
        if (i > 0)
            out += ',';
        out += NeedsQuotes(s) ? Quoted(s) : s;
    }
    return out;
}

void TStrings::SetCommaText(std::string_view text)
{
    const UpdateScope update(*this);
    Clear();
    std::size_t pos = 0;
    const auto skipBlanks = [&] {
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
    };
    skipBlanks();
    while (pos < text.size() && text[pos] != '\0') {
        if (text[pos] == '"') {
            Add(ExtractQuoted(text, pos));
        } else {
            // Unquoted strings end at a comma or at any blank.
            const std::size_t start = pos;
            while (pos < text.size() && static_cast<unsigned char>(text[pos]) > ' ' && text[pos] != ',')
                ++pos;
            Add(std::string(text.substr(start, pos - start)));
        }
        skipBlanks();
        if (pos < text.size() && text[pos] == ',') {
            ++pos;
            skipBlanks();
        }
    }
}

void TStrings::BeginUpdate()
{
    if (updateCount_ == 0)
        SetUpdateState(true);
    ++updateCount_;
}

void TStrings::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0)
        SetUpdateState(false);
}

// ------------------------------------------------------------- TStringList

TStringList::~TStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
    Clear();
}

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        ListIndexError(index);
}

void TStringList::CheckNotSorted() const
{
    if (sorted_)
        throw EStringListError("Operation not allowed on sorted string list");
}

void TStringList::ReleaseObject(TObject* object) { delete object; }

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::SetUpdateState(bool updating)
{
    if (updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const
{
    return caseSensitive_ ? rtl::AnsiCompareStr(a, b) : rtl::AnsiCompareText(a, b);
}

std::string TStringList::Get(int index) const
{
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].String;
}

void TStringList::Put(int index, const std::string& s)
{
    CheckNotSorted();
    CheckIndex(index);
    Changing();
    items_[static_cast<std::size_t>(index)].String = s;
    Changed();
}

TObject* TStringList::GetObject(int index) const
{
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].Object;
}

void TStringList::PutObject(int index, TObject* object)
{
    CheckIndex(index);
    Item& item = items_[static_cast<std::size_t>(index)];
    if (item.Object == object)
        return;
    Changing();
    TObject* previous = std::exchange(item.Object, object);
    if (OwnsObjects)
        ReleaseObject(previous);
    Changed();
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object)
{
    Changing();
    items_.insert(items_.begin() + index, Item{s, object});
    Changed();
}

int TStringList::Add(const std::string& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const std::string& s, TObject* object)
{
    int index = Count();
    if (sorted_ && Find(s, index)) {
        if (Duplicates == dupIgnore) {
            if (OwnsObjects && object != items_[static_cast<std::size_t>(index)].Object)
                ReleaseObject(object);
            return index;
        }
        if (Duplicates == dupError)
            throw EStringListError("String list does not allow duplicates");
    }
    InsertItem(index, s, object);
    return index;
}

void TStringList::Insert(int index, const std::string& s)
{
    CheckNotSorted();
    if (index < 0 || index > Count())
        ListIndexError(index);
    InsertItem(index, s, nullptr);
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    Changing();
    TObject* object = items_[static_cast<std::size_t>(index)].Object;
    items_.erase(items_.begin() + index);
    if (OwnsObjects)
        ReleaseObject(object);
    Changed();
}

void TStringList::Clear()
{
    if (items_.empty())
        return;
    Changing();
    std::vector<Item> old = std::exchange(items_, {});
    if (OwnsObjects)
        for (const Item& item : old)
            ReleaseObject(item.Object);
    Changed();
}

void TStringList::Move(int currentIndex, int newIndex)
{
    CheckNotSorted();
    CheckIndex(currentIndex);
    CheckIndex(newIndex);
    if (currentIndex == newIndex)
        return;
    Changing();
    // Moving keeps the object: no Delete, which would free an owned one.
    Item item = std::move(items_[static_cast<std::size_t>(currentIndex)]);
    items_.erase(items_.begin() + currentIndex);
    items_.insert(items_.begin() + newIndex, std::move(item));
    Changed();
}

void TStringList::Exchange(int index1, int index2)
{
    CheckNotSorted();
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(items_[static_cast<std::size_t>(index1)], items_[static_cast<std::size_t>(index2)]);
    Changed();
}

int TStringList::IndexOf(const std::string& s) const
{
    if (!sorted_)
        return TStrings::IndexOf(s);
    int index = 0;
    return Find(s, index) ? index : -1;
}

bool TStringList::Find(const std::string& s, int& index) const
{
    const auto first = std::lower_bound(
        items_.begin(), items_.end(), s,
        [this](const Item& item, const std::string& value) { return CompareStrings(item.String, value) < 0; });
    index = static_cast<int>(first - items_.begin());
    return first != items_.end() && CompareStrings(first->String, s) == 0;
}

void TStringList::Sort()
{
    CustomSort([](TStringList& list, int a, int b) {
        return list.CompareStrings(list.items_[static_cast<std::size_t>(a)].String,
                                   list.items_[static_cast<std::size_t>(b)].String);
    });
}

void TStringList::CustomSort(const TStringListSortCompare& compare)
{
    if (items_.size() < 2)
        return;
    Changing();
    // Sort a permutation so that the comparison sees the list unchanged.
    std::vector<int> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (const int i : order)
        sorted.push_back(std::move(items_[static_cast<std::size_t>(i)]));
    items_ = std::move(sorted);
    Changed();
}

void TStringList::SetSorted(bool value)
{
    if (value == sorted_)
        return;
    if (value)
        Sort();
    sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value)
{
    if (value == caseSensitive_)
        return;
    caseSensitive_ = value;
    if (sorted_)
        Sort();
}
