// The HTML export's settings file: its exact bytes, the round trip, files of
// the plain preset and of other kinds, damaged files, the colour codes, and
// the navigation templates' one safe formatter.

#include "editor/tools/HTMLPreset.h"
#include "editor/tools/HTMLTemplate.h"

#include "core/ZOFile.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/editor/EditorScratch.h"

namespace {

using Bytes = std::string;

void PutInt(Bytes& out, std::int32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
}
void PutText(Bytes& out, const Bytes& ansi)
{
    PutInt(out, static_cast<std::int32_t>(ansi.size()));
    out += ansi;
}
void PutBool(Bytes& out, bool value) { out += static_cast<char>(value ? 1 : 0); }
void PutChunk(Bytes& out, std::int32_t id, const Bytes& body)
{
    out += "CHNK";
    PutInt(out, id);
    PutInt(out, static_cast<std::int32_t>(body.size()) + 12);
    out += body;
}
Bytes Header(std::int32_t format, std::int32_t chunks)
{
    Bytes out = "ZOSF";
    for (std::int32_t value : {0, 65537, format, chunks, 0, 0, 0})
        PutInt(out, value);
    return out;
}

Bytes DefaultBaseChunk()
{
    Bytes body;
    for (std::int32_t color : {0x00C0C0C0, 0x00000000, 0x00EE0000, 0x00FFFFFF, 0x008B1A85})
        PutInt(body, color);
    PutText(body, "");        // background picture
    PutInt(body, 0);          // first stored colour
    PutInt(body, 3);          // stored number
    PutInt(body, 0x00C0C0C0); // second stored colour, before the stored text
    PutText(body, "");
    return body;
}

Bytes DefaultExtraChunk()
{
    Bytes body;
    PutText(body, "Bilder");
    PutText(body,
            "Klicken Sie auf die Bilder, um sie in Originalgr\xF6\xDF"
            "e zu sehen.");
    PutText(body, "");
    PutInt(body, 5);
    PutInt(body, 0);
    PutBool(body, false);
    PutBool(body, false);
    PutBool(body, true);
    PutInt(body, 60);
    PutInt(body, 60);
    PutBool(body, true);
    PutBool(body, true);
    PutInt(body, 5);
    PutBool(body, true);
    PutBool(body, true);
    PutText(body, "pictures");
    PutText(body, "html");
    PutText(body, "c:\\html-vistelo");
    PutBool(body, true);
    PutBool(body, true);
    PutText(body, "index.htm");
    PutText(body,
            "BMP;PNG;PCX;TGA;TIF;TIFF;WMF;EMF;ICO;WIN;VST;VGA;ICB;SGI;RPF;RLE;RLA;RGBA;RGB;"
            "PSD;PDD;PPM;PGM;PBM;PIC;PCD;GIF;DIB;CUT;CEL;BW;PSP;FAX;");
    PutText(body, "JPG;JPEG;");
    PutText(body, "Vistelo");
    PutText(body, "");
    PutText(body, "");
    PutBool(body, true);
    PutInt(body, 3);
    PutBool(body, true);
    PutBool(body, false);
    PutInt(body, 5);
    PutBool(body, true);
    PutText(body, "[<A HREF=\"%s\">Voriges Bild</A>]");
    PutText(body,
            "[<A HREF=\"%s\">Zur\xFC"
            "ck zur \xDC"
            "bersicht</A>]");
    PutText(body,
            "[<A HREF=\"%s\">N\xE4"
            "chstes Bild</A>]");
    PutBool(body, false);
    PutBool(body, true);
    PutBool(body, false);
    body += Bytes("\x01\x28\x01\x28", 4); // progressive, quality 40, twice
    return body;
}

Bytes ReadAll(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& name, const Bytes& bytes) { std::ofstream(name, std::ios::binary) << bytes; }

TEST(HTMLPresetTest, TheDefaultFileHasItsExactBytes)
{
    EditorScratch scratch;
    const std::string name = scratch.Path("default.HTMLPreset");
    TMyHTMLPreset().SaveToFile(name);

    Bytes expected = Header(1025, 2);
    PutChunk(expected, 256, DefaultBaseChunk());
    PutChunk(expected, 257, DefaultExtraChunk());
    EXPECT_EQ(expected.size(), 558u);
    EXPECT_EQ(ReadAll(name), expected);
}

TEST(HTMLPresetTest, EveryChangedFieldSurvivesTheRoundTrip)
{
    EditorScratch scratch;
    const std::string name = scratch.Path("all.HTMLPreset");
    TMyHTMLPreset written;
    written.BGColor = 0x00010203;
    written.TextColor = 0x00040506;
    written.LinkColor = 0x00070809;
    written.ALinkColor = 0x000A0B0C;
    written.VLinkColor = 0x000D0E0F;
    written.BGPicture = "/home/ana/Hintergrund ä.jpg";
    written.StoredColor1 = 0x00111111;
    written.StoredNumber = -7;
    written.StoredText = "Notiz";
    written.StoredColor2 = 0x00222222;
    written.TabHeadLine = "Urlaub";
    written.TabUserText1 = "oben";
    written.TabUserText2 = "unten €";
    written.TabCols = 8;
    written.TabBorderWidth = 2;
    written.ShowPicNames = true;
    written.ShowDescription = true;
    written.ShowThumbNails = false;
    written.ThumbWidth = 120;
    written.ThumbHeight = 100;
    written.ThumbKeepProportions = false;
    written.ThumbShadow = false;
    written.ThumbShadowWidth = 9;
    written.TabIndex = false;
    written.PicturePage = true;
    written.PicDir = "bilder";
    written.HTMLDir = "seiten";
    written.MainDir = "/tmp/web";
    written.UseSubDirs = false;
    written.ForInternet = false;
    written.MainFilename = "start.html";
    written.ConvertExts = "BMP;";
    written.CopyExts = "JPG;PNG;";
    written.PicHeadLine = "Bild";
    written.PicUserText1 = "vorher";
    written.PicUserText2 = "nachher";
    written.PicShowBorder = false;
    written.PicBorderWidth = 7;
    written.PicShowDescription = false;
    written.GenerateShadow = true;
    written.ShadowWidth = 11;
    written.CreateNavigation = false;
    written.NavPrevLink = "<A HREF=\"%s\">zur%%ück</A>";
    written.NavBackLink = "<A HREF=\"%s\">hoch</A>";
    written.NavNextLink = "<A HREF=\"%s\">vor</A>";
    written.NavCenter = true;
    written.PicDivider = false;
    written.TabDivider = true;
    written.PictureJPEG = JPEGCompressionWord::MakeJPEGCompressionWord(90, false);
    written.ThumbJPEG = JPEGCompressionWord::MakeJPEGCompressionWord(55, true);
    written.SaveToFile(name);

    TMyHTMLPreset read;
    read.LoadFromFile(name);
    TMyHTMLPreset copy = read; // compare field by field through a second save
    const std::string again = scratch.Path("again.HTMLPreset");
    copy.SaveToFile(again);
    EXPECT_EQ(ReadAll(again), ReadAll(name));
    EXPECT_EQ(read.BGPicture, written.BGPicture);
    EXPECT_EQ(read.StoredNumber, -7);
    EXPECT_EQ(read.StoredColor2, 0x00222222);
    EXPECT_EQ(read.TabUserText2, "unten €");
    EXPECT_EQ(read.TabCols, 8);
    EXPECT_FALSE(read.TabIndex);
    EXPECT_EQ(read.MainFilename, "start.html");
    EXPECT_EQ(read.NavPrevLink, written.NavPrevLink);
    EXPECT_EQ(read.PictureJPEG, written.PictureJPEG);
    EXPECT_EQ(read.ThumbJPEG, written.ThumbJPEG);
}

TEST(HTMLPresetTest, APlainPresetsEmptyChunkKeepsTheExtendedFields)
{
    EditorScratch scratch;
    const std::string name = scratch.Path("plain.HTMLPreset");
    THTMLPreset plain;
    plain.BGColor = 0x00123456;
    plain.SaveToFile(name);
    Bytes expected = Header(1025, 2);
    PutChunk(expected, 256, DefaultBaseChunk().replace(0, 4, "\x56\x34\x12\x00", 4));
    PutChunk(expected, 257, "");
    ASSERT_EQ(ReadAll(name), expected);

    TMyHTMLPreset read;
    read.TabHeadLine = "bleibt";
    read.TabCols = 9;
    read.LoadFromFile(name);
    EXPECT_EQ(read.BGColor, 0x00123456);
    EXPECT_EQ(read.TabHeadLine, "bleibt");
    EXPECT_EQ(read.TabCols, 9);
}

TEST(HTMLPresetTest, ChunksOfOtherIdsAreSkipped)
{
    EditorScratch scratch;
    const std::string name = scratch.Path("extra.HTMLPreset");
    Bytes file = Header(1025, 3);
    PutChunk(file, 999, "irgendwas");
    Bytes base = DefaultBaseChunk();
    base.replace(0, 4, "\x01\x00\x00\x00", 4);
    PutChunk(file, 256, base);
    Bytes extra = DefaultExtraChunk();
    extra.replace(4, 6, "Fotos!");
    PutChunk(file, 257, extra);
    WriteAll(name, file);

    TMyHTMLPreset read;
    read.LoadFromFile(name);
    EXPECT_EQ(read.BGColor, 0x00000001);
    EXPECT_EQ(read.TabHeadLine, "Fotos!");
}

TEST(HTMLPresetTest, DamagedOrForeignFilesRaiseTheContainerError)
{
    EditorScratch scratch;
    Bytes complete = Header(1025, 2);
    PutChunk(complete, 256, DefaultBaseChunk());
    PutChunk(complete, 257, DefaultExtraChunk());
    Bytes foreign = complete;
    foreign[12] = 0x01; // format 1281, a show file
    foreign[13] = 0x05;

    struct Case {
        const char* Name;
        Bytes File;
        const char* MessagePart;
    };
    const Case cases[] = {
        {"a show file", foreign, "Diese Datei ist kein HTML-Preset!!!"},
        {"an empty file", "", ""},
        {"no container", Bytes(40, 'x'), ""},
        {"cut inside the second chunk", complete.substr(0, 120), ""},
        {"a chunk longer than the file", complete.substr(0, 32) + "CHNK\x00\x01\x00\x00\xFF\xFF\xFF\x7F", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string name = scratch.Path("bad.HTMLPreset");
        WriteAll(name, c.File);
        TMyHTMLPreset read;
        try {
            read.LoadFromFile(name);
            ADD_FAILURE() << "no error";
        } catch (const EZOFileError& error) {
            EXPECT_NE(error.Message.find(c.MessagePart), std::string::npos) << error.Message;
        }
    }
    EXPECT_THROW(TMyHTMLPreset().LoadFromFile(scratch.Path("missing.HTMLPreset")), EZOFileError);
}

TEST(HTMLPresetTest, ACutFileLeavesTheFieldsReadBeforeTheCutChanged)
{
    EditorScratch scratch;
    const std::string name = scratch.Path("cut.HTMLPreset");
    Bytes file = Header(1025, 2);
    Bytes base = DefaultBaseChunk();
    base.replace(0, 4, "\x01\x00\x00\x00", 4);
    PutChunk(file, 256, base);
    PutChunk(file, 257, DefaultExtraChunk());
    WriteAll(name, file.substr(0, 32 + 52 + 12 + 10 + 20)); // inside the second text of chunk 257

    TMyHTMLPreset read;
    read.TabHeadLine = "vorher";
    EXPECT_THROW(read.LoadFromFile(name), EZOFileError);
    EXPECT_EQ(read.BGColor, 0x00000001);
    EXPECT_EQ(read.TabHeadLine, "Bilder");
}

TEST(HTMLPresetTest, HostileValuesFromAFileAreMadeHarmless)
{
    EditorScratch scratch;
    const std::string name = scratch.Path("hostile.HTMLPreset");
    TMyHTMLPreset hostile;
    hostile.TabCols = 0;
    hostile.ThumbWidth = 1 << 30;
    hostile.ShadowWidth = -4;
    hostile.NavPrevLink = "<A HREF=\"%n\">x</A>";
    hostile.NavBackLink = "<A HREF=\"%s%s\">x</A>";
    hostile.NavNextLink = "<A HREF=\"%d\">x</A>";
    hostile.ThumbJPEG = 0x0001; // quality 0
    hostile.SaveToFile(name);

    TMyHTMLPreset read;
    read.LoadFromFile(name);
    EXPECT_EQ(read.TabCols, 1);
    EXPECT_EQ(read.ThumbWidth, HTMLPreset::MaxThumbSize);
    EXPECT_EQ(read.ShadowWidth, 1);
    EXPECT_EQ(read.NavPrevLink, HTMLPreset::DefaultNavPrevLink);
    EXPECT_EQ(read.NavBackLink, HTMLPreset::DefaultNavBackLink);
    EXPECT_EQ(read.NavNextLink, HTMLPreset::DefaultNavNextLink);
    EXPECT_EQ(JPEGCompressionWord::QualityOf(read.ThumbJPEG), 1);
}

TEST(HTMLPresetTest, ColourCodes)
{
    EXPECT_EQ(HTMLToColor("#FF0000"), 0x000000FF);
    EXPECT_EQ(HTMLToColor("#851a8b"), 0x008B1A85);
    EXPECT_EQ(HTMLToColor("x0000EE"), 0x00EE0000); // the first character is not looked at
    EXPECT_EQ(ColorToHTML(0x000000FF), "#FF0000");
    EXPECT_EQ(ColorToHTML(0x008B1A85), "#851A8B");
    EXPECT_EQ(ColorToHTML(clBtnFace), ColorToHTML(ColorToRGB(clBtnFace)));
    EXPECT_NE(ColorToHTML(clBtnFace), "#000000");

    try {
        HTMLToColor("FF0000");
        ADD_FAILURE();
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message, "Konnte HTML-Code (FF0000) nicht als Farbe interpretieren!!!");
    }
    for (const char* bad : {"#GG0000", "#12345", "#1234567", ""})
        EXPECT_THROW(HTMLToColor(bad), EConvertError) << bad;
}

TEST(HTMLTemplateTest, OnlyOneSlotAndDoubledPercentsAreAccepted)
{
    struct Case {
        const char* Template;
        bool Valid;
        const char* Filled; // with "p2.htm"
    };
    const Case cases[] = {
        {"[<A HREF=\"%s\">Voriges Bild</A>]", true, "[<A HREF=\"p2.htm\">Voriges Bild</A>]"},
        {"%s", true, "p2.htm"},
        {"100%% <A HREF=\"%s\">x</A> %%", true, "100% <A HREF=\"p2.htm\">x</A> %"},
        {"%%s %s", true, "%s p2.htm"},
        {"<A HREF=\"x\">kein Platzhalter</A>", false, nullptr},
        {"%s %s", false, nullptr},
        {"%n%s", false, nullptr},
        {"%d", false, nullptr},
        {"%5s", false, nullptr},
        {"%S", false, nullptr},
        {"%s %", false, nullptr},
        {"", false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Template);
        EXPECT_EQ(HTMLTemplate::IsValidTemplate(c.Template), c.Valid);
        if (c.Valid)
            EXPECT_EQ(HTMLTemplate::FillTemplate(c.Template, "p2.htm"), c.Filled);
        else
            EXPECT_THROW(HTMLTemplate::FillTemplate(c.Template, "p2.htm"), EConvertError);
    }
    // The value itself is never read as a template.
    EXPECT_EQ(HTMLTemplate::FillTemplate("<%s>", "%n%s%%"), "<%n%s%%>");
}

} // namespace
