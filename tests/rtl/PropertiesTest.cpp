#include "platform/rtl/Properties.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum TAlign { alNone, alTop, alBottom };

class TGaugeLike : public TComponent {
    DECLARE_CLASS(TGaugeLike, TComponent)
public:
    using TComponent::TComponent;
    int Progress = 0;
    std::string Caption;
    TAlign Align = alNone;
    double Ratio = 0;
    unsigned Options = 0; // a set: bit i = member i
    TComponent* Buddy = nullptr;
};

class TSpinGauge : public TGaugeLike {
    DECLARE_CLASS(TSpinGauge, TGaugeLike)
public:
    using TGaugeLike::TGaugeLike;
    int Step = 1;
};

template <class T> int64_t Int(const T& value) { return static_cast<int64_t>(value); }

// Registers the fixture's table once for the whole test program.
class PropertiesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        using G = TGaugeLike;
        rtl::RegisterPublishedProperty<G>(
            "Progress", tkInteger, [](const G& g) { return TPropValue(Int(g.Progress)); },
            [](G& g, const TPropValue& v) { g.Progress = static_cast<int>(std::get<int64_t>(v)); });
        rtl::RegisterPublishedProperty<G>(
            "Caption", tkLString, [](const G& g) { return TPropValue(g.Caption); },
            [](G& g, const TPropValue& v) { g.Caption = std::get<std::string>(v); });
        rtl::RegisterPublishedProperty<G>(
            "Align", tkEnumeration, [](const G& g) { return TPropValue(Int(g.Align)); },
            [](G& g, const TPropValue& v) { g.Align = static_cast<TAlign>(std::get<int64_t>(v)); },
            {"alNone", "alTop", "alBottom"});
        rtl::RegisterPublishedProperty<G>(
            "Ratio", tkFloat, [](const G& g) { return TPropValue(g.Ratio); },
            [](G& g, const TPropValue& v) { g.Ratio = std::get<double>(v); });
        rtl::RegisterPublishedProperty<G>(
            "Options", tkSet, [](const G& g) { return TPropValue(Int(g.Options)); },
            [](G& g, const TPropValue& v) { g.Options = static_cast<unsigned>(std::get<int64_t>(v)); },
            {"goFirst", "goSecond", "goThird"});
        TPropInfo buddy;
        buddy.Name = "Buddy";
        buddy.Kind = tkClass;
        buddy.PropClass = TComponent::StaticClass();
        buddy.Get = [](const TObject& o) { return TPropValue(static_cast<TObject*>(static_cast<const G&>(o).Buddy)); };
        buddy.Set = [](TObject& o, const TPropValue& v) {
            static_cast<G&>(o).Buddy = static_cast<TComponent*>(std::get<TObject*>(v));
        };
        rtl::RegisterPublishedProperty(G::StaticClass(), buddy);
        rtl::RegisterPublishedProperty<G>(
            "Tag", tkInteger, [](const G& g) { return TPropValue(Int(g.Tag)); }, nullptr);

        using S = TSpinGauge;
        rtl::RegisterPublishedProperty<S>(
            "Step", tkInteger, [](const S& s) { return TPropValue(Int(s.Step)); },
            [](S& s, const TPropValue& v) { s.Step = static_cast<int>(std::get<int64_t>(v)); });
        // Published again by the descendant, now writable: stays in its place.
        rtl::RegisterPublishedProperty<S>(
            "tag", tkInteger, [](const S& s) { return TPropValue(Int(s.Tag)); },
            [](S& s, const TPropValue& v) { s.Tag = static_cast<intptr_t>(std::get<int64_t>(v)); });
    }

    static void TearDownTestSuite()
    {
        rtl::UnregisterPublishedProperties(TGaugeLike::StaticClass());
        rtl::UnregisterPublishedProperties(TSpinGauge::StaticClass());
    }

    std::vector<std::string> Names(const TObject& object)
    {
        std::vector<std::string> names;
        for (const TPropInfo* info : rtl::GetPublishedProperties(object))
            names.push_back(info->Name);
        return names;
    }
};

} // namespace

IMPLEMENT_CLASS(TGaugeLike)
IMPLEMENT_CLASS(TSpinGauge)

TEST_F(PropertiesTest, PropertiesListAncestorsFirstInDeclarationOrder)
{
    TSpinGauge spin(nullptr);
    EXPECT_EQ(Names(spin),
              (std::vector<std::string>{"Progress", "Caption", "Align", "Ratio", "Options", "Buddy", "tag", "Step"}));
    TGaugeLike gauge(nullptr);
    EXPECT_EQ(Names(gauge).back(), "Tag");
    EXPECT_EQ(rtl::GetPropInfo(gauge, "PROGRESS")->Kind, tkInteger);
    EXPECT_EQ(rtl::GetPropInfo(gauge, "Step"), nullptr);
    EXPECT_TRUE(rtl::GetPublishedProperties(TComponent::StaticClass()).empty());
}

TEST_F(PropertiesTest, GetAndSetByNameWithoutCase)
{
    TComponent buddy(nullptr);
    TSpinGauge gauge(nullptr);
    rtl::SetOrdProp(gauge, "progress", 40);
    rtl::SetStrProp(gauge, "Caption", "Fortschritt");
    rtl::SetEnumProp(gauge, "Align", "ALTOP");
    rtl::SetFloatProp(gauge, "Ratio", 1.5);
    rtl::SetOrdProp(gauge, "Options", 0b101);
    rtl::SetObjectProp(gauge, "Buddy", &buddy);
    rtl::SetOrdProp(gauge, "Tag", 9);

    EXPECT_EQ(gauge.Progress, 40);
    EXPECT_EQ(rtl::GetOrdProp(gauge, "Progress"), 40);
    EXPECT_EQ(rtl::GetStrProp(gauge, "caption"), "Fortschritt");
    EXPECT_EQ(rtl::GetEnumProp(gauge, "Align"), "alTop");
    EXPECT_EQ(rtl::GetOrdProp(gauge, "Align"), alTop);
    EXPECT_EQ(rtl::GetFloatProp(gauge, "Ratio"), 1.5);
    EXPECT_EQ(gauge.Options, 0b101u);
    EXPECT_EQ(rtl::GetObjectProp(gauge, "Buddy"), &buddy);
    EXPECT_EQ(gauge.Tag, 9);

    // The same through a descriptor, as a storage walking the list does.
    const TPropInfo* step = rtl::GetPropInfo(gauge, "Step");
    rtl::SetPropValue(gauge, *step, TPropValue(int64_t{3}));
    EXPECT_EQ(std::get<int64_t>(rtl::GetPropValue(gauge, *step)), 3);
}

TEST_F(PropertiesTest, WrongNamesKindsAndValuesAreRefused)
{
    TGaugeLike gauge(nullptr);
    TPersistent notAComponent;
    struct Case {
        const char* what;
        std::function<void()> call;
        bool unknownOrReadOnly; // EPropertyError itself rather than the convert error
    };
    const std::vector<Case> cases = {
        {"unknown name", [&] { rtl::GetOrdProp(gauge, "Position"); }, true},
        {"read-only", [&] { rtl::SetOrdProp(gauge, "Tag", 1); }, true},
        {"string as ordinal", [&] { rtl::GetOrdProp(gauge, "Caption"); }, false},
        {"ordinal as string", [&] { rtl::SetStrProp(gauge, "Progress", "7"); }, false},
        {"unknown identifier", [&] { rtl::SetEnumProp(gauge, "Align", "alClient"); }, false},
        {"enumeration out of range", [&] { rtl::SetOrdProp(gauge, "Align", 3); }, false},
        {"negative enumeration", [&] { rtl::SetOrdProp(gauge, "Align", -1); }, false},
        {"set member beyond the type", [&] { rtl::SetOrdProp(gauge, "Options", 0b1000); }, false},
        {"object of the wrong class", [&] { rtl::SetObjectProp(gauge, "Buddy", &notAComponent); }, false},
        {"float as enumeration", [&] { rtl::GetEnumProp(gauge, "Ratio"); }, false},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const EPropertyConvertError&) {
            EXPECT_FALSE(c.unknownOrReadOnly) << c.what;
        } catch (const EPropertyError&) {
            EXPECT_TRUE(c.unknownOrReadOnly) << c.what;
        }
    }
    EXPECT_EQ(gauge.Align, alNone);
    EXPECT_EQ(gauge.Options, 0u);
    EXPECT_EQ(gauge.Buddy, nullptr);
}
