// Reading show files: fixtures written byte by byte in the editor's layout
// (ShowFileBytes.h), the version rules of the settings chunk, the old
// "KWTB" format, and damaged files of every kind.

#include "core/VisteloNPics.h"

#include "ShowFileBytes.h"
#include "core/Blendings.h"
#include "core/Setup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <numeric>

using namespace ShowFileBytes;
using ContainerBytes::ScratchFolder;

namespace {

class VisteloLoadTest : public ScratchFolder {
protected:
    void SetUp() override
    {
        ScratchFolder::SetUp();
        savedBlendings = Blendings::RandomBlendings;
    }
    void TearDown() override
    {
        Blendings::RandomBlendings = savedBlendings;
        ScratchFolder::TearDown();
    }

    TVisteloLoadResult Load(const Bytes& file, bool onlyInfo = false, bool noThumbnails = false)
    {
        return show.LoadFromFile(Write("show.vsf", file), onlyInfo, noThumbnails);
    }

    // Every setting at its default, as a fresh show has them.
    void ExpectDefaultSettings() const
    {
        const TVistelo fresh;
        EXPECT_EQ(show.Pause, fresh.Pause);
        EXPECT_EQ(show.RandomOrder, fresh.RandomOrder);
        EXPECT_EQ(show.ShowNoDescription, fresh.ShowNoDescription);
        EXPECT_EQ(show.PlayMusic, fresh.PlayMusic);
        EXPECT_EQ(show.MusicFileNames, fresh.MusicFileNames);
        EXPECT_EQ(show.UseBlendings, fresh.UseBlendings);
        EXPECT_EQ(show.AutoStartMusic, fresh.AutoStartMusic);
        EXPECT_EQ(show.LogoFilename, fresh.LogoFilename);
        EXPECT_EQ(show.Logo, fresh.Logo);
        EXPECT_EQ(show.EndAction, fresh.EndAction);
        EXPECT_EQ(show.LogoPause, fresh.LogoPause);
        EXPECT_EQ(show.ReferenceWidth, fresh.ReferenceWidth);
        EXPECT_EQ(show.ShowPleaseWait, fresh.ShowPleaseWait);
        EXPECT_EQ(show.InfoTitle, fresh.InfoTitle);
        EXPECT_EQ(show.InfoValue, fresh.InfoValue);
        EXPECT_EQ(show.AboutText, fresh.AboutText);
        EXPECT_FALSE(show.StringLists);
        EXPECT_FALSE(show.InfoPicture);
    }

    static std::array<bool, 32> FlagsOf(const std::array<std::uint8_t, 32>& bytes)
    {
        std::array<bool, 32> flags{};
        for (size_t i = 0; i < flags.size(); ++i)
            flags[i] = bytes[i] != 0;
        return flags;
    }

    static std::array<bool, 32> AllSet()
    {
        std::array<bool, 32> all{};
        all.fill(true);
        return all;
    }

    TVistelo show;
    std::array<bool, 32> savedBlendings{};
};

std::vector<std::uint8_t> JpegBytes(const TJPEGImage* jpeg)
{
    return jpeg ? const_cast<TJPEGImage*>(jpeg)->Data() : std::vector<std::uint8_t>();
}

TEST_F(VisteloLoadTest, AFullShowReadsEveryField)
{
    ASSERT_EQ(Load(FullShowFile()), dlrOK);
    const Settings s;

    EXPECT_EQ(show.AboutText, "\u00A9 2001 Ostrelind");
    EXPECT_EQ(show.Pause, s.Pause);
    EXPECT_FALSE(show.ShowFilenameInNavigationBar);
    EXPECT_TRUE(show.ShowNoDescription);
    EXPECT_FALSE(show.StartFullScreen);
    EXPECT_FALSE(show.ShowNavigationBar);
    EXPECT_TRUE(show.ShowCommentsBox);
    EXPECT_TRUE(show.PlayMusic);
    EXPECT_EQ(show.MusicFileNames, s.MusicFileNames);
    EXPECT_FALSE(show.AutoRewind);
    EXPECT_FALSE(show.UseBlendings);
    EXPECT_EQ(Blendings::RandomBlendings, FlagsOf(s.RandomBlendings));
    EXPECT_FALSE(show.AutoStartMusic);
    EXPECT_FALSE(show.AutoStartSound);
    EXPECT_FALSE(show.DontBreakMusic);
    EXPECT_EQ(show.LogoFilename, "logo.bmp");
    EXPECT_EQ(show.Logo, lUserLogo);
    EXPECT_FALSE(show.StartImmediately);
    EXPECT_EQ(show.EndAction, deRepeatVistelo);
    EXPECT_TRUE(show.StopSoundBeforeBlending);
    EXPECT_EQ(show.LogoPause, 7000);
    EXPECT_TRUE(show.ManualExitToo);
    EXPECT_FALSE(show.ScaleFontToScreen);
    EXPECT_EQ(show.ReferenceWidth, 800);
    EXPECT_EQ(show.ReferenceHeight, 600);
    EXPECT_FALSE(show.ShowPleaseWait);
    // The editor's thumbnail size in the file does not touch the reader's.
    EXPECT_EQ(Setup::CatalogThumbWidth, 80);

    EXPECT_EQ(show.InfoTitle, "Ferien");
    EXPECT_EQ(show.InfoText, "Sommer am Meer");
    EXPECT_EQ(show.InfoValue, 2);
    EXPECT_EQ(JpegBytes(show.InfoPicture.get()), FakeJpeg(1, 40));

    ASSERT_EQ(show.Count, 2);
    EXPECT_EQ(show.Order, (std::vector<std::int32_t>{0, 1}));
    const TPicInfoObject& first = *show.GetPicInfo(0);
    EXPECT_EQ(first.FileName, "Bilder\\b.jpg");
    EXPECT_EQ(first.Comments, "Gr\u00FC\u00DFe");
    EXPECT_FALSE(first.ShowImage);
    EXPECT_FALSE(first.Stretch);
    EXPECT_FALSE(first.Proportions);
    EXPECT_FALSE(first.Center);
    EXPECT_FALSE(first.ShowComments);
    EXPECT_EQ(first.BackgroundColor, 0x123456);
    EXPECT_EQ(first.CommentAlignment, caRight);
    EXPECT_EQ(first.CommentPlacement, cpUser);
    EXPECT_EQ(first.CommentUserPlacement, (TPlacementRectExt{0.25, 0.5, 0.75, 1.0}));
    EXPECT_EQ(first.CommentEffects, ce3DBorder);
    EXPECT_EQ(first.EffectColor1, 0x0000FF);
    EXPECT_EQ(first.EffectColor2, static_cast<TColor>(0x80000005));
    ASSERT_TRUE(first.CommentFont);
    EXPECT_EQ(first.CommentFont->Name(), "Arial");
    EXPECT_EQ(first.CommentFont->Size(), 14);
    EXPECT_EQ(first.CommentFont->Color(), 0xFFFFFF);
    EXPECT_EQ(first.CommentFont->Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(first.CommentFontHeight, 20);
    EXPECT_EQ(first.Pause, 1500);
    EXPECT_EQ(first.Blending, 17);
    EXPECT_EQ(first.Keywords, "Urlaub Meer");
    EXPECT_EQ(first.Sound, "ton.wav");
    EXPECT_EQ(first.SynchronizeWithSound, ssSyncExact);
    EXPECT_TRUE(first.RepeatSound);
    EXPECT_TRUE(first.DontStopSound);
    EXPECT_EQ(first.Placement, spUser);
    EXPECT_EQ(first.PicPlacement, (TPlacementRectExt{0.0, 0.25, -2.0, 0.5}));
    EXPECT_EQ(first.SizePercent, pWindow);
    EXPECT_EQ(first.Thumbnail.GetThumbnail(), nullptr);
    EXPECT_EQ(first.DateSum, -1);

    const TPicInfoObject& second = *show.GetPicInfo(1);
    EXPECT_EQ(second.FileName, "C:\\Fotos\\a.JPG");
    EXPECT_TRUE(second.ShowImage);
    EXPECT_FALSE(second.CommentFont); // stored as -1: no font
    EXPECT_EQ(second.DateSum, 4711);
    EXPECT_EQ(JpegBytes(second.Thumbnail.GetThumbnail()), FakeJpeg(2, 30));
    EXPECT_TRUE(show.HasThumbnails);

    ASSERT_TRUE(show.StringLists);
    ASSERT_EQ(show.StringLists->Count(), 2);
    EXPECT_EQ(show.StringLists->Strings(0), "Farben");
    const TStringList* colours = VisteloNPics::NamedStringList(*show.StringLists, 0);
    ASSERT_NE(colours, nullptr);
    EXPECT_EQ(colours->Text(), "rot\r\ngr\u00FCn\r\n");
    EXPECT_EQ(show.StringLists->Strings(1), "Leer");
    ASSERT_NE(VisteloNPics::NamedStringList(*show.StringLists, 1), nullptr);
    EXPECT_EQ(VisteloNPics::NamedStringList(*show.StringLists, 1)->Count(), 0);
}

TEST_F(VisteloLoadTest, TheSettingsChunkFollowsTheFileVersion)
{
    // The settings chunk is the last in each file and ends exactly where its
    // version says, so a reader that takes one byte too many runs out of file.
    struct Case {
        std::int32_t version;
        ConfigTail tail;
        bool laterFieldsRead;
    } cases[] = {
        {511, ConfigTail::None, false},
        {512, ConfigTail::None, true},
        {513, ConfigTail::OneByteOnly, true},
        {513, ConfigTail::Editor, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        Blendings::RandomBlendings.fill(false);
        ASSERT_EQ(Load(ShowFile(c.version, {{256, ConfigPayload(Settings(), c.version, 32, c.tail)}})), dlrOK);
        EXPECT_EQ(show.Pause, 3000);
        EXPECT_FALSE(show.UseBlendings);
        if (c.laterFieldsRead) {
            EXPECT_EQ(Blendings::RandomBlendings, FlagsOf(Settings().RandomBlendings));
            EXPECT_EQ(show.LogoPause, 7000);
            EXPECT_FALSE(show.ShowPleaseWait);
        } else {
            EXPECT_EQ(Blendings::RandomBlendings, AllSet());
            EXPECT_EQ(show.LogoPause, 5000);
            EXPECT_TRUE(show.ShowPleaseWait);
            EXPECT_EQ(show.Logo, lStdLogo);
        }
    }
    // Version 513 promises the reserved byte: a chunk without it is short.
    EXPECT_EQ(Load(ShowFile(513, {{256, ConfigPayload(Settings(), 513, 32, ConfigTail::None)}})), dlrNoVSF);
}

TEST_F(VisteloLoadTest, TheRandomTransitionSetMayAnnounceAnySize)
{
    Blendings::RandomBlendings.fill(false);
    ASSERT_EQ(Load(ShowFile(513, {{256, ConfigPayload(Settings(), 513, 40)}})), dlrOK);
    EXPECT_EQ(Blendings::RandomBlendings, FlagsOf(Settings().RandomBlendings));
    EXPECT_EQ(show.LogoFilename, "logo.bmp"); // the 8 extra bytes were skipped
    EXPECT_EQ(show.ReferenceHeight, 600);

    // Fewer than 32: those are read, the rest stay allowed.
    Blendings::RandomBlendings.fill(false);
    ASSERT_EQ(Load(ShowFile(513, {{256, ConfigPayload(Settings(), 513, 20)}})), dlrOK);
    for (size_t i = 0; i < 32; ++i)
        EXPECT_EQ(Blendings::RandomBlendings[i], i >= 20 || i % 3 == 0) << i;
    EXPECT_EQ(show.LogoFilename, "logo.bmp");

    Bytes negative = ConfigPayload(Settings(), 511);
    negative.I32(-1);
    EXPECT_EQ(Load(ShowFile(513, {{256, negative}})), dlrNoVSF);
}

TEST_F(VisteloLoadTest, UnknownChunksAndTrailingBytesAreSteppedOver)
{
    Bytes settings = ConfigPayload(Settings(), 513);
    settings.Raw("more than the reader knows");
    Bytes file = ShowFile(513,
                          {{999, Bytes().Raw("before")},
                           {256, settings},
                           {1, Bytes().Str("a").Str("b").Str("c")},
                           {257, PictureListPayload({Entry()})},
                           {-7, Bytes()},
                           {275, Bytes().Str("about")},
                           {4096, Bytes().Raw("after")}});
    file.Raw("bytes after the last counted chunk");
    ASSERT_EQ(Load(file), dlrOK);
    EXPECT_EQ(show.LogoPause, 7000);
    EXPECT_EQ(show.Count, 1);
    EXPECT_EQ(show.AboutText, "about");
}

TEST_F(VisteloLoadTest, OnlyInfoReadsTheInfoChunkAlone)
{
    show.Pause = 1; // overwritten by the defaults
    Blendings::RandomBlendings.fill(false);
    ASSERT_EQ(Load(FullShowFile(), true), dlrOK);
    EXPECT_EQ(show.Count, 0);
    EXPECT_EQ(show.InfoTitle, "Ferien");
    EXPECT_EQ(show.InfoText, "Sommer am Meer");
    EXPECT_EQ(show.InfoValue, 2);
    EXPECT_EQ(JpegBytes(show.InfoPicture.get()), FakeJpeg(1, 40));
    EXPECT_EQ(show.Pause, Setup::stdPause);
    EXPECT_EQ(show.AboutText, "");
    EXPECT_FALSE(show.StringLists);
    EXPECT_EQ(Blendings::RandomBlendings, (std::array<bool, 32>{})); // untouched
}

TEST_F(VisteloLoadTest, ThumbnailsCanBeSkipped)
{
    ASSERT_EQ(Load(FullShowFile(), false, true), dlrOK);
    EXPECT_FALSE(show.HasThumbnails);
    ASSERT_EQ(show.Count, 2);
    EXPECT_EQ(show.GetPicInfo(1)->Thumbnail.GetThumbnail(), nullptr);
    EXPECT_EQ(show.GetPicInfo(1)->DateSum, -1);
}

TEST_F(VisteloLoadTest, ARandomOrderShowGetsAShuffledOrderOfItsEntries)
{
    Settings s;
    s.RandomOrder = true;
    std::vector<Entry> entries(12);
    ASSERT_EQ(Load(ShowFile(513, {{256, ConfigPayload(s, 513)}, {257, PictureListPayload(entries)}})), dlrOK);
    EXPECT_TRUE(show.RandomOrder);
    std::vector<std::int32_t> sorted = show.Order;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::int32_t> identity(12);
    std::iota(identity.begin(), identity.end(), 0);
    EXPECT_EQ(sorted, identity);
}

TEST_F(VisteloLoadTest, OtherContainersAreNoShowAndNotTriedAsOldShows)
{
    show.Pause = 1234;
    const Bytes list = ShowFile(256, {{256, Bytes().Str("T").I32(75).I32(50).U8(8).U8(0)}}, 1282);
    EXPECT_EQ(Load(list), dlrNoVSF);
    EXPECT_EQ(show.Pause, 1234); // no fallback: the settings were not reset
    EXPECT_EQ(show.Count, 0);
}

TEST_F(VisteloLoadTest, OutOfRangeEnumerationBytesKeepTheirDefaults)
{
    Settings s;
    s.Logo = 3;
    s.EndAction = 200;
    Entry e;
    e.CommentAlignment = 3;
    e.CommentPlacement = 6;
    e.CommentEffects = 4;
    e.SynchronizeWithSound = 3;
    e.Placement = 10;
    e.SizePercent = 255;
    ASSERT_EQ(
        Load(ShowFile(513, {{256, ConfigPayload(s, 513)}, {257, PictureListPayload({e})}, {258, DetailsPayload({e})}})),
        dlrOK);
    EXPECT_EQ(show.Logo, lStdLogo);
    EXPECT_EQ(show.EndAction, deAutoRepeat);
    const TPicInfoObject& entry = *show.GetPicInfo(0);
    EXPECT_EQ(entry.CommentAlignment, caLeft);
    EXPECT_EQ(entry.CommentPlacement, cpPictureBottom);
    EXPECT_EQ(entry.CommentEffects, ceBorder);
    EXPECT_EQ(entry.SynchronizeWithSound, ssSync);
    EXPECT_EQ(entry.Placement, spCenter);
    EXPECT_EQ(entry.SizePercent, pNone);
    EXPECT_EQ(entry.Pause, 1500); // the fields around them were read
}

TEST_F(VisteloLoadTest, ReferencesToEntriesThatDoNotExistAreIgnored)
{
    const std::vector<Entry> one(1);
    const std::vector<Entry> three(3);
    // Details for three entries of a list of one, thumbnails of entries 1, -1 and 0.
    ASSERT_EQ(Load(ShowFile(513,
                            {{257, PictureListPayload(one)},
                             {258, DetailsPayload(three)},
                             {272, ThumbnailPayload(1, 5, FakeJpeg(3, 20))},
                             {272, ThumbnailPayload(-1, 6, FakeJpeg(4, 20))},
                             {272, ThumbnailPayload(0, 7, FakeJpeg(5, 20))}})),
              dlrOK);
    ASSERT_EQ(show.Count, 1);
    EXPECT_EQ(show.GetPicInfo(0)->Blending, 17);
    EXPECT_EQ(show.GetPicInfo(0)->DateSum, 7);
    EXPECT_EQ(JpegBytes(show.GetPicInfo(0)->Thumbnail.GetThumbnail()), FakeJpeg(5, 20));

    // Details before any picture list touch nothing.
    ASSERT_EQ(Load(ShowFile(513, {{258, DetailsPayload(three)}})), dlrOK);
    EXPECT_EQ(show.Count, 0);
}

TEST_F(VisteloLoadTest, DamagedShowFilesGiveAnEmptyShowWithDefaults)
{
    auto withList = [](const Bytes& listPayload) { return ShowFile(513, {{257, listPayload}}); };
    auto withDetailsFont = [](const Bytes& font) {
        Entry e;
        e.Font = font;
        return ShowFile(513, {{257, PictureListPayload({e})}, {258, DetailsPayload({e})}});
    };
    Bytes badChunkMagic = ShowFile(513, {{256, ConfigPayload(Settings(), 513)}});
    badChunkMagic.data[32 + 3] = 'X'; // "CHNX"
    Bytes shortChunk = ShowFile(513, {{275, Bytes().Str("x")}});
    shortChunk.data[32 + 8] = 11; // a chunk length below its own header
    Bytes noFileMagic = FullShowFile();
    noFileMagic.data[0] = 'X';
    Bytes countOneTooHigh = PictureListPayload({Entry(), Entry()});
    countOneTooHigh.data[0] = 3;
    // A thumbnail chunk of 19 bytes cannot hold its index and DateSum.
    Bytes shortThumbnail = ShowFile(513, {{257, PictureListPayload({Entry()})}, {272, Bytes().I32(0).I32(0)}});
    shortThumbnail.data[shortThumbnail.data.size() - 8 - 4] = 19;

    const struct Case {
        const char* what;
        Bytes file;
    } cases[] = {
        {"chunk magic CHNX", badChunkMagic},
        {"chunk length below 12", shortChunk},
        {"header shorter than 32 bytes", Bytes().Raw("ZOSF").I32(0).I32(513).I32(1281)},
        {"wrong file magic", noFileMagic},
        {"string count 0x7FFFFFFF", ShowFile(513, {{275, Bytes().I32(0x7FFFFFFF).Raw("abc")}})},
        {"negative string count", ShowFile(513, {{275, Bytes().I32(-5)}})},
        {"picture count 0x7FFFFFFF", withList(Bytes().I32(0x7FFFFFFF).Str("a.jpg"))},
        {"picture count one too high", withList(countOneTooHigh)},
        {"font blob whose name runs past it",
         withDetailsFont(Bytes().I32(22).I32(22).I32(0xFFFFFF).I32(9).Raw("Arial").I32(14).U8(0))},
        {"font blob of negative length", withDetailsFont(Bytes().I32(-2))},
        {"info picture longer than the file", ShowFile(513, {{274, Bytes().Str("t").Str("x").I32(1).I32(1000)}})},
        {"thumbnail chunk shorter than its fields", shortThumbnail},
        {"string lists with an absurd line count", ShowFile(513, {{273, Bytes().I32(1).I32(0x40000000)}})},
        {"empty file", Bytes()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        show.Pause = 1;
        show.AddDia(TPicInfoObject());
        EXPECT_EQ(Load(c.file), dlrNoVSF);
        EXPECT_EQ(show.Count, 0);
        EXPECT_EQ(show.CurrentIndex, -1);
        ExpectDefaultSettings();
    }
}

TEST_F(VisteloLoadTest, AShowCutAtAnyByteLoadsCleanly)
{
    const std::vector<std::uint8_t> whole = FullShowFile().data;
    for (size_t length = 0; length < whole.size(); ++length) {
        Bytes cut;
        cut.Raw(std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)));
        const TVisteloLoadResult result = Load(cut);
        // Cut within the last chunk's JPEG bytes is still damage: the length
        // word promises more than the file holds.
        ASSERT_EQ(result, dlrNoVSF) << "cut at " << length;
        ASSERT_EQ(show.Count, 0);
    }
    EXPECT_EQ(Load(FullShowFile()), dlrOK);
}

TEST_F(VisteloLoadTest, AMissingFileIsNoShow)
{
    EXPECT_EQ(show.LoadFromFile(PathOf("nowhere.vsf"), false, false), dlrNoVSF);
    EXPECT_FALSE(show.LoadFromFileOld(PathOf("nowhere.vsf")));
}

TEST_F(VisteloLoadTest, AHugeChunkCountEndsWithTheFile)
{
    Bytes file = ShowFile(513, {{275, Bytes().Str("x")}});
    file.data[16] = 0xFF; // chunk count 0x7FFFFFFF
    file.data[17] = 0xFF;
    file.data[18] = 0xFF;
    file.data[19] = 0x7F;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Load(file), dlrNoVSF);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

// The old flat format.

TEST_F(VisteloLoadTest, AnOldShowLoadsItsSettingsAndRecords)
{
    ASSERT_EQ(Load(KwtbFile()), dlrOK);
    EXPECT_EQ(show.Pause, 3000);
    EXPECT_TRUE(show.RandomOrder);
    EXPECT_FALSE(show.ShowFilenameInNavigationBar);
    EXPECT_TRUE(show.ShowNoDescription);
    EXPECT_FALSE(show.StartFullScreen);
    EXPECT_FALSE(show.ShowNavigationBar);
    EXPECT_TRUE(show.ShowCommentsBox);
    EXPECT_EQ(show.LogoPause, 5000); // not in the format: default
    ASSERT_EQ(show.Count, 2);
    ASSERT_EQ(show.Order.size(), 2u);
    const TPicInfoObject& first = *show.GetPicInfo(0);
    EXPECT_EQ(first.FileName, "eins.jpg");
    EXPECT_EQ(first.Comments, "Erstes Bild");
    EXPECT_TRUE(first.ShowImage);
    EXPECT_FALSE(first.Stretch);
    EXPECT_TRUE(first.Proportions);
    EXPECT_FALSE(first.Center);
    EXPECT_TRUE(first.ShowComments);
    EXPECT_EQ(first.BackgroundColor, 0x00FF00);
    EXPECT_EQ(first.Pause, -1);
    const TPicInfoObject& second = *show.GetPicInfo(1);
    EXPECT_EQ(second.FileName, "D:\\zwei.bmp");
    EXPECT_TRUE(second.Stretch);
    EXPECT_EQ(second.BackgroundColor, 0x0000FF);
}

TEST_F(VisteloLoadTest, DamagedOldShowsAreNoShows)
{
    Bytes absurd = KwtbFile();
    absurd.data[16] = 0xFF;
    absurd.data[17] = 0xFF;
    absurd.data[18] = 0xFF;
    absurd.data[19] = 0x7F;
    Bytes negativeString = KwtbFile();
    negativeString.data[20] = 0xFE;
    negativeString.data[21] = 0xFF;
    negativeString.data[22] = 0xFF;
    negativeString.data[23] = 0xFF;
    const struct Case {
        const char* what;
        Bytes file;
    } cases[] = {
        {"version 257", KwtbFile(257)},
        {"empty file", Bytes()},
        {"five bytes", Bytes().Raw("KWTB").U8(2)},
        {"absurd picture count", absurd},
        {"negative string count", negativeString},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Load(c.file), dlrNoVSF);
        EXPECT_EQ(show.Count, 0);
        ExpectDefaultSettings();
    }
    const std::vector<std::uint8_t> whole = KwtbFile().data;
    for (size_t length = 6; length < whole.size(); ++length) {
        Bytes cut;
        cut.Raw(std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)));
        ASSERT_EQ(Load(cut), dlrNoVSF) << "cut at " << length;
        ASSERT_EQ(show.Count, 0);
    }
}

} // namespace
