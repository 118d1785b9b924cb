#include "widgets/Apputils.h"

#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysPaths.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "rtl/StorageTestSupport.h"
#include "widgets/ScratchStores.h"

#include <gtest/gtest.h>

#include <cstdlib>

// A dialog that answers at once with the result it was told.
class TAnswerForm : public TForm {
    DECLARE_CLASS(TAnswerForm, TForm)
public:
    explicit TAnswerForm(TComponent* AOwner) : TForm(AOwner)
    {
        OnShow = [this](TObject*) { ModalResult = Answer; };
    }
    static inline TModalResult Answer = mrOk;
};
IMPLEMENT_CLASS(TAnswerForm)

// Stands in for the form placement component, which the defaults find by its
// class name and its published IniFileName.
class TPlacementStandIn : public TComponent {
    DECLARE_CLASS(TPlacementStandIn, TComponent)
public:
    using TComponent::TComponent;
    std::string IniFileName;
};
const TPlacementStandIn::Meta* TPlacementStandIn::StaticClass()
{
    static const TClassImpl<TPlacementStandIn, Meta> metaclass("TFormPlacement");
    return &metaclass;
}

static void PublishPlacementStandIn()
{
    static const bool published = [] {
        rtl::RegisterPublishedProperty<TPlacementStandIn>(
            "IniFileName", tkLString, [](const TPlacementStandIn& p) { return TPropValue(p.IniFileName); },
            [](TPlacementStandIn& p, const TPropValue& v) { p.IniFileName = std::get<std::string>(v); });
        return true;
    }();
    (void)published;
}

namespace {

class ApputilsStorage : public ::testing::Test {
protected:
    ScratchStores stores{"Software\\Vistelo\\Test"};
};

TEST_F(ApputilsStorage, ValuesRoundTripThroughIniAndRegistry)
{
    for (TObject* store : stores.Both()) {
        const std::string kind = store->ClassName();
        for (const std::string value : {"\"Wort\"", "\"", "'x'", "plain", "", "a\"b\""}) {
            Apputils::IniWriteString(store, "Sektion", "Wert", value);
            EXPECT_EQ(Apputils::IniReadString(store, "Sektion", "Wert", "?"), value) << kind << ": " << value;
        }
        Apputils::IniWriteInteger(store, "Sektion", "Zahl", -42);
        EXPECT_EQ(Apputils::IniReadInteger(store, "Sektion", "Zahl", 0), -42) << kind;
        Apputils::IniWriteBool(store, "Sektion", "Ja", true);
        EXPECT_TRUE(Apputils::IniReadBool(store, "Sektion", "Ja", false)) << kind;
        Apputils::IniWriteString(store, "Andere", "x", "1");

        TStringList sections;
        Apputils::IniReadSections(store, sections);
        EXPECT_GE(sections.IndexOf("Sektion"), 0) << kind;
        EXPECT_GE(sections.IndexOf("Andere"), 0) << kind;

        Apputils::IniDeleteKey(store, "Sektion", "Zahl");
        EXPECT_EQ(Apputils::IniReadInteger(store, "Sektion", "Zahl", 7), 7) << kind;
        Apputils::IniEraseSection(store, "Sektion");
        EXPECT_EQ(Apputils::IniReadString(store, "Sektion", "Wert", "weg"), "weg") << kind;
        EXPECT_FALSE(Apputils::IniReadBool(store, "Sektion", "Ja", false)) << kind;
    }
    // The ini file holds the extra quotes, the registry the value itself.
    Apputils::IniWriteString(&stores.ini, "S", "q", "\"Wort\"");
    EXPECT_NE(ReadBytes(stores.temp.File("test.ini")).find("q=\"\"Wort\"\""), std::string::npos);
}

TEST_F(ApputilsStorage, OtherObjectsGiveDefaults)
{
    TStringList notAStore;
    Apputils::IniWriteString(&notAStore, "S", "k", "v");
    EXPECT_EQ(Apputils::IniReadString(&notAStore, "S", "k", "def"), "def");
    EXPECT_EQ(Apputils::IniReadInteger(nullptr, "S", "k", 3), 3);
    EXPECT_TRUE(Apputils::IniReadBool(nullptr, "S", "k", true));
    Apputils::IniReadSections(nullptr, notAStore);
    EXPECT_EQ(notAStore.Count(), 0);
}

TEST(ApputilsText, LineBreaksAreEscaped)
{
    const struct {
        const char* text;
        const char* escaped;
    } cases[] = {
        {"a\r\nb", "a\\nb"},        {"a\rb", "a\\nb"},      {"a\nb", "a\\nb"}, {"a\n\rb", "a\\nb"},
        {"a\r\n\r\nb", "a\\n\\nb"}, {"a\n\nb", "a\\n\\nb"}, {"\\x", "\\x"},    {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Apputils::StrToIniStr(c.text), c.escaped) << c.text;
    EXPECT_EQ(Apputils::IniStrToStr("a\\nb"), "a\r\nb");
    EXPECT_EQ(Apputils::IniStrToStr("a\\tb\\"), "a\\tb\\");
    // Every line break may double the text: the result holds it all.
    const std::string breaks(4096, '\n');
    EXPECT_EQ(Apputils::StrToIniStr(breaks).size(), 8192u);
    EXPECT_THROW(Apputils::StrToIniStr(std::string(4097, 'a')), Exception);
    EXPECT_THROW(Apputils::IniStrToStr(std::string(4097, 'a')), Exception);
}

TEST(ApputilsFiles, UniqueFileNames)
{
    TempFolder temp;
    EXPECT_EQ(Apputils::GetUniqueFileNameInDir(temp.Path().string(), "Bild%d.jpg"), "Bild0.jpg");
    WriteBytes(temp.File("Bild0.jpg"), "x");
    EXPECT_EQ(Apputils::GetUniqueFileNameInDir(temp.Path().string() + "/", "Bild%d.jpg"), "Bild1.jpg");
    EXPECT_EQ(Apputils::GetUniqueFileNameInDir(temp.Path().string(), "100%% %s %d"), "100% %s 0");
    // A format without a number has one name to offer.
    EXPECT_EQ(Apputils::GetUniqueFileNameInDir(temp.Path().string(), "fest.txt"), "fest.txt");
    WriteBytes(temp.File("fest.txt"), "x");
    EXPECT_EQ(Apputils::GetUniqueFileNameInDir(temp.Path().string(), "fest.txt"), "");
}

TEST(ApputilsNames, DefaultIniNameAndRegistryKey)
{
    const std::string iniName = Apputils::GetDefaultIniName();
    EXPECT_EQ(iniName.rfind(rtl::ConfigDir(), 0), 0u) << iniName;
    EXPECT_EQ(iniName.substr(iniName.size() - 4), ".INI");
    Apputils::OnGetDefaultIniName = [] { return std::string("/x/eigen.ini"); };
    EXPECT_EQ(Apputils::GetDefaultIniName(), "/x/eigen.ini");
    Apputils::OnGetDefaultIniName = nullptr;

    const std::string program = rtl::ChangeFileExt(rtl::ExtractFileName(rtl::ProgramFile()), "");
    EXPECT_EQ(Apputils::GetDefaultIniRegKey(), "Software\\" + program);
    Apputils::DefCompanyName = "Firma";
    Apputils::RegUseAppTitle = true;
    const std::string savedTitle = Application->Title;
    Application->Title = "Vistelo";
    EXPECT_EQ(Apputils::GetDefaultIniRegKey(), "Software\\Firma\\Vistelo");
    Application->Title = "";
    EXPECT_EQ(Apputils::GetDefaultIniRegKey(), "Software\\Firma\\" + program);
    Application->Title = savedTitle;
    Apputils::RegUseAppTitle = false;
    Apputils::DefCompanyName.clear();
}

// The offscreen window system; forms made here are freed by each test.
class ApputilsForms : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        ui::BeginDialogScript();
    }
    void TearDown() override
    {
        Application->ProcessMessages();
        ui::EndDialogScript();
    }
};

TEST_F(ApputilsForms, DefaultSections)
{
    std::unique_ptr<TForm> owner(new TForm(nullptr));
    TForm* form = owner.get();
    auto* panel = new TPanel(form);
    panel->SetName("Leiste");
    panel->SetParent(form);
    auto* inner = new TPanel(form);
    inner->SetName("Innen");
    inner->SetParent(panel);
    TPanel loose(nullptr);
    loose.SetName("Lose");
    auto* child = new TPanel(&loose);
    child->SetName("Kind");
    child->SetParent(&loose);
    TComponent plain(form);
    plain.SetName("Daten");
    TComponent alone(nullptr);
    alone.SetName("Allein");

    EXPECT_EQ(Apputils::GetDefaultSection(nullptr), "");
    EXPECT_EQ(Apputils::GetDefaultSection(form), "TForm");
    EXPECT_EQ(Apputils::GetDefaultSection(inner), "TFormInnen");
    EXPECT_EQ(Apputils::GetDefaultSection(child), "LoseKind");
    EXPECT_EQ(Apputils::GetDefaultSection(&plain), "TForm.Daten");
    EXPECT_EQ(Apputils::GetDefaultSection(&alone), "Allein");
}

TEST_F(ApputilsForms, DefaultIniDataFollowsTheFormsPlacement)
{
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* panel = new TPanel(form.get());
    panel->SetName("Leiste");
    panel->SetParent(form.get());
    std::string name, section;
    Apputils::GetDefaultIniData(panel, name, section, false);
    EXPECT_EQ(name, Apputils::GetDefaultIniName());
    EXPECT_EQ(section, "TFormLeiste");
    Apputils::GetDefaultIniData(panel, name, section, true);
    EXPECT_EQ(name, Apputils::GetDefaultIniRegKey());

    PublishPlacementStandIn();
    auto* placement = new TPlacementStandIn(form.get());
    placement->IniFileName = "/x/eigen.ini";
    Apputils::GetDefaultIniData(panel, name, section, false);
    EXPECT_EQ(name, "/x/eigen.ini");
    Apputils::GetDefaultIniData(nullptr, name, section, false);
    EXPECT_EQ(name, Apputils::GetDefaultIniName());
    EXPECT_EQ(section, "");
}

TEST_F(ApputilsForms, ShowDialogAnswers)
{
    TAnswerForm::Answer = mrCancel;
    EXPECT_FALSE(Apputils::ShowDialog(TAnswerForm::StaticClass()));
    TAnswerForm::Answer = mrYes;
    EXPECT_TRUE(Apputils::ShowDialog(TAnswerForm::StaticClass()));
    TAnswerForm::Answer = mrOk;
    EXPECT_TRUE(Apputils::ShowDialog(TAnswerForm::StaticClass()));
    EXPECT_THROW(Apputils::ShowDialog(TPanel::StaticClass()), EInvalidOperation);
}

TEST_F(ApputilsForms, FindOrCreateForms)
{
    EXPECT_EQ(Apputils::FindForm(TAnswerForm::StaticClass()), nullptr);
    TCustomForm* first = Apputils::FindFormInstance(TAnswerForm::StaticClass(), "Eins", false);
    std::unique_ptr<TCustomForm> owned(first);
    EXPECT_EQ(first->Caption(), "Eins");
    EXPECT_TRUE(first->Visible());
    EXPECT_EQ(Apputils::FindForm(TAnswerForm::StaticClass()), first);
    first->SetWindowState(wsMinimized);
    EXPECT_EQ(Apputils::FindShowForm(TAnswerForm::StaticClass(), ""), first);
    EXPECT_EQ(first->WindowState(), wsNormal);
    std::unique_ptr<TCustomForm> second(Apputils::FindShowForm(TAnswerForm::StaticClass(), "Zwei"));
    EXPECT_NE(second.get(), first);

    TCustomForm* reference = nullptr;
    std::unique_ptr<TCustomForm> made(Apputils::InstantiateForm(TAnswerForm::StaticClass(), reference));
    EXPECT_EQ(made.get(), reference);
    EXPECT_EQ(Apputils::InstantiateForm(TAnswerForm::StaticClass(), reference), made.get());
}

// --- multi-document children and grid layouts ---

class TChildForm : public TForm {
    DECLARE_CLASS(TChildForm, TForm)
public:
    explicit TChildForm(TComponent* AOwner) : TForm(AOwner) { SetFormStyle(fsMDIChild); }
};

class TOtherChildForm : public TChildForm {
    DECLARE_CLASS(TOtherChildForm, TChildForm)
public:
    using TChildForm::TChildForm;
};

} // namespace

IMPLEMENT_CLASS(TChildForm)
IMPLEMENT_CLASS(TOtherChildForm)

namespace {

// Frees every form it was given, and every child form the screen knows.
struct FormCleanup {
    ~FormCleanup()
    {
        for (int i = Screen->FormCount() - 1; i >= 0; --i)
            if (Screen->Forms(i)->FormStyle() == fsMDIChild)
                delete Screen->Forms(i);
    }
};

class ApputilsMDI : public ApputilsForms {
protected:
    ScratchStores stores{"Software\\Vistelo\\MDI"};
};

TEST_F(ApputilsMDI, OpenChildrenAreStoredByClassAndOpenedAgain)
{
    rtl::RegisterClass(TChildForm::StaticClass());
    rtl::RegisterClass(TOtherChildForm::StaticClass());
    for (TObject* store : stores.Both()) {
        FormCleanup cleanup;
        TForm main(nullptr);
        main.SetFormStyle(fsMDIForm);
        Apputils::IniWriteString(store, "MDI Children", "Item7", "Stale");
        new TChildForm(nullptr);
        new TOtherChildForm(nullptr);
        Apputils::SaveMDIChildren(&main, store);
        EXPECT_EQ(Apputils::IniReadInteger(store, "MDI Children", "Count", -1), 2);
        EXPECT_EQ(Apputils::IniReadString(store, "MDI Children", "Item0", ""), "TChildForm");
        EXPECT_EQ(Apputils::IniReadString(store, "MDI Children", "Item1", ""), "TOtherChildForm");
        EXPECT_EQ(Apputils::IniReadString(store, "MDI Children", "Item7", "erased"), "erased");
    }
    for (TObject* store : stores.Both()) {
        FormCleanup cleanup;
        TForm main(nullptr);
        main.SetFormStyle(fsMDIForm);
        Apputils::IniWriteInteger(store, "MDI Children", "Count", 3);
        Apputils::IniWriteString(store, "MDI Children", "Item0", "TChildForm");
        Apputils::IniWriteString(store, "MDI Children", "Item1", "TNotRegisteredForm");
        Apputils::IniWriteString(store, "MDI Children", "Item2", "TOtherChildForm");
        Apputils::RestoreMDIChildren(&main, store);
        std::vector<std::string> opened;
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (Screen->Forms(i)->FormStyle() == fsMDIChild) {
                opened.push_back(Screen->Forms(i)->ClassName());
                EXPECT_TRUE(Screen->Forms(i)->Visible());
            }
        EXPECT_EQ(opened, (std::vector<std::string>{"TOtherChildForm", "TChildForm"}));
        EXPECT_EQ(Screen->Cursor(), crDefault);
    }
}

TEST_F(ApputilsMDI, AStoredCountBeyondTheStoredItemsEndsAtTheLastItem)
{
    FormCleanup cleanup;
    rtl::RegisterClass(TChildForm::StaticClass());
    TForm main(nullptr);
    main.SetFormStyle(fsMDIForm);
    Apputils::IniWriteInteger(&stores.ini, "MDI Children", "Count", 2147483647);
    Apputils::IniWriteString(&stores.ini, "MDI Children", "Item0", "TChildForm");
    Apputils::RestoreMDIChildren(&main, &stores.ini);
    int children = 0;
    for (int i = 0; i < Screen->FormCount(); ++i)
        children += Screen->Forms(i)->FormStyle() == fsMDIChild;
    EXPECT_EQ(children, 1);
}

TEST_F(ApputilsMDI, WithoutAMultiDocumentMainFormNothingIsDone)
{
    TForm plain(nullptr);
    for (TCustomForm* main : {static_cast<TCustomForm*>(nullptr), static_cast<TCustomForm*>(&plain)}) {
        EXPECT_THROW(Apputils::SaveMDIChildren(main, &stores.ini), EInvalidOperation);
        EXPECT_THROW(Apputils::RestoreMDIChildrenReg(main, &stores.registry), EInvalidOperation);
    }
}

// The least a grid needs for its layout to be kept.
class TTestGrid : public TComponent {
    DECLARE_CLASS(TTestGrid, TComponent)
public:
    using TComponent::TComponent;
    std::vector<int> widths{64, 64, 64};
    int ColCount() const { return static_cast<int>(widths.size()); }
    int ColWidths(int i) const { return widths.at(static_cast<size_t>(i)); }
    void SetColWidths(int i, int w) { widths.at(static_cast<size_t>(i)) = w; }
};

} // namespace

IMPLEMENT_CLASS(TTestGrid)

namespace {

TEST_F(ApputilsMDI, GridColumnWidthsRoundTripInTheGridsSection)
{
    for (TObject* store : stores.Both()) {
        TForm form(nullptr);
        auto* grid = new TTestGrid(&form);
        grid->SetName("Liste");
        grid->widths = {10, 200, 35};
        Apputils::SaveGridLayout(*grid, store);
        const std::string section = Apputils::GetDefaultSection(grid);
        EXPECT_EQ(section, "TForm.Liste");
        EXPECT_EQ(Apputils::IniReadInteger(store, section, "Item1", -1), 200);
        grid->widths = {1, 2, 3, 4};
        Apputils::IniEraseSection(store, section);
        Apputils::IniWriteInteger(store, section, "Item0", 10);
        Apputils::IniWriteInteger(store, section, "Item2", 35);
        Apputils::RestoreGridLayoutReg(*grid, store);
        EXPECT_EQ(grid->widths, (std::vector<int>{10, 2, 35, 4})) << "missing widths keep the current ones";
    }
}

} // namespace
