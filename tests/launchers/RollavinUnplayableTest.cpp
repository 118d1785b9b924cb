// Shows and show lists that cannot be played, given to Rollavin's command line
// and played by the real player package: each is reported once, naming the
// show that does not load, and Rollavin ends with status 1.

#include "core/PlayerPackageInterface.h"
#include "core/VisteloList.h"
#include "editor/app/PicInfoUnit.h"
#include "launchers/rollavin/PlayFromCommandLine.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;
namespace PPI = PlayerPackageInterface;

namespace {

class RollavinUnplayable : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        folder_ = fs::temp_directory_path() / ("rollavin_unplayable_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        ui::BeginDialogScript();
        PPI::SetPlayerPackageFileForTests(PLAYER_PACKAGE_FILE);
        // The chooser takes the entry it offers first; a show that plays
        // anyway is a failure of the test, and ends.
        Application->OnIdle = [this](TObject*, bool&) {
            for (int i = 0; i < Screen->FormCount(); ++i) {
                TCustomForm* form = Screen->Forms(i);
                if (!form->Modal())
                    continue;
                if (form->ClassName() == "TChooseVisteloForm" && form->ModalResult == mrNone) {
                    ++choosers_;
                    form->ModalResult = mrOk;
                } else if (form->ClassName() == "TShowForm") {
                    ADD_FAILURE() << "a show played";
                    form->Close();
                }
            }
        };
    }
    void TearDown() override
    {
        Application->OnIdle = nullptr;
        PPI::UnLoadPlayerPackage();
        PPI::SetPlayerPackageFileForTests({});
        ui::EndDialogScript();
        ui::ClearRecordedDialogs();
        std::error_code ignored;
        fs::permissions(folder_ / "unreadable.vsf", fs::perms::owner_all, ignored);
        fs::remove_all(folder_, ignored);
    }

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }

    // The bytes of a show of two pictures as the editor writes it.
    std::string ShowBytes()
    {
        TConfigVistelo show;
        show.InfoTitle = "Ferien";
        for (const char* picture : {"a.jpg", "b.jpg"}) {
            TPicInfoObject entry;
            entry.FileName = picture;
            entry.Comments = "Am Strand";
            show.AddDia(entry);
        }
        const std::string file = Path("whole.vsf");
        EXPECT_TRUE(show.SaveToFile(file));
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name);
    }

    std::string List(const std::string& name, TWhatToDoWhenVisteloListStarts start,
                     const std::vector<std::string>& shows)
    {
        TVisteloList list;
        list.StartAction = start;
        for (const std::string& show : shows) {
            auto item = std::make_unique<TVisteloListItem>();
            item->ShowFile = show;
            list.Items->AddItem(std::move(item));
        }
        list.SaveToFile(Path(name));
        return Path(name);
    }

    fs::path folder_;
    int choosers_ = 0;
};

} // namespace

TEST_F(RollavinUnplayable, EveryShowThatDoesNotLoadIsReportedOnceAndEndsWithStatusOne)
{
    struct Case {
        const char* what;
        std::function<std::string()> argument; // makes the file and gives Rollavin's argument
        std::string reported;                  // the show the message names
        int choosers;
    };
    const std::string whole = ShowBytes();
    const Case cases[] = {
        {"empty", [&] { return Write("empty.vsf", ""); }, Path("empty.vsf"), 0},
        {"one byte short", [&] { return Write("short.vsf", whole.substr(0, whole.size() - 1)); }, Path("short.vsf"), 0},
        {"cut in half", [&] { return Write("half.vsf", whole.substr(0, whole.size() / 2)); }, Path("half.vsf"), 0},
        {"cut in the header", [&] { return Write("head.vsf", whole.substr(0, 10)); }, Path("head.vsf"), 0},
        {"foreign bytes", [&] { return Write("foreign.vsf", "Dies ist keine Vorführung, nur Text.\n"); },
         Path("foreign.vsf"), 0},
        {"a folder",
         [&] {
             fs::create_directories(Path("Ordner.vsf"));
             return Path("Ordner.vsf");
         },
         Path("Ordner.vsf"), 0},
        {"a list whose first show fails",
         [&] {
             return List("first.vsl", dlsPlayFirstVistelo, {Write("broken.vsf", "ZOSF"), Write("good.vsf", whole)});
         },
         Path("broken.vsf"), 0},
        {"a list whose chosen show is missing",
         [&] {
             return List("chosen.vsl", dlsShowList, {Path("missing.vsf"), Write("other.vsf", whole)});
         },
         Path("missing.vsf"), 1},
    };
    for (const Case& c : cases) {
        ui::ClearRecordedDialogs();
        choosers_ = 0;
        const std::string argument = c.argument();
        const int status = PlayFromCommandLine::PlayFromCommandLine({argument}, folder_.string() + "/",
                                                                    PlayFromCommandLine::PackageStarts());
        EXPECT_EQ(status, 1) << c.what;
        EXPECT_EQ(choosers_, c.choosers) << c.what;
        ASSERT_EQ(ui::RecordedDialogs().size(), 1u) << c.what;
        EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, "Fehler beim Laden der Datei \"" + c.reported + "\".")
            << c.what;
    }
}

TEST_F(RollavinUnplayable, AShowThatMayNotBeReadIsReportedAndEndsWithStatusOne)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root, every file can be read";
    const std::string file = Write("unreadable.vsf", ShowBytes());
    fs::permissions(file, fs::perms::none);
    EXPECT_EQ(
        PlayFromCommandLine::PlayFromCommandLine({file}, folder_.string() + "/", PlayFromCommandLine::PackageStarts()),
        1);
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, "Fehler beim Laden der Datei \"" + file + "\".");
}
