// The show model: picture entries, play order, navigation, copying, sorting
// and thumbnails.

#include "core/VisteloNPics.h"

#include "ShowFileBytes.h"
#include "core/Setup.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/WinPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

using ShowFileBytes::SmallJpeg;

namespace {

std::unique_ptr<TPicInfoObject> EntryNamed(const std::string& fileName)
{
    auto entry = std::make_unique<TPicInfoObject>();
    entry->FileName = fileName;
    return entry;
}

void AddEntries(TVistelo& show, std::initializer_list<const char*> fileNames)
{
    for (const char* name : fileNames)
        show.AddDia(*EntryNamed(name));
}

std::vector<std::string> FileNames(const TVistelo& show)
{
    std::vector<std::string> names;
    for (std::int32_t i = 0; i < show.Count; ++i)
        names.push_back(show.GetPicInfo(i)->FileName);
    return names;
}

bool IsPermutation(const std::vector<std::int32_t>& order)
{
    std::vector<std::int32_t> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < sorted.size(); ++i)
        if (sorted[i] != static_cast<std::int32_t>(i))
            return false;
    return true;
}

TEST(VisteloNPicsTest, NewEntriesTakeTheSharedDefaultsOfTheMoment)
{
    const TPicInfoObject standard;
    EXPECT_TRUE(standard.ShowImage);
    EXPECT_EQ(standard.CommentAlignment, caLeft);
    EXPECT_EQ(standard.CommentPlacement, cpPictureBottom);
    EXPECT_EQ(standard.CommentUserPlacement, (TPlacementRectExt{0, 0, 1, 1}));
    EXPECT_EQ(standard.CommentEffects, ceBorder);
    ASSERT_TRUE(standard.CommentFont);
    EXPECT_EQ(standard.CommentFont->Name(), "Arial");
    EXPECT_EQ(standard.CommentFont->Size(), 14);
    EXPECT_EQ(standard.CommentFont->Color(), clWhite);
    EXPECT_EQ(standard.Pause, -1);
    EXPECT_EQ(standard.Blending, 1);
    EXPECT_EQ(standard.DateSum, -1);
    EXPECT_EQ(standard.SynchronizeWithSound, ssSync);
    EXPECT_EQ(standard.PicPlacement, (TPlacementRectExt{0, 0, 1, 1}));

    Setup::stdStretch = false;
    Setup::stdShowImage = false;
    Setup::stdBackgroundColor = clRed;
    const TPicInfoObject changed;
    Setup::stdStretch = true;
    Setup::stdShowImage = true;
    Setup::stdBackgroundColor = 0;
    EXPECT_FALSE(changed.Stretch);
    EXPECT_FALSE(changed.ShowImage);
    EXPECT_EQ(changed.BackgroundColor, clRed);
    EXPECT_TRUE(TPicInfoObject().Stretch);
}

TEST(VisteloNPicsTest, EntryAssignCopiesDeeplyInBothDirections)
{
    TPicInfoObject source;
    source.FileName = "a.jpg";
    source.Comments = "Hallo";
    source.CommentFont->SetName("Courier New");
    source.CommentUserPlacement = {0.1, 0.2, 0.3, 0.4};
    source.Thumbnail.SetThumbnail(SmallJpeg(4, 3));
    source.DateSum = 99;
    source.Flags = 3;
    source.Sound = "s.wav";
    source.RepeatSound = true;

    TPicInfoObject copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.Comments, "Hallo");
    EXPECT_EQ(copy.CommentUserPlacement, source.CommentUserPlacement);
    EXPECT_EQ(copy.DateSum, 99);
    EXPECT_EQ(copy.Flags, 3u);
    EXPECT_EQ(copy.Sound, "s.wav");
    EXPECT_TRUE(copy.RepeatSound);
    ASSERT_NE(copy.CommentFont, nullptr);
    EXPECT_NE(copy.CommentFont.get(), source.CommentFont.get());
    EXPECT_EQ(copy.CommentFont->Name(), "Courier New");
    ASSERT_NE(copy.Thumbnail.GetThumbnail(), nullptr);
    EXPECT_NE(copy.Thumbnail.GetThumbnail(), source.Thumbnail.GetThumbnail());
    EXPECT_EQ(copy.Thumbnail.GetThumbnail()->Data(), source.Thumbnail.GetThumbnail()->Data());

    // Changing the copy leaves the source alone.
    copy.CommentFont->SetName("Verdana");
    copy.Thumbnail.SetThumbnail(SmallJpeg(8, 8));
    EXPECT_EQ(source.CommentFont->Name(), "Courier New");
    EXPECT_EQ(source.Thumbnail.GetThumbnail()->Width(), 4);

    // An entry without thumbnail or font takes both away from the target.
    TPicInfoObject bare;
    bare.CommentFont.reset();
    copy.Assign(&bare);
    EXPECT_EQ(copy.Thumbnail.GetThumbnail(), nullptr);
    EXPECT_FALSE(copy.CommentFont);
    copy.Assign(&source);
    EXPECT_TRUE(copy.CommentFont);
    EXPECT_NE(copy.Thumbnail.GetThumbnail(), nullptr);

    TVistelo notAnEntry;
    EXPECT_THROW(copy.Assign(&notAnEntry), EConvertError);
}

TEST(VisteloNPicsTest, NavigationWrapsAround)
{
    TVistelo show;
    AddEntries(show, {"a", "b", "c"});
    show.CurrentIndex = 2;
    EXPECT_FALSE(show.Next());
    EXPECT_EQ(show.CurrentIndex, 0);
    EXPECT_TRUE(show.Next());
    EXPECT_EQ(show.CurrentIndex, 1);
    show.CurrentIndex = 0;
    EXPECT_FALSE(show.Prev());
    EXPECT_EQ(show.CurrentIndex, 2);
    EXPECT_TRUE(show.Prev());
    EXPECT_EQ(show.Dia()->FileName, "b");

    EXPECT_EQ(show.NextNr(2), 0);
    EXPECT_EQ(show.NextNr(0), 1);
    EXPECT_EQ(TVistelo().NextNr(0), 0);
    EXPECT_EQ(TVistelo().NextNr(5), 0);
}

TEST(VisteloNPicsTest, PositionsOutsideTheShowGiveNothing)
{
    TVistelo show;
    AddEntries(show, {"a", "b"});
    EXPECT_EQ(show.GetOrder(2), -1);
    EXPECT_EQ(show.GetOrder(-1), -1);
    EXPECT_EQ(show.GetPicInfo(2), nullptr);
    EXPECT_EQ(show.GetPicInfo(-1), nullptr);
    show.CurrentIndex = -1;
    EXPECT_EQ(show.Dia(), nullptr);
    show.SetOrder(5, 1);
    show.SetOrder(-1, 1);
    EXPECT_EQ(show.Order, (std::vector<std::int32_t>{0, 1}));
    show.SetOrder(0, 1);
    EXPECT_EQ(show.GetOrder(0), 1);

    TVistelo empty;
    EXPECT_EQ(empty.Dia(), nullptr);
    EXPECT_FALSE(empty.Next());
    EXPECT_EQ(empty.CurrentIndex, 0);
    EXPECT_EQ(empty.Dia(), nullptr);
    EXPECT_FALSE(empty.Prev());
    EXPECT_EQ(empty.CurrentIndex, -1);
    EXPECT_EQ(empty.SetPicInfo(-1, TPicInfoObject()), nullptr);
    EXPECT_EQ(empty.Count, 0);
}

TEST(VisteloNPicsTest, SetPicInfoGrowsWithDefaultEntries)
{
    TVistelo show;
    TPicInfoObject entry;
    entry.FileName = "e.jpg";
    entry.Pause = 1234;
    TPicInfoObject* stored = show.SetPicInfo(5, entry);
    ASSERT_EQ(show.Count, 6);
    ASSERT_EQ(show.Pictures.size(), 6u);
    EXPECT_EQ(show.Order, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(stored, show.GetPicInfo(5));
    EXPECT_NE(stored, &entry); // a copy; the caller keeps its own
    EXPECT_EQ(stored->FileName, "e.jpg");
    EXPECT_EQ(stored->Pause, 1234);
    for (std::int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(show.GetPicInfo(i)->FileName, "") << i;
        EXPECT_EQ(show.GetPicInfo(i)->Pause, -1) << i;
    }
    EXPECT_EQ(show.AddDia(entry), 6);
    EXPECT_EQ(show.Count, 7);
}

TEST(VisteloNPicsTest, ARandomShowIsReshuffledOnEveryGrowth)
{
    rtl::SetRandomSeed(7);
    TVistelo show;
    show.SetRandomOrder(true);
    std::vector<std::int32_t> previous;
    int reshuffled = 0;
    for (int n = 1; n <= 12; ++n) {
        show.AddDia(*EntryNamed(std::to_string(n)));
        ASSERT_EQ(show.Order.size(), static_cast<size_t>(n));
        EXPECT_TRUE(IsPermutation(show.Order)) << n;
        // Growing by appending would keep the earlier positions.
        if (!std::equal(previous.begin(), previous.end(), show.Order.begin()))
            ++reshuffled;
        previous = show.Order;
    }
    EXPECT_GE(reshuffled, 9);

    // Every shuffle is uniform: each index reaches the first position.
    std::vector<int> firsts(show.Count, 0);
    for (int i = 0; i < 600; ++i) {
        show.SetRandomOrder(true);
        ++firsts[static_cast<size_t>(show.Order[0])];
    }
    for (int hits : firsts)
        EXPECT_GT(hits, 20);

    show.SetRandomOrder(false);
    std::vector<std::int32_t> identity(12);
    std::iota(identity.begin(), identity.end(), 0);
    EXPECT_EQ(show.Order, identity);
}

TEST(VisteloNPicsTest, SortingByNameAndExtension)
{
    TVistelo byName;
    AddEntries(byName, {"x\\b.jpg", "C:\\y\\A.jpg", "/z/c.JPG"});
    byName.Sort(TVistelo::CompareNameUp);
    EXPECT_EQ(FileNames(byName), (std::vector<std::string>{"C:\\y\\A.jpg", "x\\b.jpg", "/z/c.JPG"}));
    byName.Sort(TVistelo::CompareNameDown);
    EXPECT_EQ(FileNames(byName), (std::vector<std::string>{"/z/c.JPG", "x\\b.jpg", "C:\\y\\A.jpg"}));

    TVistelo byExtension;
    AddEntries(byExtension, {"d/b.png", "e/c.jpg", "f/a.PNG", "a.bmp"});
    byExtension.Sort(TVistelo::CompareExtUp);
    EXPECT_EQ(FileNames(byExtension), (std::vector<std::string>{"a.bmp", "e/c.jpg", "f/a.PNG", "d/b.png"}));
    byExtension.Sort(TVistelo::CompareExtDown);
    EXPECT_EQ(FileNames(byExtension), (std::vector<std::string>{"d/b.png", "f/a.PNG", "e/c.jpg", "a.bmp"}));
    // The order array is not touched by sorting.
    EXPECT_EQ(byExtension.Order, (std::vector<std::int32_t>{0, 1, 2, 3}));
}

TEST(VisteloNPicsTest, CompareTextFoldsOnlyPlainLetters)
{
    const struct Case {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"abc", "ABC", 0},
        {"a", "B", -1},
        {"Zebra", "apfel", 1},
        {"ab", "abc", -1},
        {"_", "a", 1},           // folded to upper case: '_' (0x5F) after 'A' (0x41)
        {"\u00E4", "\u00C4", 1}, // ä and Ä are not folded
        {"", "", 0},
    };
    for (const Case& c : cases) {
        const int result = VisteloNPics::CompareText(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " / " << c.b;
    }
    EXPECT_EQ(VisteloNPics::CompareText("a", "c"), -2);
}

TEST(VisteloNPicsTest, ClearKeepsTheSettingsAndClearConfigKeepsTheEntries)
{
    TVistelo show;
    AddEntries(show, {"a", "b"});
    show.Pause = 1;
    show.CurrentIndex = 1;
    show.InfoTitle = "T";
    show.StringLists = std::make_unique<TStringList>();
    show.InfoPicture = SmallJpeg(2, 2);
    show.HasThumbnails = true;
    show.ClearConfig();
    EXPECT_EQ(show.Count, 2);
    EXPECT_EQ(show.Pause, Setup::stdPause);
    EXPECT_EQ(show.InfoTitle, "");
    EXPECT_FALSE(show.StringLists);
    EXPECT_FALSE(show.InfoPicture);
    EXPECT_FALSE(show.HasThumbnails);
    show.Pause = 1;
    show.Clear();
    EXPECT_EQ(show.Count, 0);
    EXPECT_TRUE(show.Order.empty());
    EXPECT_EQ(show.CurrentIndex, -1);
    EXPECT_EQ(show.Pause, 1);
}

std::unique_ptr<TStringList> NamedLists(const std::string& name, const std::string& line)
{
    auto lists = std::make_unique<TStringList>();
    lists->OwnsObjects = true;
    auto lines = std::make_unique<TStringList>();
    lines->Add(line);
    lists->AddObject(name, lines.release());
    return lists;
}

TEST(VisteloNPicsTest, AssignConfigCopiesTheSettingsAndTheNamedLists)
{
    TVistelo source;
    AddEntries(source, {"a"});
    source.Pause = 1111;
    source.ShowPleaseWait = false;
    source.EndAction = deExitImmediately;
    source.LogoPause = 2;
    source.ReferenceWidth = 640;
    source.AboutText = "about";
    source.InfoValue = 7;
    source.InfoPicture = SmallJpeg(3, 2);
    source.HasThumbnails = true;
    source.StringLists = NamedLists("Farben", "rot");

    {
        // Only the other show has lists.
        TVistelo target;
        target.AssignConfig(source);
        EXPECT_EQ(target.Count, 0);
        EXPECT_EQ(target.Pause, 1111);
        EXPECT_FALSE(target.ShowPleaseWait);
        EXPECT_EQ(target.EndAction, deExitImmediately);
        EXPECT_EQ(target.LogoPause, 2);
        EXPECT_EQ(target.ReferenceWidth, 640);
        EXPECT_EQ(target.AboutText, "about");
        EXPECT_EQ(target.InfoValue, 7);
        EXPECT_FALSE(target.HasThumbnails);
        ASSERT_TRUE(target.InfoPicture);
        EXPECT_NE(target.InfoPicture.get(), source.InfoPicture.get());
        EXPECT_EQ(target.InfoPicture->Data(), source.InfoPicture->Data());
        ASSERT_TRUE(target.StringLists);
        EXPECT_EQ(target.StringLists->Strings(0), "Farben");
        EXPECT_EQ(VisteloNPics::NamedStringList(*target.StringLists, 0)->Strings(0), "rot");
        // Each show owns its lists: destroying both frees each once (ASan).
        EXPECT_NE(VisteloNPics::NamedStringList(*target.StringLists, 0),
                  VisteloNPics::NamedStringList(*source.StringLists, 0));
    }
    {
        // Both have lists: the other's replace this one's.
        TVistelo target;
        target.StringLists = NamedLists("Alt", "x");
        target.AssignConfig(source);
        ASSERT_EQ(target.StringLists->Count(), 1);
        EXPECT_EQ(target.StringLists->Strings(0), "Farben");
    }
    {
        // Only this one has lists: it keeps them; the info picture goes.
        TVistelo target;
        target.StringLists = NamedLists("Eigene", "y");
        target.InfoPicture = SmallJpeg(2, 2);
        target.AssignConfig(TVistelo());
        ASSERT_TRUE(target.StringLists);
        EXPECT_EQ(target.StringLists->Strings(0), "Eigene");
        EXPECT_FALSE(target.InfoPicture);
    }
}

TEST(VisteloNPicsTest, AssignCopiesSettingsAndEntriesDeeply)
{
    TVistelo source;
    AddEntries(source, {"a", "b", "c"});
    source.Pause = 4321;
    source.GetPicInfo(1)->Thumbnail.SetThumbnail(SmallJpeg(5, 5));
    source.GetPicInfo(2)->CommentFont->SetSize(30);

    TVistelo copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.Pause, 4321);
    EXPECT_EQ(FileNames(copy), FileNames(source));
    EXPECT_EQ(copy.Order, (std::vector<std::int32_t>{0, 1, 2}));
    copy.GetPicInfo(2)->CommentFont->SetSize(8);
    copy.GetPicInfo(1)->Thumbnail.SetThumbnail(nullptr);
    copy.GetPicInfo(0)->FileName = "changed";
    EXPECT_EQ(source.GetPicInfo(2)->CommentFont->Size(), 30);
    EXPECT_NE(source.GetPicInfo(1)->Thumbnail.GetThumbnail(), nullptr);
    EXPECT_EQ(source.GetPicInfo(0)->FileName, "a");

    // Entries are appended to those already there.
    copy.Assign(&source);
    EXPECT_EQ(copy.Count, 6);

    TPicInfoObject notAShow;
    EXPECT_THROW(copy.Assign(&notAShow), EConvertError);
}

// CreateThumbNail with a stand-in for the picture loader.
class ThumbnailTest : public ContainerBytes::ScratchFolder {
protected:
    void SetUp() override
    {
        ScratchFolder::SetUp();
        savedResolve = VisteloNPics::ResolvePictureName;
        savedDraw = VisteloNPics::DrawThumbnailPicture;
        VisteloNPics::DrawThumbnailPicture = [this](const TPicInfoObject&, std::int32_t width, std::int32_t height) {
            ++loads;
            return loadable ? std::make_unique<TBitmap>(width, height / 2) : nullptr;
        };
    }
    void TearDown() override
    {
        VisteloNPics::ResolvePictureName = savedResolve;
        VisteloNPics::DrawThumbnailPicture = savedDraw;
        ScratchFolder::TearDown();
    }

    decltype(VisteloNPics::ResolvePictureName) savedResolve;
    decltype(VisteloNPics::DrawThumbnailPicture) savedDraw;
    int loads = 0;
    bool loadable = true;
};

TEST_F(ThumbnailTest, AFreshThumbnailIsMadeOnceAndKept)
{
    Write("bild.jpg", std::vector<std::uint8_t>(300, 1));
    VisteloNPics::ResolvePictureName = [this](const std::string& stored, const std::string&) { return PathOf(stored); };
    TPicInfoObject entry;
    entry.FileName = "bild.jpg";
    EXPECT_TRUE(entry.CreateThumbNail(80, 60, false, false));
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(entry.Flags & pfThumbnailChecked, pfThumbnailChecked);
    ASSERT_NE(entry.Thumbnail.GetThumbnail(), nullptr);
    EXPECT_FALSE(entry.Thumbnail.GetThumbnail()->Data().empty());
    EXPECT_EQ(entry.Thumbnail.GetThumbnail()->Width(), 80);
    EXPECT_EQ(entry.Thumbnail.GetThumbnail()->Height(), 30);
    EXPECT_EQ(entry.DateSum, Setup::CalcDateSum(PathOf("bild.jpg"), true));

    // Unchanged file, same box: the stamp matches and nothing is loaded.
    EXPECT_FALSE(entry.CreateThumbNail(80, 60, true, false));
    EXPECT_EQ(loads, 1);
    // Forced: loaded again.
    EXPECT_TRUE(entry.CreateThumbNail(80, 60, false, true));
    EXPECT_EQ(loads, 2);
}

TEST_F(ThumbnailTest, AnUnloadablePictureLeavesNoThumbnail)
{
    TPicInfoObject entry;
    entry.FileName = "fehlt.jpg";
    entry.Thumbnail.SetThumbnail(SmallJpeg(2, 2));
    entry.DateSum = 5;
    loadable = false;
    EXPECT_TRUE(entry.CreateThumbNail(80, 60, true, false));
    EXPECT_EQ(entry.Thumbnail.GetThumbnail(), nullptr);
    EXPECT_EQ(entry.DateSum, 5);
}

TEST_F(ThumbnailTest, WindowsNamesResolveAgainstTheShowFolder)
{
    // The entry hands its stored name and the show file to the resolver.
    VisteloNPics::ResolvePictureName = [](const std::string& stored, const std::string& showFile) {
        return rtl::ResolveStoredPath(stored, rtl::ExtractFilePath(showFile));
    };
    std::filesystem::create_directories(folder / "bilder");
    Write("bilder/a.jpg", std::vector<std::uint8_t>(10, 1));
    const std::string savedShowFile = Setup::VisteloFilename;
    Setup::VisteloFilename = PathOf("show.vsf");
    TPicInfoObject entry;
    entry.FileName = "Bilder\\A.JPG";
    entry.CreateThumbNail(80, 60, false, false);
    Setup::VisteloFilename = savedShowFile;
    EXPECT_EQ(entry.DateSum, Setup::CalcDateSum(PathOf("bilder/a.jpg"), true));
}

} // namespace
