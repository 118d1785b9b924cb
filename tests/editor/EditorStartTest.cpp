// The editor's command line and the file classes it registers on closing.

#include "editor/app/EditorStart.h"
#include "editor/app/FileClasses.h"
#include "platform/rtl/Registry.h"
#include "platform/ui/Dialogs.h"
#include "tests/editor/EditorScratch.h"
#include "widgets/Parameters.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

class EditorStartTest : public ::testing::Test {
protected:
    void Use(std::vector<std::string> argv)
    {
        Parameters::UseOwnParameterParser(false);
        Parameters::SetPlatformArguments(std::move(argv));
        Parameters::UseOwnParameterParser(true);
    }
    void TearDown() override { Parameters::UseOwnParameterParser(false); }
};

std::string ReadFile(const std::string& name)
{
    std::ifstream in(name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST_F(EditorStartTest, SwitchesChooseTheWay)
{
    const std::pair<std::vector<std::string>, EditorStart::TStartKind> cases[] = {
        {{"/opt/v/Vistelo"}, EditorStart::skEditor},
        {{"/opt/v/Vistelo", "show.vsf"}, EditorStart::skEditor},
        {{"/opt/v/Vistelo", "/x", "show.vsf"}, EditorStart::skEditor},
        {{"/opt/v/Vistelo", "/S", "show.vsf"}, EditorStart::skPlayer},
        {{"/opt/v/Vistelo", "show.vsf", "-s"}, EditorStart::skPlayer},
        {{"/opt/v/Vistelo", "-b/home/u/show.vsf"}, EditorStart::skWallpaper},
        {{"/opt/v/Vistelo", "-B"}, EditorStart::skWallpaper},
    };
    for (const auto& [argv, kind] : cases) {
        Use(argv);
        EXPECT_EQ(EditorStart::StartKind(), kind) << argv.back();
    }
}

TEST_F(EditorStartTest, ThePlayerGetsOnlyTheShowAsAnArgumentVector)
{
    EditorScratch scratch;
    // A show path with a blank stays one argument; neither the editor's own
    // path nor the switch reaches the player, which plays its first argument.
    const std::string show = scratch.Path("Meine Bilder.vsf");
    std::ofstream(show) << "x";
    Use({"/opt/v/Vistelo", "/S", show});
    EditorStart::RunPlayerProgram(EditorStart::PlayerProgramName);
    ASSERT_EQ(scratch.Launches.size(), 1u);
    const ui::TLaunch& launch = scratch.Launches[0];
    ASSERT_EQ(launch.Arguments.size(), 2u);
    EXPECT_EQ(std::filesystem::path(launch.Arguments[0]).filename(), "Rollavin");
    EXPECT_EQ(launch.Arguments[1], show);

    EXPECT_EQ(EditorStart::PlayerArguments("/opt/v/", "Rollavin"), (std::vector<std::string>{"/opt/v/Rollavin", show}));
    Use({"/opt/v/Vistelo", "-s"});
    EXPECT_EQ(EditorStart::PlayerArguments("/opt/v/", "Rollavin"), std::vector<std::string>{"/opt/v/Rollavin"});
}

TEST(FileClasses, RegistryClassesFollowTheTable)
{
    EditorScratch scratch;
    FileClasses::RegisterRegistryClasses("/opt/v/Vistelo", "/opt/v/");
    TRegistry registry(KEY_READ);
    registry.SetRootKey(HKEY_CLASSES_ROOT);
    const std::pair<const char*, const char*> expected[] = {
        {"\\.vsf", "VisteloFile"},
        {"\\.vsl", "VisteloListFile"},
        {"\\.HTMLPreset", "HTMLPreset"},
        {"\\HTMLPreset", "HTML-Einstellungen"},
        {"\\VisteloFile", "Vistelo"},
        {"\\VisteloFile\\Shell\\Open\\Command", "/opt/v/Vistelo \"%1\""},
        {"\\VisteloFile\\Shell\\Background", "Zufälliges Hintergrundbild"},
        {"\\VisteloFile\\Shell\\Background\\Command", "/opt/v/Vistelo \"-b%1\""},
        {"\\VisteloFile\\Shell\\Show", "Vistelo abspielen"},
        {"\\VisteloFile\\Shell\\Show\\Command", "/opt/v/Rollavin \"%1\""},
        {"\\VisteloListFile", "Vistelo-Liste"},
        {"\\VisteloListFile\\Shell\\Open", "Vistelo-Liste abspielen"},
        {"\\VisteloListFile\\Shell\\Open\\Command", "/opt/v/Rollavin \"%1\""},
        {"\\VisteloFile\\DefaultIcon", "/opt/v/Vistelo,0"},
        {"\\VisteloListFile\\DefaultIcon", "/opt/v/Vistelo,1"},
        {"\\HTMLPreset\\DefaultIcon", "/opt/v/Vistelo,2"},
    };
    EXPECT_EQ(FileClasses::ClassKeys("/opt/v/Vistelo", "/opt/v/").size(), std::size(expected));
    for (const auto& [key, value] : expected) {
        ASSERT_TRUE(registry.OpenKeyReadOnly(key)) << key;
        EXPECT_EQ(registry.ReadString(""), value) << key;
        registry.CloseKey();
    }
}

TEST(FileClasses, DesktopClassesGoIntoTheUsersDataFolder)
{
    EditorScratch scratch;
    EXPECT_EQ(FileClasses::UserDataHome(), scratch.DataHome());
    FileClasses::RegisterDesktopClasses("/opt/mein v/Vistelo", "/opt/mein v/", scratch.DataHome());

    const std::string mime = ReadFile(FileClasses::MimePackageFile(scratch.DataHome()));
    EXPECT_NE(mime.find("<mime-type type=\"application/x-vistelo-show\">"), std::string::npos);
    EXPECT_NE(mime.find("<glob pattern=\"*.vsf\"/>"), std::string::npos);
    EXPECT_NE(mime.find("<mime-type type=\"application/x-vistelo-list\">"), std::string::npos);
    EXPECT_NE(mime.find("<glob pattern=\"*.vsl\"/>"), std::string::npos);

    const std::string editor = ReadFile(FileClasses::EditorDesktopFile(scratch.DataHome()));
    EXPECT_NE(editor.find("Exec=\"/opt/mein v/Vistelo\" %f\n"), std::string::npos) << editor;
    EXPECT_NE(editor.find("MimeType=application/x-vistelo-show;\n"), std::string::npos);
    const std::string player = ReadFile(FileClasses::PlayerDesktopFile(scratch.DataHome()));
    EXPECT_NE(player.find("Exec=\"/opt/mein v/Rollavin\" %f\n"), std::string::npos) << player;
    EXPECT_NE(player.find("MimeType=application/x-vistelo-show;application/x-vistelo-list;\n"), std::string::npos);

    // The desktop's caches are brought up to date by the tools that are installed.
    for (const ui::TLaunch& launch : scratch.Launches) {
        ASSERT_EQ(launch.Arguments.size(), 2u);
        const std::string tool = std::filesystem::path(launch.Arguments[0]).filename();
        if (tool == "update-mime-database")
            EXPECT_EQ(launch.Arguments[1], scratch.DataHome() + "mime");
        else
            EXPECT_EQ(launch.Arguments,
                      (std::vector<std::string>{launch.Arguments[0], scratch.DataHome() + "applications"}));
    }
}

TEST(FileClasses, ExecArgumentsAreQuotedAndEscaped)
{
    EXPECT_EQ(FileClasses::QuoteExecArgument("/opt/v/Vistelo"), "\"/opt/v/Vistelo\"");
    EXPECT_EQ(FileClasses::QuoteExecArgument("/a \"b\"/$c`d\\e"), "\"/a \\\"b\\\"/\\$c\\`d\\\\e\"");
}
