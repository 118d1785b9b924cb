// Settings text read back into components: every stored value, count and
// name comes from a file the user may have edited. Also feeds the same text
// to the date parser and the wildcard matcher. The outcome gives the values
// the target was given.
#include "fuzz/FuzzOutcome.h"
#include "platform/rtl/Collections.h"
#include "platform/rtl/StringList.h"
#include "widgets/Dateutil.h"
#include "widgets/Ksprops.h"
#include "widgets/Strutils.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace {

class TFuzzItem : public TCollectionItem {
    DECLARE_CLASS(TFuzzItem, TCollectionItem)
public:
    std::string Text;
};

class TFuzzTarget : public TComponent {
    DECLARE_CLASS(TFuzzTarget, TComponent)
public:
    explicit TFuzzTarget(TComponent* AOwner) : TComponent(AOwner), Items(TFuzzItem::StaticClass()) { }
    int64_t Number = 0;
    int64_t Mode = 0;
    int64_t Flags = 0;
    int64_t Letter = 0;
    double Ratio = 0;
    TStringList Lines;
    TCollection Items;
    TComponent* Buddy = nullptr;
};

} // namespace

IMPLEMENT_CLASS(TFuzzItem)
IMPLEMENT_CLASS(TFuzzTarget)

namespace {

template <class T> void Publish(const std::string& name, TTypeKind kind, TPropValue (*get)(const T&),
                                void (*set)(T&, const TPropValue&), std::vector<std::string> enumNames = {})
{
    TPropInfo info;
    info.Name = name;
    info.Kind = kind;
    info.EnumNames = std::move(enumNames);
    info.Get = [get](const TObject& o) { return get(static_cast<const T&>(o)); };
    info.Set = [set](TObject& o, const TPropValue& v) { set(static_cast<T&>(o), v); };
    rtl::RegisterPublishedProperty(T::StaticClass(), std::move(info));
}

bool PublishOnce()
{
    using T = TFuzzTarget;
    Publish<TFuzzItem>(
        "Text", tkLString, [](const TFuzzItem& o) { return TPropValue(o.Text); },
        [](TFuzzItem& o, const TPropValue& v) { o.Text = std::get<std::string>(v); });
    Publish<T>(
        "Number", tkInt64, [](const T& o) { return TPropValue(o.Number); },
        [](T& o, const TPropValue& v) { o.Number = std::get<int64_t>(v); });
    Publish<T>(
        "Mode", tkEnumeration, [](const T& o) { return TPropValue(o.Mode); },
        [](T& o, const TPropValue& v) { o.Mode = std::get<int64_t>(v); }, {"mA", "mB"});
    Publish<T>(
        "Flags", tkSet, [](const T& o) { return TPropValue(o.Flags); },
        [](T& o, const TPropValue& v) { o.Flags = std::get<int64_t>(v); }, {"fA", "fB", "fC"});
    Publish<T>(
        "Letter", tkWChar, [](const T& o) { return TPropValue(o.Letter); },
        [](T& o, const TPropValue& v) { o.Letter = std::get<int64_t>(v); });
    Publish<T>(
        "Ratio", tkFloat, [](const T& o) { return TPropValue(o.Ratio); },
        [](T& o, const TPropValue& v) { o.Ratio = std::get<double>(v); });
    Publish<T>(
        "Lines", tkClass,
        [](const T& o) { return TPropValue(static_cast<TObject*>(const_cast<TStringList*>(&o.Lines))); },
        [](T&, const TPropValue&) {});
    Publish<T>(
        "Items", tkClass,
        [](const T& o) { return TPropValue(static_cast<TObject*>(const_cast<TCollection*>(&o.Items))); },
        [](T&, const TPropValue&) {});
    Publish<T>(
        "Buddy", tkClass, [](const T& o) { return TPropValue(static_cast<TObject*>(o.Buddy)); },
        [](T& o, const TPropValue& v) { o.Buddy = dynamic_cast<TComponent*>(std::get<TObject*>(v)); });
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool published = PublishOnce();
    (void)published;
    const std::string text(reinterpret_cast<const char*>(data), size);

    // "section|key=value" lines; the first two lines also go to the parsers.
    std::map<std::string, std::string> values;
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        lines.push_back(line);
        if (const size_t eq = line.find('='); eq != std::string::npos)
            values[line.substr(0, eq)] = line.substr(eq + 1);
        start = end + 1;
    }

    TComponent form(nullptr);
    form.SetName("Form1");
    auto* target = new TFuzzTarget(&form);
    target->SetName("Ziel");
    TStringList items;
    for (const char* item : {"Ziel.Number", "Ziel.Mode", "Ziel.Flags", "Ziel.Letter", "Ziel.Ratio", "Ziel.Lines",
                             "Ziel.Items", "Ziel.Buddy"})
        items.Add(item);
    Ksprops::UpdateStoredList(&form, items, true);
    TPropsStorage storage;
    storage.Section.push_back('S');
    storage.OnReadString = [&](const std::string& section, const std::string& key, const std::string& def) {
        const auto found = values.find(section + "|" + key);
        return found == values.end() ? def : found->second;
    };
    storage.LoadObjectsProps(&form, items);
    ReportFuzzOutcome("Number " + std::to_string(target->Number) + ", Ratio " + std::to_string(target->Ratio) + ", " +
                      std::to_string(target->Lines.Count()) + " lines, " + std::to_string(target->Items.Count()) +
                      " items");

    TDateTime date = 0;
    Dateutil::ParseDateInFormat(lines.size() > 1 ? lines[1] : "dd.mm.yyyy", lines[0], date);
    Strutils::IsWild(lines[0], lines.size() > 1 ? lines[1] : "*", true);
    Strutils::XorDecode(lines.size() > 1 ? lines[1] : "", lines[0]);
    Strutils::RomanToInt(lines[0]);
    return 0;
}
