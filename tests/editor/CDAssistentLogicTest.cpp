#include "editor/tools/CDAssistentLogic.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "core/FontTools.h"
#include "core/Setup.h"
#include "core/VisteloList.h"
#include "editor/app/PicInfoUnit.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/VexaPrgrBr.h"
#include "editor/tools/CDAssistentTexts.h"
#include "platform/graphics/Font.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Dialogs.h"

namespace {

namespace fs = std::filesystem;
using namespace CDAssistentLogic;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A world of its own for every test: a program folder holding the player's
// files and the start program, a show folder with its pictures, and the
// folder the CD is made in. Dialogs are scripted and recorded.
class CDFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("vistelo_cd_" + std::to_string(::getpid()) + "_" + std::to_string(++run_));
        fs::remove_all(root_);
        for (const char* file : PlayerFiles)
            WriteFile(Home() + file, std::string("player file ") + file);
        WriteFile(Home() + StartProgram, "start program");
        fs::permissions(Home() + PlayerFiles[0], fs::perms::owner_all);
        savedHome_ = Setup::HomeDir;
        Setup::HomeDir = Home();
        ui::BeginDialogScript();
    }

    void TearDown() override
    {
        ui::EndDialogScript();
        Setup::HomeDir = savedHome_;
        PicInfoUnit::PicInfoAccessMethod = paPicListBox;
        PicInfoUnit::AccessVistelo = nullptr;
        fs::remove_all(root_);
    }

    std::string Path(const std::string& name) const { return (root_ / name).string(); }
    std::string Home() const { return Path("programm/"); }
    std::string Target() const { return Path("cd"); }
    std::string ShowFile() const { return Path("bilder/Urlaub.vsf"); }

    // A picture in the show's folder, stored with its full path.
    std::unique_ptr<TPicInfoObject> Picture(const std::string& name, bool ticked = true)
    {
        WriteFile(Path("bilder/" + name), "picture " + name);
        auto entry = std::make_unique<TPicInfoObject>();
        entry->FileName = Path("bilder/" + name);
        entry->ShowImage = ticked;
        return entry;
    }

    // The files below a folder, relative to it, in order.
    std::set<std::string> Tree(const std::string& folder) const
    {
        std::set<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (!entry.is_directory())
                files.insert(fs::relative(entry.path(), folder).string());
        return files;
    }

    // The texts of the dialogs shown so far.
    static std::vector<std::string> Told()
    {
        std::vector<std::string> texts;
        for (const ui::TDialogRecord& record : ui::RecordedDialogs())
            texts.push_back(record.Request.Text);
        return texts;
    }

    static std::string Hint() { return TCDFolderMaker::BurnHint(); }

    fs::path root_;
    std::string savedHome_;
    static inline int run_ = 0;
};

// --- the autorun file and the player's files ---

TEST(CDAutorun, NamesThePlayerAndTheShowOrListInThreeLines)
{
    EXPECT_EQ(AutorunText("Urlaub.vsf"),
              "[autorun]\r\nOPEN=Player\\Rollavin \"Pictures\\Urlaub.vsf\"\r\nICON=Player\\Rollavin,0\r\n");
    EXPECT_EQ(AutorunText("Alle Reisen.vsl"),
              "[autorun]\r\nOPEN=Player\\Rollavin \"Pictures\\Alle Reisen.vsl\"\r\nICON=Player\\Rollavin,0\r\n");
}

TEST(CDAutorun, TheMessageNamesEveryPlayerFile)
{
    EXPECT_EQ(PlayerFileList(),
              "Rollavin, elamp.esp, libplatform_rtl.so, libplatform_graphics.so, libplatform_ui.so, "
              "libplatform_media.so, libKestrun.so, Player.so, Vistelo.jpg");
}

TEST(CDTexts, PlaceholdersAreFilledInOrderAndValuesStayAsTheyAre)
{
    EXPECT_EQ(FillIn("\"%s\" - %d Fehler:%s", {"a%s.vsf", "3", "%d"}), "\"a%s.vsf\" - 3 Fehler:%d");
    EXPECT_EQ(FillIn("100% von %s", {"x"}), "100% von x");
    EXPECT_EQ(FillIn("%s und %s", {"eins"}), "eins und %s");
}

TEST_F(CDFolderTest, TheAutorunFileIsWrittenByteForByte)
{
    fs::create_directories(Target());
    TCDFolderMaker maker(Target(), {});
    std::string errors;
    ASSERT_TRUE(maker.WriteAutorunInf("Urlaub.vsf", errors));
    EXPECT_EQ(ReadFile(Target() + "/Autorun.inf"), AutorunText("Urlaub.vsf"));
    EXPECT_EQ(errors, "");
}

TEST_F(CDFolderTest, AnAutorunFileThatCannotBeWrittenIsReportedAndLeavesNothing)
{
    // A folder where the file belongs: no one can write it, not even root.
    const std::string blocked = Path("gesperrt");
    fs::create_directories(blocked + "/Autorun.inf/inhalt");
    TCDFolderMaker maker(blocked, {});
    std::string errors = "vorher";
    EXPECT_FALSE(maker.WriteAutorunInf("Urlaub.vsf", errors));
    EXPECT_EQ(errors, "vorher\r\rDie Datei \"" + blocked + "/Autorun.inf\" konnte nicht erstellt werden.");
    EXPECT_FALSE(fs::is_regular_file(blocked + "/Autorun.inf"));
}

// --- one show ---

TEST_F(CDFolderTest, ATwoPictureShowBecomesAFolderThatStartsItself)
{
    TVistelo show;
    show.AddDia(*Picture("Strand.jpg"));
    show.AddDia(*Picture("Berg.jpg"));
    TVexaProgressBar overall(nullptr);
    TCDFolderMaker maker(Target(), {&overall, nullptr});
    const TCDResult result = maker.CreateShowCD(show, true, ShowFile(), true, false);

    EXPECT_EQ(result.Status, cdsDone);
    std::set<std::string> expected = {"Autorun.inf",         "Autovane",
                                      "Pictures/Strand.jpg", "Pictures/Berg.jpg",
                                      "Pictures/Urlaub.vsf", "Player/Rollavin.ini"};
    for (const char* file : PlayerFiles)
        expected.insert(std::string("Player/") + file);
    EXPECT_EQ(Tree(Target()), expected);
    EXPECT_EQ(ReadFile(Target() + "/Autorun.inf"), AutorunText("Urlaub.vsf"));
    EXPECT_EQ(ReadFile(Target() + "/Player/Player.so"), "player file Player.so");
    EXPECT_TRUE((fs::status(Target() + "/Player/Rollavin").permissions() & fs::perms::owner_exec) != fs::perms::none)
        << "the player stays a program";
    EXPECT_EQ(overall.Max(), 12) << "nine player files, the start program and two pictures";
    EXPECT_EQ(overall.Position(), 12);

    TVistelo copied;
    ASSERT_EQ(copied.LoadFromFile(Target() + "/Pictures/Urlaub.vsf", false, false), dlrOK);
    ASSERT_EQ(copied.Count, 2);
    EXPECT_EQ(copied.GetPicInfo(0)->FileName, "Strand.jpg") << "beside the show on the CD";
    EXPECT_EQ(copied.GetPicInfo(1)->FileName, "Berg.jpg");

    EXPECT_EQ(Told(),
              std::vector<std::string>{"Das Erstellen der Vistelo in \"" + Target() +
                                       "/\" wurde erfolgreich abgeschlossen.\r\r" + Hint()});
}

TEST_F(CDFolderTest, TheClosingMessageCountsEveryKindOfFailure)
{
    struct Case {
        const char* What;
        bool LogoFails;
        bool SongFails;
        std::string Expected;
    };
    const std::string missingLogo = Path("bilder/eigenes Logo.jpg");
    const std::string missingSong = Path("musik/fehlt.mid");
    const Case cases[] = {
        {"only a song", false, true,
         "ist abgeschlossen.\r\rEs konnten 1 von 2 Bildern nicht kopiert werden.\r\r" + Hint() +
             "\r\rEs konnten einige Hintergrundlieder nicht kopiert werden. \r\r(\"" + missingSong + "\")"},
        {"only the own logo", true, false,
         "ist abgeschlossen.\r\rEs konnten 1 von 2 Bildern nicht kopiert werden.\r\r" + Hint() +
             "\r\rDas Bild für das eigene Logo konnte nicht kopiert werden. (\"" + missingLogo + "\")"},
        {"logo and song", true, true,
         "ist abgeschlossen.\r\rEs konnten 2 von 2 Bildern nicht kopiert werden.\r\r" + Hint() +
             "\r\rDas Bild für das eigene Logo konnte nicht kopiert werden. (\"" + missingLogo +
             "\")\r\rEs konnten einige Hintergrundlieder nicht kopiert werden. \r\r(\"" + missingSong + "\")"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        fs::remove_all(Target());
        ui::ClearRecordedDialogs();
        TVistelo show;
        show.AddDia(*Picture("a.jpg"));
        show.AddDia(*Picture("b.jpg"));
        show.Logo = lUserLogo;
        show.LogoFilename = c.LogoFails ? missingLogo : Picture("logo.jpg")->FileName;
        show.PlayMusic = true;
        WriteFile(Path("musik/lied.mid"), "song");
        show.MusicFileNames = Path("musik/lied.mid") + "\r\n" + (c.SongFails ? missingSong + "\r\n" : "");
        TCDFolderMaker maker(Target(), {});
        const TCDResult result = maker.CreateShowCD(show, true, ShowFile(), true, true);
        EXPECT_EQ(result.Status, cdsDoneWithFailures);
        ASSERT_EQ(Told().size(), 1u);
        EXPECT_EQ(Told()[0], "Das Erstellen der Vistelo in \"" + Target() + "\" " + c.Expected);

        TVistelo copied;
        ASSERT_EQ(copied.LoadFromFile(Target() + "/Pictures/Urlaub.vsf", false, false), dlrOK);
        EXPECT_EQ(copied.MusicFileNames, "lied.mid\r\n") << "only the songs that arrived";
        EXPECT_EQ(copied.LogoFilename, c.LogoFails ? missingLogo : "logo.jpg");
    }
}

TEST_F(CDFolderTest, AMissingPlayerFileFailsTheRunButTheIniIsWritten)
{
    fs::remove(Home() + "Player.so");
    TVistelo show;
    show.AddDia(*Picture("a.jpg"));
    show.Logo = lStdLogo;
    show.LogoFilename = Path("bilder/gibtsnicht.jpg");
    TCDFolderMaker maker(Target(), {});
    EXPECT_EQ(maker.CreateShowCD(show, true, ShowFile(), true, false).Status, cdsFailed);

    EXPECT_TRUE(fs::exists(Target() + "/Player/Rollavin.ini"));
    EXPECT_FALSE(fs::exists(Target() + "/Autorun.inf"));
    EXPECT_FALSE(fs::exists(Target() + "/Autovane"));
    EXPECT_FALSE(fs::exists(Target() + "/Player/Vistelo.jpg")) << "the copy stops at the first missing file";
    EXPECT_FALSE(fs::exists(Target() + "/Pictures/gibtsnicht.jpg")) << "no own logo: nothing copied or said";
    EXPECT_EQ(Told(),
              std::vector<std::string>{
                  "Das Erstellen der Vistelo in \"" + Target() +
                  "/\" ist fehlgeschlagen.\r\rDie notwendigen Dateien für den Vistelo-Player konnten nicht "
                  "nach \"" +
                  Target() + "/Player\" kopiert werden. Stellen Sie sicher, dass sich die Dateien \"" +
                  PlayerFileList() + "\" im Verzeichnis \"" + Home() + "\" befinden."});
}

TEST_F(CDFolderTest, APicturesFolderThatCannotBeMadeStopsBeforeAnyCopy)
{
    WriteFile(Target() + "/Pictures", "a file in the way");
    TVistelo show;
    show.AddDia(*Picture("a.jpg"));
    TCDFolderMaker maker(Target(), {});
    EXPECT_EQ(maker.CreateShowCD(show, true, ShowFile(), true, false).Status, cdsFailed);
    EXPECT_EQ(Told(),
              std::vector<std::string>{"Das Verzeichnis \"" + Target() + "/Pictures\" konnte nicht erstellt werden."});
    EXPECT_FALSE(fs::exists(Target() + "/Player"));

    // A show of a list reports it in its result instead.
    ui::ClearRecordedDialogs();
    const TCDResult listed = maker.CreateShowCD(show, false, ShowFile(), true, false);
    EXPECT_EQ(listed.Status, cdsFailed);
    EXPECT_EQ(listed.ErrorText, "\r\rDas Verzeichnis \"" + Target() + "/Pictures\" konnte nicht erstellt werden.");
    EXPECT_TRUE(Told().empty());
}

TEST_F(CDFolderTest, PicturesOfTheSameNameAndSoundsArriveOnce)
{
    TVistelo show;
    auto first = Picture("bild.jpg");
    WriteFile(Path("bilder/Ton.wav"), "sound");
    first->Sound = Path("bilder/Ton.wav");
    show.AddDia(*first);
    WriteFile(Path("anderswo/BILD.jpg"), "another picture");
    TPicInfoObject second;
    second.FileName = Path("anderswo/BILD.jpg");
    show.AddDia(second);
    show.AddDia(*first); // the same picture twice
    TFileCopier copier(Path("ziel"), nullptr);
    fs::create_directories(Path("ziel"));
    TVistelo target;
    EXPECT_EQ(CopyShowPictures(show, ShowFile(), false, true, copier, &target, nullptr), 0);
    EXPECT_EQ(Tree(Path("ziel")), (std::set<std::string>{"bild.jpg", "BILD_.jpg", "Ton.wav"}));
    EXPECT_EQ(ReadFile(Path("ziel/BILD_.jpg")), "another picture");
    ASSERT_EQ(target.Count, 3);
    EXPECT_EQ(target.GetPicInfo(0)->Sound, "Ton.wav");
    EXPECT_EQ(target.GetPicInfo(1)->FileName, "BILD_.jpg");
    EXPECT_EQ(target.GetPicInfo(2)->FileName, "bild.jpg");

    // A picture whose sound is missing counts as not copied and keeps no sound.
    TVistelo broken;
    auto noisy = Picture("laut.jpg");
    noisy->Sound = Path("bilder/weg.wav");
    broken.AddDia(*noisy);
    TVistelo brokenTarget;
    EXPECT_EQ(CopyShowPictures(broken, ShowFile(), false, true, copier, &brokenTarget, nullptr), 1);
    ASSERT_EQ(brokenTarget.Count, 1);
    EXPECT_EQ(brokenTarget.GetPicInfo(0)->Sound, "");
}

// --- fonts ---

TEST_F(CDFolderTest, UsedFontsAreListedWithFlagsAndCopiedFromWhereTheSystemHasThem)
{
    TFont probe;
    probe.SetName("Liberation Serif");
    const std::vector<std::string> serifFiles = FontTools::GetFontFilename(probe);
    if (serifFiles.empty())
        GTEST_SKIP() << "Liberation Serif is not installed";

    TVistelo show;
    auto commented = [&](const char* file, const char* font, const char* text) {
        auto entry = Picture(file);
        entry->CommentFont->SetName(font);
        entry->Comments = text;
        show.AddDia(*entry);
    };
    commented("a.jpg", "Liberation Serif", "Am Strand");
    commented("b.jpg", "Arial", "Am Berg");
    commented("c.jpg", "Liberation Serif", "noch einmal");
    commented("d.jpg", "Liberation Mono", ""); // no comment text: not listed
    PicInfoUnit::PicInfoAccessMethod = paVistelo;
    PicInfoUnit::AccessVistelo = &show;

    std::unique_ptr<TStringList> fonts;
    CollectUsedFonts(fonts, false, true);
    ASSERT_EQ(fonts->Count(), 2);
    EXPECT_EQ(fonts->Strings(0), "1Liberation Serif");
    EXPECT_EQ(fonts->Strings(1), "0Arial") << "a standard face is listed unticked";
    const auto* files = dynamic_cast<TStringList*>(fonts->Objects(0));
    ASSERT_NE(files, nullptr);
    ASSERT_EQ(files->Count(), static_cast<int>(serifFiles.size()));
    EXPECT_EQ(files->Strings(0), "1" + serifFiles[0]) << "every file ticked, with its full path";

    // The choices made so far stay unless the list is rebuilt.
    fonts->SetStrings(0, "0Liberation Serif");
    CollectUsedFonts(fonts, false, true);
    EXPECT_EQ(fonts->Strings(0), "0Liberation Serif");
    fonts->SetStrings(0, "1Liberation Serif");

    TCDFolderMaker maker(Target(), {});
    maker.Fonts = fonts.get();
    ASSERT_EQ(maker.CreateShowCD(show, true, ShowFile(), true, false).Status, cdsDone);
    const std::string bare = fs::path(serifFiles[0]).filename().string();
    EXPECT_EQ(ReadFile(Target() + "/Pictures/" + bare), ReadFile(serifFiles[0]));

    TVistelo copied;
    ASSERT_EQ(copied.LoadFromFile(Target() + "/Pictures/Urlaub.vsf", false, false), dlrOK);
    ASSERT_TRUE(copied.StringLists);
    ASSERT_EQ(copied.StringLists->Count(), 2);
    EXPECT_EQ(copied.StringLists->Strings(0), "1Liberation Serif");
    const TStringList* copiedFiles = VisteloNPics::NamedStringList(*copied.StringLists, 0);
    ASSERT_NE(copiedFiles, nullptr);
    EXPECT_EQ(copiedFiles->Strings(0), "1" + bare) << "the show on the CD names the files without a folder";
}

TEST_F(CDFolderTest, AFontFileThatCannotBeCopiedIsReportedOnce)
{
    auto fonts = std::make_unique<TStringList>();
    fonts->OwnsObjects = true;
    auto files = std::make_unique<TStringList>();
    files->Add("1" + Path("fonts/fehlt.ttf"));
    WriteFile(Path("fonts/da.ttf"), "font");
    files->Add("1" + Path("fonts/da.ttf"));
    fonts->AddObject("1Eigene Schrift", files.release());
    TVistelo show;
    show.AddDia(*Picture("a.jpg"));
    TCDFolderMaker maker(Target(), {});
    maker.Fonts = fonts.get();
    const TCDResult result = maker.CreateShowCD(show, true, ShowFile(), true, false);
    EXPECT_EQ(result.Status, cdsDoneWithFailures);
    EXPECT_FALSE(fs::exists(Target() + "/Pictures/da.ttf")) << "no font file after the first failure";
    ASSERT_EQ(Told().size(), 1u);
    EXPECT_NE(Told()[0].find("Es konnten 1 von 1 Bildern nicht kopiert werden.\r\r" + Hint() +
                             "\r\rEs konnten ein oder mehrere Zeichensätze nicht kopiert werden."),
              std::string::npos)
        << Told()[0];
}

// --- a show list ---

TEST_F(CDFolderTest, AShowListGetsOneFolderOnePlayerAndOneAutorunFile)
{
    auto saveShow = [&](const std::string& file, std::initializer_list<const char*> pictures) {
        TConfigVistelo show;
        for (const char* picture : pictures)
            show.AddDia(*Picture(picture));
        ASSERT_TRUE(show.SaveToFile(Path("bilder/" + file)));
    };
    saveShow("Sommer.vsf", {"s1.jpg", "s2.jpg"});
    saveShow("Winter.vsf", {"w1.jpg"});
    WriteFile(Path("bilder/Kaputt.vsf"), "no show at all");
    TVisteloList list;
    list.FileName = Path("bilder/Jahr.vsl");
    list.Title = "Das Jahr";
    for (const char* file : {"Sommer.vsf", "Kaputt.vsf", "Winter.vsf"}) {
        auto item = std::make_unique<TVisteloListItem>();
        item->ShowFile = file;
        list.Items->AddItem(std::move(item));
    }

    TCDFolderMaker maker(Target(), {});
    ASSERT_TRUE(maker.CreateListCD(list));
    EXPECT_EQ(ReadFile(Target() + "/Autorun.inf"), AutorunText("Jahr.vsl"));
    EXPECT_TRUE(fs::exists(Target() + "/Autovane"));
    EXPECT_TRUE(fs::exists(Target() + "/Player/Rollavin.ini"));
    for (const char* file : {"s1.jpg", "s2.jpg", "w1.jpg", "Sommer.vsf", "Winter.vsf"})
        EXPECT_TRUE(fs::exists(Target() + "/Pictures/" + file)) << file;

    TVisteloList copied;
    ASSERT_TRUE(copied.LoadFromFile(Target() + "/Pictures/Jahr.vsl"));
    EXPECT_EQ(copied.Title, "Das Jahr");
    ASSERT_EQ(copied.Items->Count, 2) << "the show that does not load is left out";
    EXPECT_EQ(dynamic_cast<TVisteloListItem*>(copied.Items->GetPos(0))->ShowFile, "Sommer.vsf");
    EXPECT_EQ(dynamic_cast<TVisteloListItem*>(copied.Items->GetPos(1))->ShowFile, "Winter.vsf");
    EXPECT_EQ(Told(),
              std::vector<std::string>{"Das Erstellen der Vistelo in \"" + Target() +
                                       "/\" wurde erfolgreich abgeschlossen.\r\r" + Hint() + "\r\r"});
}

TEST_F(CDFolderTest, AListWhosePlayerCannotBeCopiedIsNotCalledReady)
{
    fs::remove(Home() + "libKestrun.so");
    TConfigVistelo show;
    show.AddDia(*Picture("s1.jpg"));
    WriteFile(Path("bilder/s1.jpg"), "picture");
    ASSERT_TRUE(show.SaveToFile(Path("bilder/Sommer.vsf")));
    TVisteloList list;
    list.FileName = Path("bilder/Jahr.vsl");
    auto item = std::make_unique<TVisteloListItem>();
    item->ShowFile = "Sommer.vsf";
    list.Items->AddItem(std::move(item));
    TCDFolderMaker maker(Target(), {});
    ASSERT_TRUE(maker.CreateListCD(list));
    EXPECT_FALSE(fs::exists(Target() + "/Autorun.inf"));
    ASSERT_EQ(Told().size(), 1u);
    EXPECT_EQ(Told()[0].rfind("Das Erstellen der Vistelo in \"" + Target() +
                                  "/\" ist fehlgeschlagen.\r\rDie "
                                  "notwendigen Dateien für den Vistelo-Player",
                              0),
              0u)
        << Told()[0];
}

// --- copying the ticked pictures ---

TEST_F(CDFolderTest, TheTickedPicturesAreCopiedWithANewShow)
{
    TVistelo show;
    show.AddDia(*Picture("a.jpg"));
    show.AddDia(*Picture("b.jpg", false));
    show.AddDia(*Picture("c.jpg"));
    TPicInfoObject missing;
    missing.FileName = Path("bilder/weg.jpg");
    show.AddDia(missing);
    show.PlayMusic = true;
    show.MusicFileNames = "lied.mid\r\n";
    show.Logo = lUserLogo;
    const std::string folder = Path("kopie");
    fs::create_directories(folder);
    CopyTickedPictures(show, ShowFile(), folder, true, true, {});
    EXPECT_EQ(Tree(folder), (std::set<std::string>{"a.jpg", "c.jpg", "Urlaub.vsf"}));
    TVistelo copied;
    ASSERT_EQ(copied.LoadFromFile(folder + "/Urlaub.vsf", false, false), dlrOK);
    EXPECT_EQ(copied.Count, 2);
    EXPECT_EQ(copied.MusicFileNames, "");
    EXPECT_EQ(copied.Logo, lStdLogo);
    EXPECT_EQ(Told(),
              std::vector<std::string>{"Das Kopieren nach \"" + folder +
                                       "\" ist abgeschlossen.\r\rEs konnten 1 Dateien nicht kopiert werden"});
}

// --- deleting ---

class CDDeleteTest : public CDFolderTest {
protected:
    // Four pictures in the show's folder, the second and fourth crossed, each
    // with a sound.
    void SetUp() override
    {
        CDFolderTest::SetUp();
        for (const char* name : {"a", "b", "c", "d"}) {
            auto entry = Picture(std::string(name) + ".jpg", name[0] == 'a' || name[0] == 'c');
            WriteFile(Path("bilder/" + std::string(name) + ".wav"), "sound");
            entry->Sound = Path("bilder/" + std::string(name) + ".wav");
            show_.AddDia(*entry);
        }
        PicInfoUnit::PicInfoAccessMethod = paVistelo;
        PicInfoUnit::AccessVistelo = &show_;
    }

    int Delete(bool pictures, bool sounds)
    {
        return DeleteMarkedFiles(nullptr, 2, pictures, sounds, ShowFile(),
                                 [this](int index) { RemovePictureFromShow(show_, index); });
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < show_.Count; ++i)
            names.push_back(fs::path(show_.GetPicInfo(i)->FileName).filename().string());
        return names;
    }

    TVistelo show_;
};

TEST_F(CDDeleteTest, WhatIsDeletedFollowsTheChoice)
{
    struct Case {
        const char* What;
        bool Pictures, Sounds;
        std::vector<std::string> Left;
        std::set<std::string> Files;
    };
    const Case cases[] = {
        {"pictures and sounds", true, true, {"a.jpg", "c.jpg"}, {"a.jpg", "a.wav", "c.jpg", "c.wav", "Urlaub.vsf"}},
        {"only the sounds",
         false,
         true,
         {"a.jpg", "b.jpg", "c.jpg", "d.jpg"},
         {"a.jpg", "a.wav", "b.jpg", "c.jpg", "c.wav", "d.jpg", "Urlaub.vsf"}},
        {"only the pictures",
         true,
         false,
         {"a.jpg", "c.jpg"},
         {"a.jpg", "a.wav", "b.wav", "c.jpg", "c.wav", "d.wav", "Urlaub.vsf"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TearDown();
        show_.Clear();
        SetUp();
        WriteFile(ShowFile(), "show");
        EXPECT_EQ(Delete(c.Pictures, c.Sounds), 0);
        EXPECT_EQ(Names(), c.Left);
        EXPECT_EQ(Tree(Path("bilder")), c.Files);
        if (!c.Pictures) {
            EXPECT_EQ(show_.GetPicInfo(1)->Sound, "") << "a deleted sound is no longer named";
            EXPECT_EQ(show_.GetPicInfo(0)->Sound, Path("bilder/a.wav"));
        }
    }
    EXPECT_EQ(DeleteMessage(0), "Das Löschen wurde erfolgreich abgeschlossen.");
    EXPECT_EQ(DeleteMessage(2), "Das Löschen ist abgeschlossen.\r\rEs konnten 2 Dateien nicht gelöscht werden");
}

TEST_F(CDDeleteTest, AFileThatWillNotGoIsAskedAboutAndNoStopsTheRun)
{
    // A folder full of things cannot be deleted as a file, whoever asks.
    fs::remove(Path("bilder/b.jpg"));
    fs::create_directories(Path("bilder/b.jpg/inhalt"));
    ui::ScriptAnswer(mrNo);
    EXPECT_EQ(Delete(true, false), 1);
    ASSERT_EQ(Told().size(), 1u);
    EXPECT_EQ(Told()[0],
              "Die Datei \"" + Path("bilder/b.jpg") +
                  "\" konnte nicht gelöscht werden\r\rSoll der Vorgang mit den anderen Dateien fortgesetzt "
                  "werden?");
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Buttons.size(), 2u);
    EXPECT_TRUE(fs::exists(Path("bilder/d.jpg"))) << "No ends the run";
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg", "d.jpg"}));

    ui::ClearRecordedDialogs();
    ui::ScriptAnswer(mrYes);
    EXPECT_EQ(Delete(true, false), 1);
    EXPECT_FALSE(fs::exists(Path("bilder/d.jpg"))) << "Yes goes on";
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg"}));
}

TEST_F(CDDeleteTest, AMissingPictureLeavesTheListAndNothingElseIsTouched)
{
    // The program folder holds a file of the missing picture's name; a
    // lookup that fell back on it would delete the player's logo.
    fs::remove(Path("bilder/b.jpg"));
    show_.GetPicInfo(1)->FileName = "Vistelo.jpg";
    show_.GetPicInfo(1)->Sound.clear();
    EXPECT_EQ(Delete(true, false), 0);
    EXPECT_TRUE(fs::exists(Home() + "Vistelo.jpg"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.jpg", "c.jpg"}));
    EXPECT_TRUE(Told().empty());
}

} // namespace
