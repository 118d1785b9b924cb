// The editor's show writer TConfigVistelo::SaveToFile: the bytes it writes
// (compared with files written by hand), round trips through the reader,
// thumbnails, and saves that fail.

#include "editor/app/PicInfoUnit.h"

#include "ShowFileBytes.h"
#include "core/Blendings.h"
#include "core/Setup.h"
#include "editor/app/VisteloSetup.h"
#include "platform/rtl/ByteOrder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <memory>

using namespace ShowFileBytes;
using ContainerBytes::ScratchFolder;

namespace {

struct Chunk {
    std::int32_t id;
    std::vector<std::uint8_t> payload;
};

std::int32_t Int32At(const std::vector<std::uint8_t>& bytes, size_t at) { return rtl::GetLE32s(&bytes[at]); }

// The chunks of a container file, walked by their length words.
std::vector<Chunk> ChunksOf(const std::vector<std::uint8_t>& file)
{
    std::vector<Chunk> chunks;
    for (size_t at = 32; at + 12 <= file.size();) {
        const auto length = static_cast<size_t>(Int32At(file, at + 8));
        EXPECT_GE(length, 12u);
        EXPECT_LE(at + length, file.size());
        if (length < 12 || at + length > file.size())
            break;
        chunks.push_back({Int32At(file, at + 4),
                          {file.begin() + static_cast<std::ptrdiff_t>(at + 12),
                           file.begin() + static_cast<std::ptrdiff_t>(at + length)}});
        at += length;
    }
    return chunks;
}

std::vector<std::int32_t> IdsOf(const std::vector<Chunk>& chunks)
{
    std::vector<std::int32_t> ids;
    for (const Chunk& chunk : chunks)
        ids.push_back(chunk.id);
    return ids;
}

// The settings of a fresh show as the fixture writes them.
Settings DefaultSettings()
{
    const TVistelo fresh;
    Settings s;
    s.Pause = fresh.Pause;
    s.RandomOrder = fresh.RandomOrder;
    s.ShowFilenameInNavigationBar = fresh.ShowFilenameInNavigationBar;
    s.ShowNoDescription = fresh.ShowNoDescription;
    s.StartFullScreen = fresh.StartFullScreen;
    s.ShowNavigationBar = fresh.ShowNavigationBar;
    s.ShowCommentsBox = fresh.ShowCommentsBox;
    s.PlayMusic = false;
    s.MusicFileNames = "";
    s.AutoRewind = true;
    s.UseBlendings = true;
    for (size_t i = 0; i < 32; ++i)
        s.RandomBlendings[i] = Blendings::RandomBlendings[i] ? 1 : 0;
    s.AutoStartMusic = true;
    s.AutoStartSound = true;
    s.DontBreakMusic = true;
    s.LogoFilename = "";
    s.Logo = lStdLogo;
    s.StartImmediately = true;
    s.EndAction = deAutoRepeat;
    s.StopSoundBeforeBlending = false;
    s.LogoPause = 5000;
    s.ThumbWidth = Setup::CatalogThumbWidth;
    s.ThumbHeight = Setup::CatalogThumbHeight;
    s.ManualExitToo = false;
    s.ScaleFontToScreen = true;
    s.ReferenceWidth = -1;
    s.ReferenceHeight = -1;
    s.ShowPleaseWait = true;
    return s;
}

// A default entry as the fixture writes it.
Entry DefaultEntry()
{
    Entry e;
    e.FileName = "";
    e.Comments = "";
    e.ShowImage = e.Stretch = e.Proportions = e.Center = e.ShowComments = true;
    e.BackgroundColor = 0;
    e.CommentAlignment = caLeft;
    e.CommentPlacement = cpPictureBottom;
    e.CommentUserPlacement = Rect(ExtZero, ExtZero, ExtOne, ExtOne);
    e.CommentEffects = ceBorder;
    e.EffectColor1 = e.EffectColor2 = 0;
    e.Font = Bytes().I32(22).I32(22).I32(0xFFFFFF).I32(5).Raw("Arial").I32(14).U8(0);
    e.CommentFontHeight = -1;
    e.Pause = -1;
    e.Blending = 1;
    e.Keywords = e.Sound = "";
    e.SynchronizeWithSound = ssSync;
    e.RepeatSound = e.DontStopSound = false;
    e.Placement = spCenter;
    e.PicPlacement = Rect(ExtZero, ExtZero, ExtOne, ExtOne);
    e.SizePercent = pNone;
    return e;
}

class ShowWriterTest : public ScratchFolder {
protected:
    void SetUp() override
    {
        ScratchFolder::SetUp();
        savedBlendings = Blendings::RandomBlendings;
        savedSaveThumbnails = VisteloSetup::CatalogSaveThumbNailsInVistelo;
        savedThumbnailWord = VisteloSetup::CatalogThumbnailJPEGCompression;
        // The fixture's thumbnails are compressed with the JPEG class's own
        // settings (quality 90, baseline); with these the writer keeps their
        // bytes as they are.
        VisteloSetup::CatalogThumbnailJPEGCompression = 0x5A00;
    }
    void TearDown() override
    {
        Blendings::RandomBlendings = savedBlendings;
        VisteloSetup::CatalogSaveThumbNailsInVistelo = savedSaveThumbnails;
        VisteloSetup::CatalogThumbnailJPEGCompression = savedThumbnailWord;
        ScratchFolder::TearDown();
    }

    // A show with every setting and field away from its default.
    void FillShow(TConfigVistelo& show)
    {
        show.SetRandomOrder(true);
        show.Pause = 2500;
        show.ShowFilenameInNavigationBar = false;
        show.ShowNoDescription = true;
        show.StartFullScreen = false;
        show.ShowNavigationBar = false;
        show.ShowCommentsBox = true;
        show.PlayMusic = true;
        show.MusicFileNames = "M\u00FCsik/eins.mp3\r\nzwei.mid\r\n";
        show.AutoRewind = false;
        show.AutoStartMusic = false;
        show.AutoStartSound = false;
        show.UseBlendings = false;
        show.LogoFilename = "L\u00F6go.bmp";
        show.Logo = lNoLogo;
        show.StartImmediately = false;
        show.EndAction = deRepeatOrNextVistelo;
        show.ManualExitToo = true;
        show.DontBreakMusic = false;
        show.StopSoundBeforeBlending = true;
        show.LogoPause = 1234;
        show.ScaleFontToScreen = false;
        show.ReferenceWidth = 1024;
        show.ReferenceHeight = 768;
        show.ShowPleaseWait = false;
        show.InfoTitle = "\u00DCberblick";
        show.InfoText = "Zeile 1\r\nZeile 2";
        show.AboutText = "\u00A9 Ostrelind, \u20AC 5"; // the euro sign is 0x80 in Windows-1252
        show.InfoPicture = SmallJpeg(6, 4);
        show.StringLists = std::make_unique<TStringList>();
        show.StringLists->OwnsObjects = true;
        auto lines = std::make_unique<TStringList>();
        lines->Add("gr\u00FCn");
        lines->Add("");
        show.StringLists->AddObject("Farben", lines.release());
        show.StringLists->AddObject("Ohne Liste", nullptr);

        TPicInfoObject first;
        first.FileName = "Bilder\\K\u00E4fer.jpg";
        first.Comments = "Ein K\u00E4fer\r\nim Gras";
        first.ShowImage = false;
        first.Stretch = false;
        first.Proportions = false;
        first.Center = false;
        first.ShowComments = false;
        first.CommentAlignment = caCenter;
        first.CommentPlacement = cpNavBar;
        first.CommentUserPlacement = {0.25, 1.0 / 3.0, -0.5, 1e-310}; // a denormal too
        first.CommentEffects = ceShadow;
        first.EffectColor1 = clBtnFace;
        first.EffectColor2 = 0x00ABCDEF;
        first.CommentFont->SetName("Courier New");
        first.CommentFont->SetSize(9);
        first.CommentFont->SetColor(clNavy);
        first.CommentFont->SetStyle({fsUnderline, fsStrikeOut});
        first.CommentFontHeight = 33;
        first.BackgroundColor = clYellow;
        first.Pause = 9000;
        first.Blending = 31;
        first.DateSum = 777;
        first.Keywords = "Natur Tiere";
        first.Sound = "s\u00E4ge.wav";
        first.SynchronizeWithSound = ssNoSync;
        first.RepeatSound = true;
        first.DontStopSound = true;
        first.Placement = spBottomLeft;
        first.PicPlacement = {0.1, 0.2, 0.9, 0.8};
        first.SizePercent = pPicture;
        first.Thumbnail.SetThumbnail(SmallJpeg(8, 6));
        show.AddDia(first);

        TPicInfoObject second;
        second.FileName = "/home/u/b.png";
        second.CommentFont.reset();
        show.AddDia(second);
    }

    std::vector<std::uint8_t> Save(TConfigVistelo& show, const std::string& name = "show.vsf")
    {
        EXPECT_TRUE(show.SaveToFile(PathOf(name)));
        return Read(name);
    }

    std::array<bool, 32> savedBlendings{};
    bool savedSaveThumbnails = true;
    TJPEGCompressionWord savedThumbnailWord = 0;
};

void ExpectSameEntry(const TPicInfoObject& a, const TPicInfoObject& b)
{
    EXPECT_EQ(a.FileName, b.FileName);
    EXPECT_EQ(a.Comments, b.Comments);
    EXPECT_EQ(a.ShowImage, b.ShowImage);
    EXPECT_EQ(a.Stretch, b.Stretch);
    EXPECT_EQ(a.Proportions, b.Proportions);
    EXPECT_EQ(a.Center, b.Center);
    EXPECT_EQ(a.ShowComments, b.ShowComments);
    EXPECT_EQ(a.CommentAlignment, b.CommentAlignment);
    EXPECT_EQ(a.CommentPlacement, b.CommentPlacement);
    EXPECT_EQ(a.CommentUserPlacement, b.CommentUserPlacement);
    EXPECT_EQ(a.CommentEffects, b.CommentEffects);
    EXPECT_EQ(a.EffectColor1, b.EffectColor1);
    EXPECT_EQ(a.EffectColor2, b.EffectColor2);
    ASSERT_EQ(!a.CommentFont, !b.CommentFont);
    if (a.CommentFont) {
        EXPECT_EQ(a.CommentFont->Name(), b.CommentFont->Name());
        EXPECT_EQ(a.CommentFont->Size(), b.CommentFont->Size());
        EXPECT_EQ(a.CommentFont->Color(), b.CommentFont->Color());
        EXPECT_EQ(a.CommentFont->Style(), b.CommentFont->Style());
    }
    EXPECT_EQ(a.CommentFontHeight, b.CommentFontHeight);
    EXPECT_EQ(a.BackgroundColor, b.BackgroundColor);
    EXPECT_EQ(a.Pause, b.Pause);
    EXPECT_EQ(a.Blending, b.Blending);
    EXPECT_EQ(a.Keywords, b.Keywords);
    EXPECT_EQ(a.Sound, b.Sound);
    EXPECT_EQ(a.SynchronizeWithSound, b.SynchronizeWithSound);
    EXPECT_EQ(a.RepeatSound, b.RepeatSound);
    EXPECT_EQ(a.DontStopSound, b.DontStopSound);
    EXPECT_EQ(a.Placement, b.Placement);
    EXPECT_EQ(a.PicPlacement, b.PicPlacement);
    EXPECT_EQ(a.SizePercent, b.SizePercent);
}

TEST_F(ShowWriterTest, AnEmptyShowIsWrittenByteForByte)
{
    TConfigVistelo show;
    const std::vector<std::uint8_t> written = Save(show);
    const Bytes expected = ShowFile(513,
                                    {{275, Bytes().Str("")},
                                     {256, ConfigPayload(DefaultSettings(), 513)},
                                     {274, InfoPayload("", "", 0, {})},
                                     {257, Bytes().I32(0)},
                                     {258, Bytes().I32(0)}});
    EXPECT_EQ(written, expected.data);
    ASSERT_EQ(ChunksOf(written).size(), 5u);
    EXPECT_EQ(ChunksOf(written)[1].payload.size() + 12, 164u);
}

TEST_F(ShowWriterTest, ADefaultEntryIsWrittenByteForByte)
{
    TConfigVistelo show;
    show.AddDia(TPicInfoObject());
    const std::vector<Chunk> chunks = ChunksOf(Save(show));
    ASSERT_EQ(IdsOf(chunks), (std::vector<std::int32_t>{275, 256, 274, 257, 258}));
    EXPECT_EQ(chunks[3].payload, PictureListPayload({DefaultEntry()}).data);
    EXPECT_EQ(chunks[4].payload, DetailsPayload({DefaultEntry()}).data);
    EXPECT_EQ(DetailsRecord(DefaultEntry()).data.size(), 142u);
    EXPECT_EQ(Int32At(chunks[2].payload, 8), 1); // the info chunk's picture count
}

TEST_F(ShowWriterTest, EveryFieldSurvivesARoundTrip)
{
    TConfigVistelo show;
    FillShow(show);
    Blendings::RandomBlendings.fill(false);
    Blendings::RandomBlendings[2] = Blendings::RandomBlendings[31] = true;
    const std::array<bool, 32> written = Blendings::RandomBlendings;
    const std::vector<std::uint8_t> bytes = Save(show);
    // Text fits Windows-1252, so it is stored as one byte per character.
    EXPECT_EQ(ChunksOf(bytes)[0].payload, Bytes().Str("\xA9 Ostrelind, \x80 5").data);

    Blendings::RandomBlendings.fill(true);
    TVistelo loaded;
    ASSERT_EQ(loaded.LoadFromFile(PathOf("show.vsf"), false, false), dlrOK);
    EXPECT_EQ(Blendings::RandomBlendings, written);
    EXPECT_EQ(loaded.RandomOrder, true);
    EXPECT_EQ(loaded.Pause, show.Pause);
    EXPECT_EQ(loaded.ShowFilenameInNavigationBar, show.ShowFilenameInNavigationBar);
    EXPECT_EQ(loaded.ShowNoDescription, show.ShowNoDescription);
    EXPECT_EQ(loaded.StartFullScreen, show.StartFullScreen);
    EXPECT_EQ(loaded.ShowNavigationBar, show.ShowNavigationBar);
    EXPECT_EQ(loaded.ShowCommentsBox, show.ShowCommentsBox);
    EXPECT_EQ(loaded.PlayMusic, show.PlayMusic);
    EXPECT_EQ(loaded.MusicFileNames, show.MusicFileNames);
    EXPECT_EQ(loaded.AutoRewind, show.AutoRewind);
    EXPECT_EQ(loaded.AutoStartMusic, show.AutoStartMusic);
    EXPECT_EQ(loaded.AutoStartSound, show.AutoStartSound);
    EXPECT_EQ(loaded.UseBlendings, show.UseBlendings);
    EXPECT_EQ(loaded.LogoFilename, show.LogoFilename);
    EXPECT_EQ(loaded.Logo, show.Logo);
    EXPECT_EQ(loaded.StartImmediately, show.StartImmediately);
    EXPECT_EQ(loaded.EndAction, show.EndAction);
    EXPECT_EQ(loaded.ManualExitToo, show.ManualExitToo);
    EXPECT_EQ(loaded.DontBreakMusic, show.DontBreakMusic);
    EXPECT_EQ(loaded.StopSoundBeforeBlending, show.StopSoundBeforeBlending);
    EXPECT_EQ(loaded.LogoPause, show.LogoPause);
    EXPECT_EQ(loaded.ScaleFontToScreen, show.ScaleFontToScreen);
    EXPECT_EQ(loaded.ReferenceWidth, show.ReferenceWidth);
    EXPECT_EQ(loaded.ReferenceHeight, show.ReferenceHeight);
    EXPECT_EQ(loaded.ShowPleaseWait, show.ShowPleaseWait);
    EXPECT_EQ(loaded.InfoTitle, show.InfoTitle);
    EXPECT_EQ(loaded.InfoText, show.InfoText);
    EXPECT_EQ(loaded.InfoValue, 2);
    EXPECT_EQ(loaded.AboutText, show.AboutText);
    ASSERT_TRUE(loaded.InfoPicture);
    EXPECT_EQ(loaded.InfoPicture->Data(), show.InfoPicture->Data());
    EXPECT_EQ(loaded.InfoPicture->Width(), 6);

    ASSERT_TRUE(loaded.StringLists);
    ASSERT_EQ(loaded.StringLists->Count(), 2);
    EXPECT_EQ(loaded.StringLists->Strings(0), "Farben");
    EXPECT_EQ(VisteloNPics::NamedStringList(*loaded.StringLists, 0)->Text(), "gr\u00FCn\r\n\r\n");
    EXPECT_EQ(loaded.StringLists->Strings(1), "Ohne Liste");
    // An entry without a list comes back with an empty one.
    ASSERT_NE(VisteloNPics::NamedStringList(*loaded.StringLists, 1), nullptr);
    EXPECT_EQ(VisteloNPics::NamedStringList(*loaded.StringLists, 1)->Count(), 0);

    ASSERT_EQ(loaded.Count, 2);
    for (std::int32_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        ExpectSameEntry(*loaded.GetPicInfo(i), *show.GetPicInfo(i));
    }
    const TPicInfoObject& first = *loaded.GetPicInfo(0);
    EXPECT_EQ(first.DateSum, 777);
    ASSERT_NE(first.Thumbnail.GetThumbnail(), nullptr);
    EXPECT_EQ(first.Thumbnail.GetThumbnail()->Data(), show.GetPicInfo(0)->Thumbnail.GetThumbnail()->Data());
    EXPECT_EQ(first.Thumbnail.GetThumbnail()->Width(), 8);
    EXPECT_EQ(loaded.GetPicInfo(1)->Thumbnail.GetThumbnail(), nullptr);
    EXPECT_TRUE(loaded.HasThumbnails);
}

TEST_F(ShowWriterTest, ACopyMadeByAssignIsWrittenAsTheOriginal)
{
    // Every setting and field the file holds must travel with Assign.
    TConfigVistelo show;
    FillShow(show);
    TConfigVistelo copy;
    copy.Assign(&show);
    EXPECT_EQ(Save(copy, "copy.vsf"), Save(show, "original.vsf"));
}

TEST_F(ShowWriterTest, TextIsStoredAsWindows1252WhereItFitsAndComesBackUnchanged)
{
    // The first two are Windows-1252 whose bytes would also be valid UTF-8;
    // the others do not fit Windows-1252 and are stored as marked UTF-8.
    struct Case {
        std::string text;
        std::string stored;
    };
    const Case cases[] = {
        {"Viel Spa\u00DF\u2026", "Viel Spa\xDF\x85"},
        {"Gru\u00DF\u2013Karte", "Gru\xDF\x96Karte"},
        {"Za\u017C\u00F3\u0142\u0107 g\u0119\u015Bl\u0105 ja\u017A\u0144",
         "\xEF\xBB\xBF"
         "Za\u017C\u00F3\u0142\u0107 g\u0119\u015Bl\u0105 ja\u017A\u0144"},
        {"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC",
         "\xEF\xBB\xBF"
         "\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TConfigVistelo show;
        TPicInfoObject entry;
        entry.Comments = c.text;
        entry.CommentFont->SetName(c.text);
        show.AddDia(entry);
        show.AboutText = c.text;
        const std::vector<std::uint8_t> saved = Save(show);
        const std::vector<Chunk> chunks = ChunksOf(saved);
        ASSERT_EQ(IdsOf(chunks), (std::vector<std::int32_t>{275, 256, 274, 257, 258}));
        EXPECT_EQ(chunks[0].payload, Bytes().Str(c.stored).data);
        Entry expected = DefaultEntry();
        expected.Comments = c.stored;
        EXPECT_EQ(chunks[3].payload, PictureListPayload({expected}).data);

        TVistelo loaded;
        ASSERT_EQ(loaded.LoadFromFile(PathOf("show.vsf"), false, false), dlrOK);
        EXPECT_EQ(loaded.AboutText, c.text);
        ASSERT_EQ(loaded.Count, 1);
        EXPECT_EQ(loaded.GetPicInfo(0)->Comments, c.text);
        EXPECT_EQ(loaded.GetPicInfo(0)->CommentFont->Name(), c.text);
        // Saved again, the file is the same.
        TConfigVistelo again;
        again.Assign(&loaded);
        EXPECT_EQ(Save(again, "again.vsf"), saved);
    }
}

TEST_F(ShowWriterTest, ThumbnailChunksFollowThePreference)
{
    TConfigVistelo show;
    for (int i = 0; i < 3; ++i) {
        TPicInfoObject entry;
        entry.DateSum = 100 + i;
        if (i != 1)
            entry.Thumbnail.SetThumbnail(SmallJpeg(4 + i, 4));
        show.AddDia(entry);
    }
    VisteloSetup::CatalogSaveThumbNailsInVistelo = true;
    std::vector<Chunk> chunks = ChunksOf(Save(show));
    ASSERT_EQ(IdsOf(chunks), (std::vector<std::int32_t>{275, 256, 274, 257, 258, 272, 272}));
    for (size_t k = 0; k < 2; ++k) {
        const std::int32_t index = k == 0 ? 0 : 2;
        const std::vector<std::uint8_t>& payload = chunks[5 + k].payload;
        EXPECT_EQ(Int32At(payload, 0), index);
        EXPECT_EQ(Int32At(payload, 4), 100 + index);
        EXPECT_EQ(std::vector<std::uint8_t>(payload.begin() + 8, payload.end()),
                  show.GetPicInfo(index)->Thumbnail.GetThumbnail()->Data());
    }

    VisteloSetup::CatalogSaveThumbNailsInVistelo = false;
    chunks = ChunksOf(Save(show));
    EXPECT_EQ(IdsOf(chunks), (std::vector<std::int32_t>{275, 256, 274, 257, 258}));

    // Empty named lists write no chunk either.
    show.StringLists = std::make_unique<TStringList>();
    EXPECT_EQ(IdsOf(ChunksOf(Save(show))), (std::vector<std::int32_t>{275, 256, 274, 257, 258}));
}

TEST_F(ShowWriterTest, AnEntryWithoutFontWritesMinusOne)
{
    TConfigVistelo show;
    TPicInfoObject entry;
    entry.CommentFont.reset();
    show.AddDia(entry);
    const std::vector<Chunk> chunks = ChunksOf(Save(show));
    Entry expected = DefaultEntry();
    expected.Font = Bytes().I32(-1);
    EXPECT_EQ(chunks[4].payload, DetailsPayload({expected}).data);
}

TEST_F(ShowWriterTest, SavingLeavesTheShowUnchanged)
{
    TConfigVistelo show;
    FillShow(show);
    const std::vector<std::int32_t> order = show.Order;
    const std::vector<std::uint8_t> thumbnail = show.GetPicInfo(0)->Thumbnail.GetThumbnail()->Data();
    Save(show);
    EXPECT_EQ(show.Order, order);
    EXPECT_EQ(show.Count, 2);
    EXPECT_EQ(show.GetPicInfo(0)->Thumbnail.GetThumbnail()->Data(), thumbnail);
}

TEST_F(ShowWriterTest, AFailedSaveReturnsFalseAndKeepsTheOldFile)
{
    TConfigVistelo old;
    old.AboutText = "die alte Vistelo";
    const std::vector<std::uint8_t> oldBytes = Save(old);

    TConfigVistelo bigger;
    FillShow(bigger);
    bool saved = true;
    WithFileSizeLimit(200, [&] { saved = bigger.SaveToFile(PathOf("show.vsf")); });
    EXPECT_FALSE(saved);
    EXPECT_EQ(Read("show.vsf"), oldBytes);
    // Nothing is left behind beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);

    EXPECT_FALSE(bigger.SaveToFile(PathOf("no such folder/show.vsf")));
}

TEST_F(ShowWriterTest, ASaveIntoAnUnwritableFolderReturnsFalse)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "folder permissions do not bind root";
    TConfigVistelo old;
    const std::vector<std::uint8_t> oldBytes = Save(old);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    TConfigVistelo show;
    FillShow(show);
    const bool saved = show.SaveToFile(PathOf("show.vsf"));
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    EXPECT_FALSE(saved);
    EXPECT_EQ(Read("show.vsf"), oldBytes);
}

// showdump prints what the reader made of a file; a show that survives a
// second save and load prints the same.
std::string ShowDump(const std::string& options, const std::string& fileName)
{
    const std::string command = std::string(VISTELO_SHOWDUMP) + " " + options + " '" + fileName + "'";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        output += buffer;
    if (pipe != nullptr)
        pclose(pipe);
    return output;
}

TEST_F(ShowWriterTest, ShowDumpSeesTheSameShowAfterASecondRoundTrip)
{
    TConfigVistelo show;
    FillShow(show);
    show.SetRandomOrder(false); // each load would shuffle anew
    Save(show, "first.vsf");
    const std::string first = ShowDump("", PathOf("first.vsf"));
    ASSERT_NE(first.find("\"result\":\"dlrOK\""), std::string::npos) << first;
    EXPECT_NE(first.find("\"AboutText\":\"\u00A9 Ostrelind, \u20AC 5\""), std::string::npos);
    EXPECT_NE(first.find("\"CommentFont\":{\"Name\":\"Courier New\",\"Size\":9,\"Color\":8388608,\"Style\":12}"),
              std::string::npos);
    EXPECT_NE(first.find("\"EffectColor1\":2147483663"), std::string::npos); // clBtnFace, unsigned
    EXPECT_NE(first.find("\"Placement\":\"spBottomLeft\""), std::string::npos);
    EXPECT_NE(first.find("\"Left\":0.25,\"Top\":0.33333333333333331"), std::string::npos);
    const std::vector<std::uint8_t>& thumbnail = show.GetPicInfo(0)->Thumbnail.GetThumbnail()->Data();
    EXPECT_NE(first.find("\"Thumbnail\":{\"length\":" + std::to_string(thumbnail.size()) + ",\"sha256\":"),
              std::string::npos);

    TConfigVistelo again;
    ASSERT_EQ(again.LoadFromFile(PathOf("first.vsf"), false, false), dlrOK);
    Save(again, "second.vsf");
    EXPECT_EQ(ShowDump("", PathOf("second.vsf")), first);

    const std::string infoOnly = ShowDump("--only-info", PathOf("first.vsf"));
    EXPECT_NE(infoOnly.find("\"Count\":0,\"Pictures\":[]"), std::string::npos) << infoOnly;
    const std::string noThumbnails = ShowDump("--no-thumbnails", PathOf("first.vsf"));
    EXPECT_NE(noThumbnails.find("\"HasThumbnails\":false"), std::string::npos);
    EXPECT_EQ(noThumbnails.find("\"Thumbnail\":{"), std::string::npos);
}

TEST_F(ShowWriterTest, ShowDumpHashesTheStoredBytes)
{
    // SHA-256 of "abc", stored as the info picture's bytes.
    Write("abc.vsf", ShowFile(513, {{274, InfoPayload("", "", 0, {'a', 'b', 'c'})}}));
    EXPECT_NE(ShowDump("", PathOf("abc.vsf"))
                  .find("\"InfoPicture\":{\"length\":3,\"sha256\":"
                        "\"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\"}"),
              std::string::npos);
}

} // namespace
