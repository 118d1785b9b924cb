// The HTML writer: line breaks before tags, indentation of nested blocks,
// lines shared by inline writes, the entity tables and their order, and the
// error of a close without an open block.

#include "editor/tools/HTMLTools.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "tests/editor/EditorScratch.h"

namespace {

std::string Written(const std::function<void(THTML&)>& write)
{
    EditorScratch scratch;
    const std::string name = scratch.Path("page.htm");
    {
        THTML html(name);
        write(html);
        html.Close();
    }
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(HTMLToolsTest, LayoutOfBlocksAndLines)
{
    struct Case {
        const char* Name;
        std::function<void(THTML&)> Write;
        std::string Expected;
    };
    const Case cases[] = {
        {"an empty page has no line break at its end", [](THTML&) {}, "<HTML>\r\n</HTML>"},
        {"a link with no text shows its address on the line of its tag", [](THTML& h) { h.WriteLink("x", ""); },
         "<HTML>\r\n<A HREF=\"x\">x</A>\r\n</HTML>"},
        {"nested blocks indent by their step, the body by none",
         [](THTML& h) {
             h.OpenBlockPlain("HEAD");
             h.WriteMeta("author", "A");
             h.CloseBlock();
             h.OpenBody("", 0x00C0C0C0, 0, 0x00EE0000, 0x00FFFFFF, 0x008B1A85);
             h.OpenBlockPlain("H1");
             h.WriteText("Bilder");
         },
         "<HTML>\r\n<HEAD>\r\n  <META NAME=\"author\" CONTENT=\"A\">\r\n</HEAD>\r\n"
         "<BODY BACKGROUND=\"\" BGCOLOR=\"#C0C0C0\" TEXT=\"#000000\" LINK=\"#0000EE\" ALINK=\"#FFFFFF\" "
         "VLINK=\"#851A8B\">\r\n<H1>\r\n  Bilder\r\n</H1>\r\n</BODY>\r\n</HTML>"},
        {"a text line ends in a break on its own line", [](THTML& h) { h.WriteTextLine("Hallo"); },
         "<HTML>\r\nHallo<BR>\r\n</HTML>"},
        {"inline writes share the line of the write before them",
         [](THTML& h) {
             h.WriteTag("HR");
             h.BeginInline();
             h.WriteLink("a.htm", "eins");
             h.WriteText("zwei");
             h.EndInline();
             h.EndInline(); // never below zero
             h.WriteBR();
         },
         "<HTML>\r\n<HR><A HREF=\"a.htm\">eins</A>zwei\r\n<BR>\r\n</HTML>"},
        {"the same-line switch holds for one write",
         [](THTML& h) {
             h.WriteTag("IMG");
             h.SetSameLine();
             h.WriteBR();
             h.WriteBR();
         },
         "<HTML>\r\n<IMG><BR>\r\n<BR>\r\n</HTML>"},
        {"without spaces only the line breaks stay",
         [](THTML& h) {
             h.IndentWithSpaces = false;
             h.OpenBlockPlain("TABLE");
             h.WriteTag("TR");
         },
         "<HTML>\r\n<TABLE>\r\n<TR>\r\n</TABLE>\r\n</HTML>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Written(c.Write), c.Expected);
    }
}

TEST(HTMLToolsTest, EntityTables)
{
    using HTMLTools::EncodeText;
    struct Case {
        const char* Text;
        bool Markup;
        bool Letters;
        std::string Expected;
    };
    const Case cases[] = {
        {"Größe <5>", true, true, "Gr&ouml;&szlig;e &lt;5&gt;"},
        {"Größe <5>", false, true, "Gr&ouml;&szlig;e <5>"},
        {"Größe <5>", true, false,
         "Gr\xF6\xDF"
         "e &lt;5&gt;"},
        {"ÆÐÞæðþ©®", true, true, "&AElig;&ETH;&THORN;&aelig;&eth;&thorn;&copy;&reg;"},
        {"àÀéÊõÑåÅçØ", true, true, "&agrave;&Agrave;&eacute;&Ecirc;&otilde;&Ntilde;&aring;&Aring;&ccedil;&Oslash;"},
        {"ýÝÿ", true, true, "\xFD\xDD\xFF"},
        {"\"&\u00AD\u00A1\u00AC\u00AF\u00BF", true, true, "&quot;&amp;&shy;&#161;&#172;&#175;&#191;"},
        {"\u00A9 \u00AE \u00A0", true, false,
         "\xA9 \xAE \xA0"}, // copyright, registered and the hard blank are not markup
        {"€ 5", true, true, "\x80 5"},
        {"中", true, true, "&#20013;"}, // outside Windows-1252
        {"中", false, false, "&#20013;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(EncodeText(c.Text, c.Markup, c.Letters), c.Expected);
    }
}

TEST(HTMLToolsTest, TextAndTagsAreWrittenInWindows1252)
{
    EXPECT_EQ(Written([](THTML& h) {
                  h.ReplaceLetters = false;
                  h.WriteTagWithAttributes("IMG", "ALT=\"Ü\"");
                  h.WriteText("Ä");
              }),
              "<HTML>\r\n<IMG ALT=\"\xDC\">\r\n\xC4\r\n</HTML>");
}

TEST(HTMLToolsTest, ASecondCloseAfterTheLastBlockRaisesAndWritesNothing)
{
    std::string afterError;
    const std::string file = Written([&](THTML& h) {
        h.CloseBlock(); // </HTML>
        try {
            h.CloseBlock();
            ADD_FAILURE() << "no error";
        } catch (const EHTMLException& error) {
            EXPECT_EQ(error.Message, "CloseBlock: Noch gar kein Block geöffnet");
        }
    });
    EXPECT_EQ(file, "<HTML>\r\n</HTML>");
}

TEST(HTMLToolsTest, AFileThatCannotBeCreatedRaises)
{
    EXPECT_THROW(THTML("/nonexistent-folder/page.htm"), EFCreateError);
}

} // namespace
