#include "widgets/Placemnt.h"

#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/TestDriver.h"
#include "rtl/StorageTestSupport.h"
#include "widgets/Apputils.h"
#include "widgets/Strutils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// A shown form with a placement, storing in a scratch ini file or in a
// scratch registry hive.
class PlacementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        const char* previous = std::getenv("VISTELO_REGISTRY");
        savedRegistry_ = previous ? std::optional<std::string>(previous) : std::nullopt;
        setenv("VISTELO_REGISTRY", temp_.File("hive.reg").c_str(), 1);
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(40, 30, 320, 240);
        placement_ = new TFormPlacement(form_.get());
        placement_->IniSection = "Fenster";
    }
    void TearDown() override
    {
        form_.reset();
        if (savedRegistry_)
            setenv("VISTELO_REGISTRY", savedRegistry_->c_str(), 1);
        else
            unsetenv("VISTELO_REGISTRY");
        Application->OnException = nullptr;
    }
    void UseStore(bool registry)
    {
        registry_ = registry;
        storeName_ = registry ? "Software\\Vistelo\\Placement" : temp_.File("placement.ini");
        placement_->UseRegistry = registry;
        placement_->IniFileName = storeName_;
    }
    // A fresh storage object on the placement's store.
    std::unique_ptr<TObject> OpenStore() const
    {
        if (registry_)
            return std::make_unique<TRegIniFile>(storeName_);
        return std::make_unique<TIniFile>(storeName_);
    }
    std::string Stored(const std::string& ident) const
    {
        return Apputils::IniReadString(OpenStore().get(), "Fenster", ident, "<none>");
    }
    void Store(const std::string& ident, const std::string& value) const
    {
        auto store = OpenStore();
        Apputils::IniWriteString(store.get(), "Fenster", ident, value);
        if (auto* file = dynamic_cast<TCustomIniFile*>(store.get()))
            file->UpdateFile();
    }

    TempFolder temp_;
    bool registry_ = false;
    std::string storeName_;
    std::optional<std::string> savedRegistry_;
    std::unique_ptr<TForm> form_;
    TFormPlacement* placement_ = nullptr;
};

TEST_F(PlacementTest, RecordRoundTripsThroughIniAndRegistry)
{
    for (bool registry : {false, true}) {
        UseStore(registry);
        placement_->Version = 3;
        placement_->RestoreFormPlacement(); // nothing stored yet: stays put
        EXPECT_EQ(form_->BoundsRect(), Bounds(40, 30, 320, 240)) << registry;
        placement_->SaveFormPlacement();

        const std::string suffix = Placemnt::ScreenSizeSuffix();
        EXPECT_EQ(Stored("NormPos"), "40,30,360,270") << registry;
        EXPECT_EQ(Stored("NormPos" + suffix), "40,30,360,270") << registry;
        EXPECT_EQ(Stored("FormVersion"), "3") << registry;
        EXPECT_EQ(Stored("ShowCmd"), "1") << registry;
        EXPECT_EQ(Stored("PixelsPerInch"), std::to_string(Screen->PixelsPerInch)) << registry;
        EXPECT_EQ(Stored("Visible"), "0") << registry;

        form_->SetBounds(0, 0, 100, 100);
        form_->SetWindowState(wsMaximized);
        Store("ShowCmd", "9");
        placement_->RestoreFormPlacement();
        EXPECT_EQ(form_->BoundsRect(), Bounds(40, 30, 320, 240)) << registry;
        EXPECT_EQ(form_->WindowState(), wsNormal) << registry;
        EXPECT_EQ(placement_->GetIniFile(), nullptr);
    }
}

TEST_F(PlacementTest, EachScreenSizeKeepsItsOwnPosition)
{
    UseStore(false);
    // Written on another screen: only the plain key applies here.
    Store("NormPos(1x1)", "1,1,2,2");
    Store("NormPos", "10,20,210,170");
    placement_->RestoreFormPlacement();
    EXPECT_EQ(form_->BoundsRect(), Rect(10, 20, 210, 170));
    placement_->SaveFormPlacement();
    EXPECT_EQ(Stored("NormPos" + Placemnt::ScreenSizeSuffix()), "10,20,210,170");
    EXPECT_EQ(Stored("NormPos(1x1)"), "1,1,2,2");

    // This screen's own key wins over the plain one.
    Store("NormPos" + Placemnt::ScreenSizeSuffix(), "5,6,105,106");
    placement_->RestoreFormPlacement();
    EXPECT_EQ(form_->BoundsRect(), Rect(5, 6, 105, 106));

    // Words that are not numbers keep the form's own values.
    Store("NormPos" + Placemnt::ScreenSizeSuffix(), "x, 7 ,y");
    placement_->RestoreFormPlacement();
    EXPECT_EQ(form_->BoundsRect(), Rect(5, 7, 105, 106));
}

TEST_F(PlacementTest, OtherPixelDensityRestoresTheStateOnly)
{
    UseStore(false);
    Store("NormPos", "10,20,210,170");
    Store("ShowCmd", "3");
    Store("PixelsPerInch", std::to_string(Screen->PixelsPerInch + 24));
    placement_->RestoreFormPlacement();
    EXPECT_EQ(form_->BoundsRect(), Bounds(40, 30, 320, 240));
    EXPECT_EQ(form_->WindowState(), wsMaximized);
}

TEST_F(PlacementTest, NewerVersionIgnoresTheRecordAndStampsTheNextSave)
{
    UseStore(true);
    Store("FormVersion", "1");
    Store("NormPos", "10,20,210,170");
    bool restoredEvent = false;
    placement_->OnRestorePlacement = [&](TObject*) { restoredEvent = true; };
    placement_->Version = 2;
    placement_->RestoreFormPlacement();
    EXPECT_EQ(form_->BoundsRect(), Bounds(40, 30, 320, 240));
    EXPECT_FALSE(restoredEvent);
    placement_->SaveFormPlacement();
    EXPECT_EQ(Stored("FormVersion"), "2");
}

TEST_F(PlacementTest, FixedBorderKeepsTheDesignedSize)
{
    UseStore(false);
    form_->SetBorderStyle(bsDialog);
    form_->SetPosition(poScreenCenter);
    Store("NormPos", "10,20,500,500");
    placement_->RestoreFormPlacement();
    EXPECT_EQ(form_->BoundsRect(), Bounds(10, 20, 320, 240));
    // A restored position is no longer centred again.
    EXPECT_EQ(form_->Position(), poDesigned);
}

TEST_F(PlacementTest, MinimisedMainFormMinimisesTheApplication)
{
    UseStore(false);
    Store("ShowCmd", "2");
    TCustomForm* previousMain = Application->MainForm();
    Application->SetMainForm(form_.get());
    placement_->RestoreFormPlacement();
    Application->ProcessMessages();
    EXPECT_EQ(form_->WindowState(), wsNormal);
    EXPECT_TRUE(Application->IsMinimized());
    Application->Restore();
    Application->SetMainForm(previousMain);
}

TEST_F(PlacementTest, ShowRestoresAndCloseOrDestroySavesOnce)
{
    UseStore(false);
    Store("NormPos", "10,20,210,170");
    std::vector<std::string> formEvents;
    form_->OnShow = [&](TObject*) { formEvents.push_back("show"); };
    form_->OnDestroy = [&](TObject*) { formEvents.push_back("destroy"); };
    placement_->SetEvents(); // the form's own handlers came after the placement
    int saves = 0;
    placement_->OnSavePlacement = [&](TObject*) { ++saves; };

    form_->Show();
    EXPECT_EQ(form_->BoundsRect(), Rect(10, 20, 210, 170));
    form_->SetBounds(50, 60, 200, 100);
    form_->Close();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(Stored("Visible"), "0");
    form_.reset();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(formEvents, std::vector<std::string>({"show", "destroy"}));
    EXPECT_EQ(Stored("NormPos"), "50,60,250,160");

    // Still open when it is freed: saved then, as visible.
    form_ = std::make_unique<TForm>(nullptr);
    placement_ = new TFormPlacement(form_.get());
    placement_->IniSection = "Fenster";
    UseStore(false);
    bool mayClose = false;
    form_->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = mayClose; };
    placement_->SetEvents();
    form_->Show();
    form_->Close(); // refused by the form: nothing saved
    EXPECT_EQ(Stored("Visible"), "0");
    form_.reset();
    EXPECT_EQ(Stored("Visible"), "1");
}

TEST_F(PlacementTest, ActiveControlIsStoredByName)
{
    UseStore(false);
    placement_->Options = {fpState, fpPosition, fpActiveControl};
    auto* edit = new TPanel(form_.get());
    edit->SetName("Eingabe");
    edit->SetParent(form_.get());
    edit->SetTabStop(true);
    form_->Show();
    form_->SetActiveControl(edit);
    placement_->SaveFormPlacement();
    EXPECT_EQ(Stored("ActiveControl"), "Eingabe");
    form_->SetActiveControl(nullptr);
    placement_->RestoreFormPlacement();
    EXPECT_EQ(form_->ActiveControl(), edit);
}

TEST_F(PlacementTest, EraseSectionsTakesSubSectionsOnly)
{
    UseStore(false);
    {
        TIniFile ini(placement_->IniFileName);
        for (const char* section : {"Fenster", "Fenster.Spalten", "Fenster\\Liste", "FensterX", "Anderes"})
            ini.WriteString(section, "k", "v");
        ini.UpdateFile();
    }
    placement_->EraseSections();
    TIniFile ini(placement_->IniFileName);
    TStringList sections;
    ini.ReadSections(sections);
    std::vector<std::string> left;
    for (int i = 0; i < sections.Count(); ++i)
        left.push_back(sections.Strings(i));
    EXPECT_EQ(left, std::vector<std::string>({"FensterX", "Anderes"}));
}

TEST_F(PlacementTest, SingleValuesAndLinksUseTheSameStorage)
{
    UseStore(true);
    placement_->WriteInteger("Spalte", 17);
    EXPECT_EQ(placement_->ReadInteger("Spalte", 0), 17);
    EXPECT_EQ(placement_->ReadString("fehlt", "vorgabe"), "vorgabe");
    EXPECT_EQ(placement_->GetIniFile(), nullptr);

    TIniLink link;
    std::vector<std::string> seen;
    link.OnSave = [&](TObject*) {
        ASSERT_NE(link.IniObject(), nullptr);
        Apputils::IniWriteString(link.IniObject(), link.RootSection() + "Liste", "a", "1");
        seen.push_back("save");
    };
    link.OnLoad = [&](TObject*) {
        seen.push_back("load " + Apputils::IniReadString(link.IniObject(), link.RootSection() + "Liste", "a", ""));
    };
    link.SetStorage(placement_);
    EXPECT_EQ(link.RootSection(), "Fenster\\");
    placement_->RestoreFormPlacement();
    placement_->SaveFormPlacement();
    placement_->RestoreFormPlacement();
    EXPECT_EQ(seen, std::vector<std::string>({"load ", "save", "load 1"}));
    link.SetStorage(nullptr);
    placement_->SaveFormPlacement();
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(PlacementTest, SizeLimitsAnswerTheMinMaxQuery)
{
    UseStore(false);
    form_->Show();
    MINMAXINFO info{};
    info.ptMaxPosition = Point(-4, -4);
    info.ptMinTrackSize = Point(1, 1);
    // No limits: the hook is not even attached.
    form_->Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMaxPosition, Point(-4, -4));

    placement_->MinMaxInfo().SetMinTrackWidth(200);
    placement_->MinMaxInfo().SetMaxPosTop(5);
    form_->Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize, Point(200, 1));
    EXPECT_EQ(info.ptMaxPosition, Point(-4, 5));
    // The window itself keeps the user's resizing within the answer.
    EXPECT_EQ(ui::test::ShownWindow(form_.get()).MinWidth, 200);

    placement_->SetPreventResize(true);
    EXPECT_FALSE(form_->BorderIcons().Contains(biMaximize));
    form_->Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize, Point(320, 240));
    EXPECT_EQ(info.ptMaxTrackSize, Point(320, 240));
    ui::test::TShownWindow window = ui::test::ShownWindow(form_.get());
    EXPECT_EQ(window.MinWidth, 320);
    EXPECT_EQ(window.MinHeight, 240);
    EXPECT_EQ(window.MaxWidth, 320);
    EXPECT_EQ(window.MaxHeight, 240);
    placement_->SetPreventResize(false);
    EXPECT_TRUE(form_->BorderIcons().Contains(biMaximize));

    TWinMinMaxInfo none;
    placement_->SetMinMaxInfo(none);
    EXPECT_TRUE(placement_->MinMaxInfo().DefaultMinMaxInfo());
    info.ptMaxPosition = Point(-4, -4);
    form_->Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMaxPosition, Point(-4, -4));
    window = ui::test::ShownWindow(form_.get());
    EXPECT_EQ(window.MinWidth, 0);
    EXPECT_GT(window.MaxWidth, 320);
}

// --- stored properties and values ---

class TKnob : public TComponent {
    DECLARE_CLASS(TKnob, TComponent)
public:
    using TComponent::TComponent;
    int Level = 0;
    std::string Label;
};

} // namespace

IMPLEMENT_CLASS(TKnob)

namespace {

void PublishKnob()
{
    static const bool published = [] {
        rtl::RegisterPublishedProperty<TKnob>(
            "Level", tkInteger, [](const TKnob& k) { return TPropValue(static_cast<int64_t>(k.Level)); },
            [](TKnob& k, const TPropValue& v) { k.Level = static_cast<int>(std::get<int64_t>(v)); });
        rtl::RegisterPublishedProperty<TKnob>(
            "Label", tkLString, [](const TKnob& k) { return TPropValue(k.Label); },
            [](TKnob& k, const TPropValue& v) { k.Label = std::get<std::string>(v); });
        return true;
    }();
    (void)published;
}

// A form with two knobs and a form storage keeping their properties and a
// plain and a scrambled value.
struct StoredForm {
    explicit StoredForm(const std::string& store, bool registry)
    {
        PublishKnob();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(40, 30, 320, 240);
        auto* a = new TKnob(form.get());
        a->SetName("Helligkeit");
        auto* b = new TKnob(form.get());
        b->SetName("Kontrast");
        storage = new TFormStorage(form.get());
        storage->IniSection = "Fenster";
        storage->UseRegistry = registry;
        storage->IniFileName = store;
        TStringList items;
        items.Add("Helligkeit.Level");
        items.Add("Helligkeit.Label");
        items.Add("Kontrast.Level");
        items.Add("Fehlt.Level");
        items.Add("ohne Punkt");
        storage->SetStoredProps(items);
        TStoredValue* plain = storage->StoredValues().Add();
        plain->SetName("Zuletzt");
        TStoredValue* secret = storage->StoredValues().Add();
        secret->SetName("Kennwort");
        secret->KeyString = "k";
    }
    TKnob* Knob(const std::string& name) const { return static_cast<TKnob*>(form->FindComponent(name)); }
    TStoredValue* Value(const std::string& name) const { return storage->StoredValues().GetValue(name); }

    std::unique_ptr<TForm> form;
    TFormStorage* storage = nullptr;
};

TEST_F(PlacementTest, FormStorageKeepsPropertiesAndValuesWithThePlacement)
{
    for (bool registry : {false, true}) {
        UseStore(registry);
        {
            StoredForm saved(storeName_, registry);
            EXPECT_EQ(saved.storage->StoredProps().Count(), 3) << "items without a component are dropped";
            saved.form->Show();
            saved.Knob("Helligkeit")->Level = 7;
            saved.Knob("Helligkeit")->Label = "hell";
            saved.Knob("Kontrast")->Level = -3;
            saved.Value("Zuletzt")->Value = "C:\\Bilder\\a.vsf";
            saved.Value("Kennwort")->Value = "abc";
            saved.form->Close();
        }
        EXPECT_EQ(Stored("Helligkeit_Level"), "7");
        EXPECT_EQ(Stored("Kontrast_Level"), "-3");
        EXPECT_EQ(Stored("Kennwort"), Strutils::XorEncode("k", "abc"));
        EXPECT_NE(Stored("NormPos"), "<none>") << "the placement itself is still stored";

        StoredForm restored(storeName_, registry);
        restored.form->Show();
        EXPECT_EQ(restored.Knob("Helligkeit")->Level, 7);
        EXPECT_EQ(restored.Knob("Helligkeit")->Label, "hell");
        EXPECT_EQ(restored.Knob("Kontrast")->Level, -3);
        EXPECT_EQ(restored.Value("Zuletzt")->Value, "C:\\Bilder\\a.vsf");
        EXPECT_EQ(restored.Value("Kennwort")->Value, "abc");
    }
}

TEST_F(PlacementTest, FormStorageDropsTheItemsOfAFreedComponent)
{
    UseStore(false);
    StoredForm stored(storeName_, false);
    stored.form->Show();
    delete stored.Knob("Kontrast");
    ASSERT_EQ(stored.storage->StoredProps().Count(), 2);
    for (int i = 0; i < stored.storage->StoredProps().Count(); ++i)
        EXPECT_EQ(stored.storage->StoredProps().Strings(i).rfind("Helligkeit.", 0), 0u);
    stored.form->Close();
    EXPECT_EQ(Stored("Kontrast_Level"), "<none>");
    EXPECT_EQ(Stored("Helligkeit_Level"), "0");
}

} // namespace
