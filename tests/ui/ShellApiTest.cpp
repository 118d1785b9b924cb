#include "UiFixture.h"

#include <filesystem>
#include <map>
#include <optional>
#include <sys/stat.h>

#include "platform/ui/ShellApi.h"
#include "rtl/StorageTestSupport.h"

namespace fs = std::filesystem;

namespace {

// Sets an environment variable for the object's lifetime.
class EnvOverride {
public:
    EnvOverride(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~EnvOverride()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class ShellTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        ui::SetLauncherForTests([this](const ui::TLaunch& launch) {
            launches.push_back(launch);
            return launcherWorks;
        });
    }
    void TearDown() override
    {
        ui::SetLauncherForTests(nullptr);
        UiTest::TearDown();
    }

    std::string Make(const std::string& name, const std::string& bytes = "data", mode_t mode = 0644)
    {
        const std::string path = temp.File(name);
        fs::create_directories(fs::path(path).parent_path());
        WriteBytes(path, bytes);
        ::chmod(path.c_str(), mode);
        return path;
    }

    TempFolder temp;
    std::vector<ui::TLaunch> launches;
    bool launcherWorks = true;
};

using Args = std::vector<std::string>;

TEST(ShellApi, SplitParametersGroupsQuotedTextAndNothingElse)
{
    const struct {
        std::string text;
        Args args;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"a b", {"a", "b"}},
        {"\"C:\\Meine Bilder\\a.vsf\"", {"C:\\Meine Bilder\\a.vsf"}},
        {"/S \"/home/u/x y.vsf\"  z", {"/S", "/home/u/x y.vsf", "z"}},
        {"\"\"", {""}},
        {"a;rm -rf ~", {"a;rm", "-rf", "~"}},
        {"it's $HOME", {"it's", "$HOME"}},
        {"-b\"a b\"c", {"-ba bc"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ui::SplitParameters(c.text), c.args) << c.text;
}

TEST_F(ShellTest, ShellExecuteOpensDocumentsAndAddressesWithTheDesktopAndStartsProgramsDirectly)
{
    const std::string doc = Make("Bild 1.jpg");
    const std::string program = Make("bin/Rollavin", "#!/bin/sh\n", 0755);
    const struct {
        std::string operation, file, params, dir;
        intptr_t result;
        std::optional<ui::TLaunch> launch;
    } cases[] = {
        {"", "https://example.org/a?b=c", "", "", SE_STARTED,
         ui::TLaunch{{"xdg-open", "https://example.org/a?b=c"}, ""}},
        {"open", "mailto:someone@example.org", "", "", SE_STARTED,
         ui::TLaunch{{"xdg-open", "mailto:someone@example.org"}, ""}},
        {"open", doc, "ignored", "", SE_STARTED, ui::TLaunch{{"xdg-open", doc}, ""}},
        {"", "Bild 1.jpg", "", temp.Path().string(), SE_STARTED, ui::TLaunch{{"xdg-open", doc}, ""}},
        {"open", program, "\"/x/Meine Show.vsf\" ;reboot", temp.File("bin"), SE_STARTED,
         ui::TLaunch{{program, "/x/Meine Show.vsf", ";reboot"}, temp.File("bin")}},
        {"explore", temp.File("bin"), "", "", SE_STARTED, ui::TLaunch{{"xdg-open", temp.File("bin")}, ""}},
        {"", temp.File("missing.jpg"), "", "", SE_ERR_FNF, std::nullopt},
        {"", temp.File("nofolder/missing.jpg"), "", "", SE_ERR_PNF, std::nullopt},
        {"", "", "", "", SE_ERR_FNF, std::nullopt},
        {"print", doc, "", "", SE_ERR_NOASSOC, std::nullopt},
    };
    for (const auto& c : cases) {
        launches.clear();
        EXPECT_EQ(ui::ShellExecute(nullptr, c.operation, c.file, c.params, c.dir, SW_SHOWNORMAL), c.result) << c.file;
        if (c.launch) {
            ASSERT_EQ(launches.size(), 1u) << c.file;
            EXPECT_EQ(launches[0].Arguments, c.launch->Arguments) << c.file;
            EXPECT_EQ(launches[0].WorkingDir, c.launch->WorkingDir) << c.file;
        } else {
            EXPECT_TRUE(launches.empty()) << c.file;
        }
    }
}

TEST_F(ShellTest, ShellExecuteReportsAStartThatFailed)
{
    launcherWorks = false;
    EXPECT_LE(ui::ShellExecute(nullptr, "open", Make("a.txt"), "", "", SW_SHOWNORMAL), 32);
}

TEST_F(ShellTest, SpecialFoldersFollowTheUsersXdgFolders)
{
    EnvOverride config("XDG_CONFIG_HOME", temp.File("config"));
    EnvOverride data("XDG_DATA_HOME", temp.File("data"));
    const struct {
        int folder;
        std::string path;
    } cases[] = {
        {CSIDL_STARTUP, temp.File("config/autostart")},
        {CSIDL_APPDATA, temp.File("config")},
        {CSIDL_PROGRAMS, temp.File("data/applications")},
        {CSIDL_LOCAL_APPDATA, temp.File("data")},
    };
    for (const auto& c : cases) {
        std::string path = "unchanged";
        ASSERT_TRUE(ui::SHGetSpecialFolderPath(nullptr, path, c.folder, true)) << c.folder;
        EXPECT_EQ(path, c.path);
        EXPECT_TRUE(fs::is_directory(path)) << path;
    }
    for (int none : {CSIDL_NETWORK, CSIDL_DRIVES, 0x7777}) {
        std::string path = "unchanged";
        EXPECT_FALSE(ui::SHGetSpecialFolderPath(nullptr, path, none, false));
        EXPECT_EQ(path, "unchanged");
    }
}

// --- desktop entries, read back the way a desktop reads them ---

std::map<std::string, std::string> ReadDesktopEntry(const std::string& file)
{
    std::map<std::string, std::string> keys;
    std::istringstream in(ReadBytes(file));
    std::string line;
    while (std::getline(in, line)) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string value;
        for (size_t i = eq + 1; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                const char e = line[++i];
                value += e == 's' ? ' ' : e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
            } else {
                value += line[i];
            }
        }
        keys[line.substr(0, eq)] = value;
    }
    return keys;
}

Args SplitExecLine(const std::string& exec)
{
    Args args;
    std::string current;
    bool quoted = false, inArg = false;
    for (size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted && c == '\\' && i + 1 < exec.size()) {
            current += exec[++i];
        } else if (c == '"') {
            quoted = !quoted;
            inArg = true;
        } else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
            current += '%';
            ++i;
            inArg = true;
        } else if (c == ' ' && !quoted) {
            if (inArg)
                args.push_back(current);
            current.clear();
            inArg = false;
        } else {
            current += c;
            inArg = true;
        }
    }
    if (inArg)
        args.push_back(current);
    return args;
}

TEST_F(ShellTest, ShellLinksBecomeDesktopEntriesThatStartTheTargetWithItsArgumentsIntact)
{
    const std::string program = Make("bin/Vistelo Editor", "#!/bin/sh\n", 0755);
    const std::string show = Make("Meine Show $1 100%.vsf");
    const struct {
        std::string linkName;
        ui::TShellLink link;
        Args exec;
    } cases[] = {
        {"Vistelo - Hintergrundbild wechseln.lnk",
         {program, "-b\"" + show + "\"", "Vistelo", "", ""},
         {program, "-b" + show}},
        {"Plain.lnk", {program, "\"a b\" c\\d $x `y`", "", "/tmp", "icon.png"}, {program, "a b", "c\\d", "$x", "`y`"}},
        {"Dokument.lnk", {show, "ignored", "", "", ""}, {"xdg-open", show}},
    };
    for (const auto& c : cases) {
        const std::string link = temp.File(c.linkName);
        ASSERT_TRUE(ui::CreateShellLink(c.link, link)) << c.linkName;
        const std::string file = ui::DesktopEntryFileName(link);
        EXPECT_EQ(fs::path(file).extension(), ".desktop");
        auto keys = ReadDesktopEntry(file);
        EXPECT_EQ(keys["Type"], "Application");
        EXPECT_EQ(keys["Name"], fs::path(c.linkName).stem().string());
        EXPECT_EQ(SplitExecLine(keys["Exec"]), c.exec) << keys["Exec"];
        EXPECT_EQ(keys["Comment"], c.link.Description);
        EXPECT_EQ(keys["Path"], c.link.WorkingDir);
        struct stat st { };
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_TRUE(st.st_mode & S_IXUSR);
    }
}

TEST_F(ShellTest, ShellLinkRefusesWhatAnExecLineCannotHold)
{
    const std::string program = Make("prog", "#!/bin/sh\n", 0755);
    EXPECT_FALSE(ui::CreateShellLink({program, "\"a\nb\"", "", "", ""}, temp.File("x.lnk")));
    EXPECT_FALSE(ui::CreateShellLink({"", "", "", "", ""}, temp.File("y.lnk")));
    EXPECT_FALSE(fs::exists(temp.File("x.desktop")));
    EXPECT_FALSE(ui::CreateShellLink({program, "", "", "", ""}, temp.File("nofolder/z.lnk")));
}

TEST_F(ShellTest, MoveToTrashFollowsTheTrashLayoutOfTheDesktop)
{
    EnvOverride data("XDG_DATA_HOME", temp.File("data"));
    const std::string file = Make("work/Bild.jpg", "pixels");
    std::string trashed;
    ASSERT_TRUE(ui::MoveToTrash(file, &trashed));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(ReadBytes(trashed), "pixels");
    const std::string info = ReadBytes(
        temp.File("data/Trash/info/" + fs::path(trashed).filename().string() + ".trashinfo"));
    EXPECT_NE(info.find("Path=" + file), std::string::npos) << info;
    EXPECT_NE(info.find("DeletionDate="), std::string::npos);
    EXPECT_FALSE(ui::MoveToTrash(temp.File("work/missing")));
}

// --- file operations ---

struct Recorder {
    std::vector<ui::TFileOpProgress> steps;
    ui::TFileOpProgressEvent Event()
    {
        return [this](const ui::TFileOpProgress& p) {
            steps.push_back(p);
            return true;
        };
    }
};

TEST_F(ShellTest, CopyIntoAFolderReportsProgressUpToTheTotal)
{
    const std::string a = Make("src/a.bin", std::string(200000, 'a'));
    const std::string b = Make("src/sub/b.bin", std::string(1000, 'b'));
    fs::create_directories(temp.File("dest"));
    Recorder progress;
    ui::SHFILEOPSTRUCT op;
    op.Func = FO_COPY;
    op.From = {a, temp.File("src/sub")};
    op.To = {temp.File("dest")};
    op.OnProgress = progress.Event();
    EXPECT_EQ(ui::SHFileOperation(op), 0);
    EXPECT_EQ(ReadBytes(temp.File("dest/a.bin")), std::string(200000, 'a'));
    EXPECT_EQ(ReadBytes(temp.File("dest/sub/b.bin")), std::string(1000, 'b'));
    EXPECT_TRUE(fs::exists(a));
    ASSERT_FALSE(progress.steps.empty());
    EXPECT_EQ(progress.steps.back().Total, 201000);
    EXPECT_EQ(progress.steps.back().Done, 201000);
    EXPECT_FALSE(op.AnyOperationsAborted);
}

TEST_F(ShellTest, ExistingTargetsAreReplacedOnlyWhenTheUserAgrees)
{
    const struct {
        const char* name;
        UINT flags;
        std::vector<int> answers;
        int result;
        std::string target; // content afterwards
        bool aborted;
        std::string extra; // file made beside the target
    } cases[] = {
        {"yes", 0, {mrYes}, 0, "new", false, ""},
        {"no", 0, {mrNo}, 0, "old", true, ""},
        {"cancel", 0, {mrCancel}, ERROR_CANCELLED, "old", true, ""},
        {"no confirmation", FOF_NOCONFIRMATION, {}, 0, "new", false, ""},
        {"rename on collision", FOF_RENAMEONCOLLISION, {}, 0, "old", false, "Kopie von t.txt"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const std::string source = folder.File("s/t.txt");
        fs::create_directories(folder.File("s"));
        fs::create_directories(folder.File("d"));
        WriteBytes(source, "new");
        WriteBytes(folder.File("d/t.txt"), "old");
        ui::ClearRecordedDialogs();
        for (int answer : c.answers)
            ui::ScriptAnswer(answer);
        ui::SHFILEOPSTRUCT op;
        op.From = {source};
        op.To = {folder.File("d")};
        op.Flags = c.flags | FOF_SILENT;
        EXPECT_EQ(ui::SHFileOperation(op), c.result) << c.name;
        EXPECT_EQ(ReadBytes(folder.File("d/t.txt")), c.target) << c.name;
        EXPECT_EQ(op.AnyOperationsAborted, c.aborted) << c.name;
        EXPECT_EQ(ui::RecordedDialogs().size(), c.answers.size()) << c.name;
        if (!c.extra.empty()) {
            EXPECT_EQ(ReadBytes(folder.File("d/" + c.extra)), "new") << c.name;
        }
        EXPECT_EQ(ReadBytes(source), "new") << c.name;
        EXPECT_EQ(ui::ScriptedAnswersLeft(), 0) << c.name;
    }
}

TEST_F(ShellTest, YesToAllReplacesTheRestWithoutAsking)
{
    Make("s/1.txt", "n1");
    Make("s/2.txt", "n2");
    Make("d/1.txt", "o1");
    Make("d/2.txt", "o2");
    ui::ScriptAnswer(mrYesToAll);
    ui::SHFILEOPSTRUCT op;
    op.From = {temp.File("s/*.txt")};
    op.To = {temp.File("d")};
    op.Flags = FOF_SILENT;
    EXPECT_EQ(ui::SHFileOperation(op), 0);
    EXPECT_EQ(ReadBytes(temp.File("d/1.txt")), "n1");
    EXPECT_EQ(ReadBytes(temp.File("d/2.txt")), "n2");
    EXPECT_EQ(ui::RecordedDialogs().size(), 1u);
}

TEST_F(ShellTest, WildcardsMatchTheLastPartAndFilesOnlySkipsFolders)
{
    Make("s/a.jpg");
    Make("s/b.JPG");
    Make("s/c.png");
    Make("s/d.jpg/inner.txt");
    Make("s/.hidden.jpg");
    fs::create_directories(temp.File("d"));
    ui::SHFILEOPSTRUCT op;
    op.From = {temp.File("s/*.jpg")};
    op.To = {temp.File("d")};
    op.Flags = FOF_SILENT | FOF_FILESONLY;
    EXPECT_EQ(ui::SHFileOperation(op), 0);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(temp.File("d")))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, Args{"a.jpg"});
}

TEST_F(ShellTest, FailuresAreReportedAndLeaveTheFilesAlone)
{
    const std::string a = Make("a.txt");
    fs::create_directories(temp.File("folder/inner"));
    const struct {
        const char* name;
        UINT func;
        Args from, to;
        UINT flags;
        int result;
    } cases[] = {
        {"missing source", FO_COPY, {temp.File("none.txt")}, {temp.File("folder")}, 0, ERROR_FILE_NOT_FOUND},
        {"no destination", FO_COPY, {a}, {}, 0, ERROR_INVALID_PARAMETER},
        {"folder into itself", FO_COPY, {temp.File("folder")}, {temp.File("folder/inner")}, 0, ERROR_INVALID_PARAMETER},
        {"move onto itself", FO_MOVE, {a}, {a}, 0, ERROR_INVALID_PARAMETER},
        {"count of destinations",
         FO_COPY,
         {a, temp.File("folder")},
         {temp.File("x")},
         FOF_MULTIDESTFILES,
         ERROR_INVALID_PARAMETER},
        {"rename onto existing", FO_RENAME, {temp.File("folder")}, {"a.txt"}, 0, ERROR_ALREADY_EXISTS},
        {"unknown function", 9, {a}, {temp.File("b")}, 0, ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        for (bool quiet : {false, true}) {
            ui::ClearRecordedDialogs();
            ui::SHFILEOPSTRUCT op;
            op.Func = c.func;
            op.From = c.from;
            op.To = c.to;
            op.Flags = c.flags | FOF_SILENT | FOF_NOCONFIRMATION | (quiet ? FOF_NOERRORUI : 0);
            EXPECT_EQ(ui::SHFileOperation(op), c.result) << c.name;
            const bool shown = !ui::RecordedDialogs().empty();
            EXPECT_EQ(shown, !quiet && c.func <= FO_RENAME) << c.name;
        }
        EXPECT_EQ(ReadBytes(a), "data") << c.name;
        EXPECT_TRUE(fs::is_directory(temp.File("folder/inner"))) << c.name;
    }
}

TEST_F(ShellTest, RenameTakesAPlainNameInTheSourceFolder)
{
    const std::string a = Make("f/a.txt", "x");
    ui::SHFILEOPSTRUCT op;
    op.Func = FO_RENAME;
    op.From = {a};
    op.To = {"b.txt"};
    op.Flags = FOF_SILENT;
    EXPECT_EQ(ui::SHFileOperation(op), 0);
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(ReadBytes(temp.File("f/b.txt")), "x");
}

TEST_F(ShellTest, MoveMergesIntoAnExistingFolder)
{
    Make("s/pics/1.jpg", "1");
    Make("s/pics/deep/2.jpg", "2");
    Make("d/pics/0.jpg", "0");
    ui::SHFILEOPSTRUCT op;
    op.Func = FO_MOVE;
    op.From = {temp.File("s/pics")};
    op.To = {temp.File("d")};
    op.Flags = FOF_SILENT;
    EXPECT_EQ(ui::SHFileOperation(op), 0);
    EXPECT_EQ(ReadBytes(temp.File("d/pics/0.jpg")), "0");
    EXPECT_EQ(ReadBytes(temp.File("d/pics/1.jpg")), "1");
    EXPECT_EQ(ReadBytes(temp.File("d/pics/deep/2.jpg")), "2");
    EXPECT_FALSE(fs::exists(temp.File("s/pics")));
}

TEST_F(ShellTest, ACopyThatFailsKeepsTheOldTargetAndLeavesNoPartialFile)
{
    const std::string source = Make("big.bin", std::string(300000, 'x'));
    const std::string target = Make("d/big.bin", "old");
    const int code = RunWithFileSizeLimit(100000, [&] {
        ui::SHFILEOPSTRUCT op;
        op.From = {source};
        op.To = {temp.File("d")};
        op.Flags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
        op.OnProgress = [](const ui::TFileOpProgress&) { return true; };
        return ui::SHFileOperation(op) == ERROR_ACCESS_DENIED ? 0 : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.File("d")), fs::directory_iterator()), 1);
}

TEST_F(ShellTest, AMoveToAnotherFileSystemThatFailsKeepsTheSource)
{
    struct stat tmpStat {
    }, shmStat{};
    if (::stat(temp.Path().c_str(), &tmpStat) != 0 || ::stat("/dev/shm", &shmStat) != 0 ||
        tmpStat.st_dev == shmStat.st_dev)
        GTEST_SKIP() << "needs /dev/shm on another file system";
    TempFolder other;
    const std::string source = Make("big.bin", std::string(300000, 'x'));
    char pattern[] = "/dev/shm/vistelo-move-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string dest = pattern;
    const int code = RunWithFileSizeLimit(100000, [&] {
        ui::SHFILEOPSTRUCT op;
        op.Func = FO_MOVE;
        op.From = {source};
        op.To = {dest};
        op.Flags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
        op.OnProgress = [](const ui::TFileOpProgress&) { return true; };
        return ui::SHFileOperation(op) != 0 ? 0 : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadBytes(source), std::string(300000, 'x'));
    EXPECT_TRUE(fs::is_empty(dest));
    ui::SHFILEOPSTRUCT op;
    op.Func = FO_MOVE;
    op.From = {source};
    op.To = {dest};
    op.Flags = FOF_SILENT;
    EXPECT_EQ(ui::SHFileOperation(op), 0);
    EXPECT_FALSE(fs::exists(source));
    EXPECT_EQ(ReadBytes(dest + "/big.bin"), std::string(300000, 'x'));
    fs::remove_all(dest);
}

TEST_F(ShellTest, ProgressCanStopACopy)
{
    const std::string source = Make("big.bin", std::string(300000, 'x'));
    ui::SHFILEOPSTRUCT op;
    op.From = {source};
    op.To = {temp.File("copy.bin")};
    op.OnProgress = [](const ui::TFileOpProgress& p) { return p.Done < 100000; };
    EXPECT_EQ(ui::SHFileOperation(op), ERROR_CANCELLED);
    EXPECT_TRUE(op.AnyOperationsAborted);
    EXPECT_FALSE(fs::exists(temp.File("copy.bin")));
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 1);
}

TEST_F(ShellTest, DeleteAsksFirstAndGoesToTheTrashWhenUndoIsAllowed)
{
    EnvOverride data("XDG_DATA_HOME", temp.File("data"));
    const struct {
        const char* name;
        UINT flags;
        int answer;
        int result;
        bool gone, inTrash;
    } cases[] = {
        {"declined", FOF_ALLOWUNDO, mrNo, ERROR_CANCELLED, false, false},
        {"to trash", FOF_ALLOWUNDO, mrYes, 0, true, true},
        {"for good", 0, mrYes, 0, true, false},
    };
    for (const auto& c : cases) {
        fs::remove_all(temp.File("data"));
        const std::string victim = Make("del/x.txt");
        Make("del/keep.txt");
        ui::ClearRecordedDialogs();
        ui::ScriptAnswer(c.answer);
        ui::SHFILEOPSTRUCT op;
        op.Func = FO_DELETE;
        op.From = {victim};
        op.Flags = c.flags | FOF_SILENT;
        EXPECT_EQ(ui::SHFileOperation(op), c.result) << c.name;
        EXPECT_EQ(!fs::exists(victim), c.gone) << c.name;
        EXPECT_EQ(fs::exists(temp.File("data/Trash/files/x.txt")), c.inTrash) << c.name;
        EXPECT_TRUE(fs::exists(temp.File("del/keep.txt"))) << c.name;
        ASSERT_EQ(ui::RecordedDialogs().size(), 1u) << c.name;
        EXPECT_NE(ui::RecordedDialogs()[0].Request.Text.find("x.txt"), std::string::npos);
    }
}

} // namespace
