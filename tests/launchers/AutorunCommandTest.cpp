#include "launchers/autovane/AutorunCommand.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace AutorunCommand;
namespace fs = std::filesystem;

namespace {

// A scratch CD root with files made on demand.
class CdFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() /
            ("autovane_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string Folder() const { return root_.string() + "/"; }
    void Write(const std::string& relative, const std::string& text) const
    {
        fs::create_directories((root_ / relative).parent_path());
        std::ofstream(root_ / relative, std::ios::binary) << text;
    }

    fs::path root_;
};

} // namespace

TEST(AutorunIni, ReadsTheOpenValueOfItsVariants)
{
    struct Case {
        const char* name;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"plain", "[autorun]\nOPEN=Rollavin \"Show\\a.vsf\"\nICON=x.ico\n", "Rollavin \"Show\\a.vsf\""},
        {"CR LF", "[autorun]\r\nOPEN=Rollavin\r\nICON=x.ico\r\n", "Rollavin"},
        {"case of names", "[AutoRun]\nopen=Rollavin\n", "Rollavin"},
        {"blanks around", "  [ autorun ]  \n  OPEN =  Rollavin a  \n", "Rollavin a"},
        {"enclosing quotes dropped", "[autorun]\nOPEN=\"Rollavin a\"\n", "Rollavin a"},
        {"inner quotes kept", "[autorun]\nOPEN=\"Rollavin\" \"a\"\n", "\"Rollavin\" \"a\""},
        {"first of two", "[autorun]\nOPEN=one\nOPEN=two\n", "one"},
        {"other section", "[other]\nOPEN=Rollavin\n[autorun]\nICON=x\n", ""},
        {"missing section", "OPEN=Rollavin\n", ""},
        {"empty text", "", ""},
        {"no line end", "[autorun]\nOPEN=Rollavin", "Rollavin"},
        {"broken section line", "[autorun\nOPEN=Rollavin\n", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadIniValue(c.text, "autorun", "OPEN"), c.expected) << c.name;
}

TEST(AutorunParameters, SplitLikeAStartedProgramsCommandLine)
{
    struct Case {
        std::string text;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"a b\tc", {"a", "b", "c"}},
        {"\"Show\\My Show.vsf\"", {"Show\\My Show.vsf"}},
        {"a\"b c\"d", {"ab cd"}},
        {"\"\"", {""}},
        {"\\\\server\\x", {"\\\\server\\x"}},
        {"a\\\"b", {"a\"b"}},
        {"a\\\\\"b c\"", {"a\\b c"}},
        {"\"a \"\"q\"\" b\"", {"a \"q\" b"}},
        {"\"open", {"open"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitParameters(c.text), c.expected) << c.text;
}

TEST_F(CdFolder, WindowsPathsFindTheirFilesWhateverTheCase)
{
    Write("Player/Rollavin", "x");
    EXPECT_EQ(MapWindowsPath(Folder(), "PLAYER\\rollavin"), Folder() + "Player/Rollavin");
    EXPECT_EQ(MapWindowsPath(Folder(), "Player/Rollavin"), Folder() + "Player/Rollavin");
    EXPECT_EQ(MapWindowsPath(Folder(), ".\\player\\\\Rollavin"), Folder() + "Player/Rollavin");
    EXPECT_EQ(MapWindowsPath(Folder(), "Player\\Missing"), Folder() + "Player/Missing");
}

TEST_F(CdFolder, TheOpenValueIsSplitAtItsFirstBlank)
{
    Write("Player/Rollavin", "x");
    Write("Show/My Show.vsf", "x");
    struct Case {
        std::string open;
        std::string program;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"player\\rollavin \"show\\my show.vsf\"", "Player/Rollavin", {Folder() + "Show/My Show.vsf"}},
        {"Player\\Rollavin", "Player/Rollavin", {}},
        {"Player\\Rollavin.exe -x", "Player/Rollavin", {"-x"}},
        {"Player\\Rollavin missing.vsf", "Player/Rollavin", {"missing.vsf"}},
        // Quotes do not protect blanks in the program part.
        {"\"My Player\\Rollavin\" a", "\"My", {"Player\\Rollavin a"}},
    };
    for (const Case& c : cases) {
        const TStartCommand command = CommandFromOpenValue(Folder(), c.open);
        EXPECT_EQ(command.Program, Folder() + c.program) << c.open;
        EXPECT_EQ(command.Args, c.args) << c.open;
        EXPECT_EQ(command.WorkDir, Folder()) << c.open;
    }
}

TEST_F(CdFolder, RunsTheRecordedCommandOfTheAutorunFile)
{
    Write("Autorun.inf", "[autorun]\r\nOPEN=Rollavin \"a b\"\r\nICON=Vistelo.ico\r\n");
    std::vector<TStartCommand> started;
    EXPECT_TRUE(RunAutorunCommand(Folder(), [&](const TStartCommand& c) { started.push_back(c); }));
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].Program, Folder() + "Rollavin");
    EXPECT_EQ(started[0].Args, std::vector<std::string>{"a b"});
    EXPECT_EQ(started[0].WorkDir, Folder());
}

TEST_F(CdFolder, StartsNothingAndStaysQuietWithoutACommand)
{
    std::vector<std::string> files[] = {
        {},                                           // no autorun file
        {"autorun.inf", "[autorun]\nICON=x.ico\n"},   // no OPEN
        {"autorun.inf", "[autorun]\nOPEN=\n"},        // empty OPEN
        {"autorun.inf", std::string(70 * 1024, 'x')}, // not an autorun file
    };
    for (const auto& file : files) {
        fs::remove_all(root_);
        fs::create_directories(root_);
        if (!file.empty())
            Write(file[0], file[1]);
        int calls = 0;
        EXPECT_FALSE(RunAutorunCommand(Folder(), [&](const TStartCommand&) { ++calls; }));
        EXPECT_EQ(calls, 0);
    }
}

TEST_F(CdFolder, AFailingStartIsSwallowed)
{
    Write("autorun.inf", "[autorun]\nOPEN=Missing\n");
    EXPECT_FALSE(RunAutorunCommand(Folder(), SpawnCommand));
}

TEST_F(CdFolder, SpawnStartsTheProgramInItsFolderWithItsArguments)
{
    // A script stands in for the player: it writes its folder and arguments.
    Write("Player/run.sh", "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > out.txt\n");
    fs::permissions(root_ / "Player/run.sh", fs::perms::owner_all);
    Write("autorun.inf", "[autorun]\nOPEN=player\\RUN.sh \"a b\" c;$(x)\n");
    ASSERT_TRUE(RunAutorunCommand(Folder(), SpawnCommand));

    const fs::path out = root_ / "out.txt";
    for (int i = 0; i < 500 && !(fs::exists(out) && fs::file_size(out) > 0); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream in(out);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, fs::canonical(root_).string() + "\n[a b]\n[c;$(x)]\n");
}
