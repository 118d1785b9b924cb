// Adding a folder's pictures: the extension masks, the search over a tree
// made for the test (hidden folders, a link back up the tree, sub-folders
// left out), the dialog with its message for a missing folder, and the main
// window's command.

#include "editor/app/AddDirUnit.h"

#include "core/Setup.h"
#include "editor/app/AddDirProgressUnit.h"
#include "editor/app/Config.h"
#include "editor/app/VisteloSetup.h"
#include "editor/controls/DirectoryEdit.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"
#include "tests/editor/EditorScratch.h"
#include "tests/ui/UiFixture.h"
#include "widgets/FileLbl.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <utility>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

TEST(AddDirMasks, ExtensionsMatchInAnyCase)
{
    const struct {
        const char* name;
        const char* ext;
        bool matches;
    } table[] = {
        {"bild.jpg", "JPG", true},   {"BILD.JpG", "JPG", true}, {"bild.jpeg", "JPG", false},
        {"bild.jpeg", "JPEG", true}, {"bildjpg", "JPG", false}, {"bild.jpg.txt", "JPG", false},
        {".jpg", "JPG", true},       {"jpg", "JPG", false},     {"a.rgb", "RGBA", false},
        {"a.rgba", "RGB", false},    {"ä.Tif", "TIF", true},
    };
    for (const auto& t : table)
        EXPECT_EQ(AddDirUnit::MatchesExtMask(t.name, t.ext), t.matches) << t.name << " " << t.ext;
}

// A tree of pictures and other files in a temporary folder.
class PictureTree {
public:
    explicit PictureTree(const EditorScratch& scratch) : root(scratch.Path("tree"))
    {
        for (const char* file : {"a.JPG", "b.jpeg", "c.Png", "notes.txt", "noext", ".versteckt.gif", "sub/d.gif",
                                 "sub/deep/e.BMP", ".thumbs/f.jpg", "album.jpg/g.tif"})
            Make(file);
        fs::create_directory_symlink("..", root / "sub" / "zurueck");
        // A link to a folder elsewhere is searched like a folder.
        fs::create_directories(root.parent_path() / "anderswo");
        std::ofstream(root.parent_path() / "anderswo" / "x.jpg") << "x";
        fs::create_directory_symlink(root.parent_path() / "anderswo", root / "sub" / "verweis");
        fs::create_symlink(root / "fehlt.jpg", root / "kaputt.jpg");
    }

    std::vector<std::string> Paths(std::initializer_list<const char*> files) const
    {
        std::vector<std::string> paths;
        for (const char* file : files)
            paths.push_back((root / file).string());
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    fs::path root;

private:
    void Make(const std::string& file)
    {
        fs::create_directories((root / file).parent_path());
        std::ofstream(root / file) << "x";
    }
};

class AddDirSearch : public ::testing::Test {
protected:
    std::vector<std::string> Search(bool recursive, AddDirUnit::TSearchProgress progress = {})
    {
        std::vector<std::string> files;
        AddDirUnit::SearchFolder(tree.root.string(), recursive, files, progress);
        std::sort(files.begin(), files.end());
        return files;
    }

    EditorScratch scratch;
    PictureTree tree{scratch};
};

TEST_F(AddDirSearch, TheWholeTreeSkipsDotFoldersAndEntersNoFolderTwice)
{
    std::vector<std::string> folders;
    std::vector<int> counts;
    const auto files = Search(
        true, {[&](const std::string& f) { folders.push_back(f); }, [&](int n) { counts.push_back(n); }});
    EXPECT_EQ(files,
              tree.Paths({"a.JPG", "b.jpeg", "c.Png", ".versteckt.gif", "sub/d.gif", "sub/deep/e.BMP",
                          "sub/verweis/x.jpg", "album.jpg/g.tif"}));
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(
        folders,
        (std::vector<std::string>{tree.root.string(), (tree.root / "album.jpg").string(), (tree.root / "sub").string(),
                                  (tree.root / "sub/deep").string(), (tree.root / "sub/verweis").string()}));
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(AddDirSearch, WithoutSubFoldersOnlyTheFolderItself)
{
    // A folder is never taken for a picture, whatever its name.
    EXPECT_EQ(Search(false), tree.Paths({"a.JPG", "b.jpeg", "c.Png", ".versteckt.gif"}));
}

TEST_F(AddDirSearch, AFolderWithoutPicturesOrThatDoesNotExistGivesNothing)
{
    fs::create_directories(scratch.Path("leer/text"));
    std::ofstream(scratch.Path("leer/text/brief.txt")) << "x";
    std::vector<std::string> files;
    AddDirUnit::SearchFolder(scratch.Path("leer"), true, files);
    AddDirUnit::SearchFolder(scratch.Path("gibtsnicht"), true, files);
    EXPECT_TRUE(files.empty());
}

TEST_F(AddDirSearch, AFolderThatCannotBeReadIsPassedOver)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every folder";
    fs::create_directories(scratch.Path("teils/zu"));
    std::ofstream(scratch.Path("teils/zu/h.jpg")) << "x";
    std::ofstream(scratch.Path("teils/i.jpg")) << "x";
    fs::permissions(scratch.Path("teils/zu"), fs::perms::none);
    std::vector<std::string> files;
    AddDirUnit::SearchFolder(scratch.Path("teils"), true, files);
    fs::permissions(scratch.Path("teils/zu"), fs::perms::owner_all);
    EXPECT_EQ(files, std::vector<std::string>{scratch.Path("teils/i.jpg")});
}

class AddDirFormTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        savedPicDir_ = VisteloSetup::PicDir;
        VisteloSetup::PicDir = scratch.Path("");
    }
    void TearDown() override
    {
        VisteloSetup::PicDir = savedPicDir_;
        UiTest::TearDown();
    }

    static TAddDirProgress* ShownProgress()
    {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* progress = dynamic_cast<TAddDirProgress*>(Screen->Forms(i)); progress && progress->Showing())
                return progress;
        return nullptr;
    }

    EditorScratch scratch;
    PictureTree tree{scratch};
    std::vector<std::vector<std::string>> handedOver;

private:
    std::string savedPicDir_;
};

TEST_F(AddDirFormTest, AMissingFolderIsReportedAndTheDialogStays)
{
    TAddDirForm form(nullptr, [this](const std::vector<std::string>& files) { handedOver.push_back(files); });
    const std::string missing = scratch.Path("gibtsnicht");
    LaterOnModalForm<TAddDirForm>([&](TAddDirForm& f) {
        EXPECT_EQ(f.Caption(), "Alle Bilder aus einem Verzeichnis hinzufügen");
        EXPECT_EQ(f.DirectoryEdit->Text(), VisteloSetup::PicDir);
        EXPECT_FALSE(f.RecursiveCheck->Checked());
        f.DirectoryEdit->SetText(missing);
        f.BitBtn1->Click();
        ASSERT_FALSE(ui::RecordedDialogs().empty());
        EXPECT_EQ(ui::RecordedDialogs().back().Request.Text, "Verzeichnis \"" + missing + "\" nicht gefunden!");
        EXPECT_EQ(f.ModalResult, mrNone);
        EXPECT_EQ(f.DirectoryEdit->Text(), missing);
        f.BitBtn2->Click();
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_TRUE(handedOver.empty());
    EXPECT_EQ(VisteloSetup::PicDir, scratch.Path(""));
}

TEST_F(AddDirFormTest, OKHandsTheFoundPicturesOverAndRemembersTheFolder)
{
    std::string progressCount;
    TAddDirForm form(nullptr, [&](const std::vector<std::string>& files) {
        handedOver.push_back(files);
        // The progress window is up while the pictures are handed over.
        if (const TAddDirProgress* progress = ShownProgress())
            progressCount = progress->PicNumLabel->Caption();
    });
    const std::string sub = (tree.root / "sub").string();
    LaterOnModalForm<TAddDirForm>([&](TAddDirForm& f) {
        f.DirectoryEdit->SetText(sub);
        f.RecursiveCheck->SetChecked(true);
        f.BitBtn1->Click();
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    ASSERT_EQ(handedOver.size(), 1u);
    std::sort(handedOver[0].begin(), handedOver[0].end());
    EXPECT_EQ(handedOver[0], tree.Paths({"sub/d.gif", "sub/deep/e.BMP", "sub/verweis/x.jpg"}));
    EXPECT_EQ(VisteloSetup::PicDir, sub + "/");
    EXPECT_EQ(progressCount, "3");
    EXPECT_EQ(ShownProgress(), nullptr);

    // The next opening proposes that folder.
    TAddDirForm again(nullptr, nullptr);
    LaterOnModalForm<TAddDirForm>([&](TAddDirForm& f) {
        EXPECT_EQ(f.DirectoryEdit->Text(), sub + "/");
        f.BitBtn2->Click();
    });
    again.ShowModal();
}

TEST_F(AddDirFormTest, TheProgressWindowShowsTheFolderAndTheCount)
{
    TAddDirProgress progress(nullptr);
    EXPECT_EQ(progress.Caption(), "Verzeichnis hinzufügen");
    EXPECT_EQ(progress.PicNumLabel->Caption(), "0");
    progress.Show();
    progress.ShowFolder(tree.root.string());
    progress.ShowCount(3);
    EXPECT_EQ(progress.FileLabel->FileName(), tree.root.string());
    EXPECT_EQ(progress.PicNumLabel->Caption(), "3");
}

TEST_F(AddDirFormTest, TheMainWindowAddsTheFolderWithItsQuestions)
{
    const std::string savedHome = Setup::HomeDir;
    Setup::HomeDir = scratch.Path("");
    auto* main = new TAAForm(nullptr);
    main->StartTimerTimer(nullptr);
    main->AddPictureFiles({(tree.root / "a.JPG").string()}, false);
    std::vector<std::string> questions;
    main->QuestionAsker = [&](const std::string& question) {
        questions.push_back(question);
        return mrNo;
    };
    const bool savedCheck = std::exchange(VisteloSetup::DoublePicsCheck, true);
    EXPECT_EQ(main->AddDirItem->ShortCut, ShortCut('F', {ssCtrl}));
    LaterOnModalForm<TAddDirForm>([&](TAddDirForm& f) {
        f.DirectoryEdit->SetText(tree.root.string());
        f.BitBtn1->Click();
    });
    main->AddDirItem->Click();
    // a.JPG was there already and is declined; the other three are added.
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(main->PicCount(), 4);
    delete main;
    Setup::HomeDir = savedHome;
    VisteloSetup::DoublePicsCheck = savedCheck;
}

} // namespace
