// Autostart entries: the quoting of the Exec line and the file written.

#include "platform/ui/Autostart.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

TEST(AutostartTest, ExecArgumentsAreQuotedWhereTheyMustBe)
{
    struct Case {
        const char* Arg;
        const char* Expected;
    } cases[] = {
        {"/usr/bin/wallpaper", "/usr/bin/wallpaper"},
        {"/home/anna/Mein Programm", "\"/home/anna/Mein Programm\""},
        {"-b'/home/anna/Urlaub.vsf'", "\"-b'/home/anna/Urlaub.vsf'\""},
        {"/a/$HOME`x`\\\"", "\"/a/\\$HOME\\`x\\`\\\\\\\"\""},
        {"100%", "\"100%%\""},
        {"", "\"\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::ExecArgument(c.Arg), c.Expected) << c.Arg;
}

TEST(AutostartTest, TheEntryIsWrittenIntoTheAutostartFolder)
{
    const fs::path folder = fs::temp_directory_path() / ("autostart_" + std::to_string(::getpid()));
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    EXPECT_EQ(ui::AutostartFolder(), folder.string() + "/autostart/");
    const ui::TAutostartEntry entry{"Vistelo", "Vistelo", {"/opt/v i/Vistelo", "-b'/home/a\\b.vsf'"}};
    ASSERT_TRUE(ui::CreateAutostartEntry("Vistelo - Hintergrundbild wechseln.desktop", entry));
    std::ifstream in(folder / "autostart" / "Vistelo - Hintergrundbild wechseln.desktop");
    std::stringstream text;
    text << in.rdbuf();
    // The string value escapes the Exec line's backslashes once more.
    EXPECT_EQ(text.str(),
              "[Desktop Entry]\nType=Application\nName=Vistelo\nComment=Vistelo\n"
              "Exec=\"/opt/v i/Vistelo\" \"-b'/home/a\\\\\\\\b.vsf'\"\n");
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") == 0) {
        const std::string check = "desktop-file-validate '" +
            (folder / "autostart" / "Vistelo - Hintergrundbild wechseln.desktop").string() + "'";
        EXPECT_EQ(std::system(check.c_str()), 0);
    }
    EXPECT_FALSE(ui::CreateAutostartEntry("x.desktop", {"x", "x", {}})) << "no program";
    if (old)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
    fs::remove_all(folder);
}

} // namespace
