#include "widgets/Parameters.h"

#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Each test starts from the given argument vector with the own parser off.
class ParametersTest : public ::testing::Test {
protected:
    void Use(std::vector<std::string> argv, bool own)
    {
        Parameters::UseOwnParameterParser(false);
        Parameters::SetPlatformArguments(std::move(argv));
        Parameters::UseOwnParameterParser(own);
    }
    void TearDown() override { Parameters::UseOwnParameterParser(false); }

    static std::vector<std::string> OwnList()
    {
        std::vector<std::string> list;
        for (int i = 0; i <= 20; ++i)
            if (i == 0 || Parameters::Params())
                list.push_back(Parameters::PParamStr(i));
        while (list.size() > 1 && list.back().empty())
            list.pop_back();
        return list;
    }
};

struct SplitCase {
    const char* name;
    std::vector<std::string> argv;     // as the platform split it
    std::vector<std::string> expected; // the own list
};

TEST_F(ParametersTest, OwnParserResplitsTheJoinedLine)
{
    const SplitCase cases[] = {
        {"single-quoted switch value",
         {"prog", "/F'C:\\Meine", "Bilder\\a.vsf'", "x"},
         {"prog", "/FC:\\Meine Bilder\\a.vsf", "x"}},
        {"double-quoted switch comes back whole",
         {"prog", "/FC:\\Meine Bilder\\a.vsf"},
         {"prog", "/FC:\\Meine Bilder\\a.vsf"}},
        {"program path with a blank", {"/opt/Mein Programm/prog", "a"}, {"/opt/Mein Programm/prog", "a"}},
        {"apostrophe swallows the rest", {"prog", "it's", "a", "b"}, {"prog", "its a b"}},
        {"only the program", {"prog"}, {"prog"}},
    };
    for (const auto& c : cases) {
        Use(c.argv, true);
        EXPECT_EQ(OwnList(), c.expected) << c.name;
    }
}

TEST_F(ParametersTest, AllParametersKeepsProgramAndTrailingBlank)
{
    Use({"/opt/Mein Programm/prog", "/S", "show.vsf"}, true);
    EXPECT_EQ(Parameters::AllParameters(), "\"/opt/Mein Programm/prog\" /S show.vsf ");
}

TEST_F(ParametersTest, AllParametersNeedsTheOwnParser)
{
    Use({"prog", "a"}, false);
    try {
        Parameters::AllParameters();
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "AllParameters geht nur, wenn UseOwnParser = True!");
    }
}

TEST_F(ParametersTest, LongCommandLinesAreKeptWhole)
{
    const std::string longName = "/home/user/" + std::string(300, 'b') + "/show.vsf";
    Use({"prog", "/F" + longName, "second"}, true);
    EXPECT_EQ(Parameters::GetParamFileName('F'), longName);
    EXPECT_EQ(Parameters::GetFileName(1), "second");
    EXPECT_EQ(Parameters::AllParameters().size(), 5 + 2 + longName.size() + 1 + 7);
}

TEST_F(ParametersTest, SwitchesAndFileNames)
{
    for (bool own : {false, true}) {
        Use({"prog", "/Sxyz", "-b", "/", "eins.vsf", "zwei.vsf"}, own);
        EXPECT_TRUE(Parameters::Param('s')) << own;
        EXPECT_TRUE(Parameters::Param('S')) << own;
        EXPECT_TRUE(Parameters::Param('B')) << own;
        EXPECT_EQ(Parameters::GetParam('s'), "/Sxyz") << own;
        EXPECT_EQ(Parameters::GetParamFileName('s'), "xyz") << own;
        EXPECT_FALSE(Parameters::Param('x')) << own;
        EXPECT_EQ(Parameters::GetParamFileName('x'), "") << own;
        // A lone "/" is neither a switch nor a file name.
        EXPECT_EQ(Parameters::FileNameCount(), 2) << own;
        EXPECT_EQ(Parameters::GetFileName(1), "eins.vsf") << own;
        EXPECT_EQ(Parameters::GetFileName(2), "zwei.vsf") << own;
        EXPECT_EQ(Parameters::GetFileName(3), "") << own;
    }
}

TEST_F(ParametersTest, ExistingAbsolutePathsAreFileNames)
{
    // "/" begins switches and absolute paths alike: a path that exists is a
    // file name, anything else stays a switch.
    const std::string folder = std::filesystem::temp_directory_path().string();
    Use({"prog", "/S", folder, "/Bshow.vsf", "/nicht/da.vsf"}, true);
    EXPECT_TRUE(Parameters::Param('S'));
    EXPECT_EQ(Parameters::GetParamFileName('B'), "show.vsf");
    EXPECT_FALSE(Parameters::Param(folder[1]));
    EXPECT_TRUE(Parameters::Param('n'));
    EXPECT_EQ(Parameters::FileNameCount(), 1);
    EXPECT_EQ(Parameters::GetFileName(1), folder);
}

TEST_F(ParametersTest, OnlyTheProgram)
{
    Use({"prog"}, true);
    EXPECT_FALSE(Parameters::Params());
    EXPECT_EQ(Parameters::FileNameCount(), 0);
    EXPECT_FALSE(Parameters::Param('S'));
    EXPECT_EQ(Parameters::PParamStr(5), "");
}

TEST_F(ParametersTest, SwitchingOffFreesTheOwnList)
{
    Use({"prog", "'a", "b'"}, true);
    EXPECT_EQ(Parameters::FileNameCount(), 1);
    Parameters::UseOwnParameterParser(false);
    EXPECT_EQ(Parameters::FileNameCount(), 2);
    EXPECT_THROW(Parameters::AllParameters(), Exception);
}

} // namespace
