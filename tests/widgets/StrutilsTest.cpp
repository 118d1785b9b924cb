#include "widgets/Strutils.h"

#include "widgets/Parameters.h"

#include <gtest/gtest.h>

using namespace Strutils;

namespace {

TEST(StrutilsTest, WordsAndFields)
{
    const TCharSet comma = CharSet(",");
    EXPECT_EQ(WordCount("a,,b", comma), 2);
    EXPECT_EQ(ExtractWord(2, "a,,b", comma), "b");
    EXPECT_EQ(ExtractDelimited(2, "a,,b", comma), "");
    EXPECT_EQ(ExtractDelimited(3, "a,,b", comma), "b");
    EXPECT_EQ(ExtractDelimited(4, "a,,b", comma), "");
    EXPECT_EQ(WordCount(",,,", comma), 0);
    EXPECT_EQ(ExtractWord(1, ",,,", comma), "");

    const TCharSet setDelims = CharSet(" ,[]");
    int pos = -1;
    EXPECT_EQ(ExtractWordPos(3, "[a, b ,c]", setDelims, pos), "c");
    EXPECT_EQ(pos, 8);
    EXPECT_EQ(ExtractWordPos(4, "[a, b ,c]", setDelims, pos), "");
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(WordPosition(2, "  eins zwei", CharSet(" ")), 8);
    EXPECT_TRUE(IsWordPresent("zwei", "eins,zwei", comma));
    EXPECT_FALSE(IsWordPresent("Zwei", "eins,zwei", comma));
    EXPECT_FALSE(IsWordPresent("zwe", "eins,zwei", comma));
}

TEST(StrutilsTest, ExtractSubstrMovesPastTheDelimiter)
{
    const std::string text = "a;bc;;d";
    int pos = 1;
    std::vector<std::string> fields;
    while (pos <= static_cast<int>(text.size()))
        fields.push_back(ExtractSubstr(text, pos, CharSet(";")));
    EXPECT_EQ(fields, (std::vector<std::string>{"a", "bc", "", "d"}));
    EXPECT_EQ(pos, 8);
    EXPECT_EQ(ExtractSubstr(text, pos, CharSet(";")), "");
}

TEST(StrutilsTest, IsWildTable)
{
    const struct {
        const char* text;
        const char* pattern;
        bool ignoreCase;
        bool expected;
    } cases[] = {
        {"report.txt", "*.TXT", true, true},
        {"report.txt", "*.TXT", false, false},
        {"abc", "a?c", false, true},
        {"abc", "", false, false},
        {"", "*", false, true},
        {"", "", false, true},
        {"", "a", false, false},
        {"aa", "a*a*a", false, false},
        {"aaa", "a*a*a", false, true},
        {"abc", "a**c", false, true},
        {"abcd", "a*c", false, false},
        {"abc", "abc*", false, true},
        {"ab", "abc", false, false},
        {"abc", "ab", false, false},
        {"abc", "x*", false, false},
        {"bild.jpg", "*.jpeg", false, false}, // the last segment is longer than the text
        {"a", "*abcdef", false, false},
        {"Ärger.txt", "ä*.TXT", true, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWild(c.text, c.pattern, c.ignoreCase), c.expected) << c.text << " ~ " << c.pattern;
}

TEST(StrutilsTest, FindPartAndNPos)
{
    EXPECT_EQ(FindPart("b?d", "abcde"), 2);
    EXPECT_EQ(FindPart("x", "abc"), 0);
    EXPECT_EQ(FindPart("abcd", "abc"), 0);
    EXPECT_EQ(NPos("aa", "aaaa", 1), 1);
    EXPECT_EQ(NPos("aa", "aaaa", 2), 2); // occurrences overlap
    EXPECT_EQ(NPos("aa", "aaaa", 3), 3);
    EXPECT_EQ(NPos("aa", "aaaa", 4), 0);
    EXPECT_EQ(NPos("", "aaaa", 1), 0);
}

TEST(StrutilsTest, RomanNumerals)
{
    const struct {
        const char* text;
        int value;
    } cases[] = {{"MCMXCIX", 1999}, {"-XIV", -14}, {"XI4", 0}, {"IIII", 4}, {"IC", 99}, {"mmxxvi", 2026}, {"", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(RomanToInt(c.text), c.value) << c.text;
    EXPECT_EQ(IntToRoman(1999), "MCMXCIX");
    EXPECT_EQ(IntToRoman(3444), "MMMCDXLIV");
    EXPECT_EQ(IntToRoman(0), "");
    EXPECT_EQ(IntToRoman(-5), "");
    EXPECT_EQ(RomanToInt(std::string(3000000, 'M')), 0); // beyond the integer range
}

TEST(StrutilsTest, XorScrambling)
{
    EXPECT_EQ(XorEncode("", "abc"), "616263");
    EXPECT_EQ(XorDecode("", "616263"), "abc");
    EXPECT_EQ(XorDecode("", "61zz63"), "a c");
    EXPECT_EQ(XorDecode("", "6162a"), "ab"); // the odd last character is ignored
    EXPECT_EQ(XorEncode("k", ""), "");
    const std::string key = "Schlüssel";
    const std::string text = "Geheimes Passwort äöü\x01";
    const std::string encoded = XorEncode(key, text);
    EXPECT_EQ(encoded.size(), 2 * text.size());
    EXPECT_EQ(encoded.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_EQ(XorDecode(key, encoded), text);
    EXPECT_EQ(XorString("ab", XorString("ab", "hello")), "hello");
    EXPECT_EQ(XorString("", "hello"), "hello");
}

TEST(StrutilsTest, NumbersInOtherBases)
{
    EXPECT_EQ(Numb2USA("123"), "123");
    EXPECT_EQ(Numb2USA("1234"), "1,234");
    EXPECT_EQ(Numb2USA("1234567"), "1,234,567");
    EXPECT_EQ(Numb2USA(""), "");
    EXPECT_EQ(Dec2Numb(255, 4, 16), "00FF");
    EXPECT_EQ(Dec2Numb(-1, 0, 16), "FFFFFFFF");
    EXPECT_EQ(Dec2Numb(0, 0, 2), "0");
    EXPECT_EQ(Dec2Numb(35, 1, 36), "Z");
    EXPECT_EQ(Dec2Numb(5, 1, 1), ""); // no such base
    EXPECT_EQ(Numb2Dec("FF", 16), 255);
    EXPECT_EQ(Numb2Dec("zz", 36), 35 * 36 + 35);
    EXPECT_EQ(Numb2Dec("101", 2), 5);
    EXPECT_EQ(Dec2Hex(255, 4), "00FF");
    EXPECT_EQ(Dec2Hex(-1, 1), "FFFFFFFF");
    EXPECT_EQ(Hex2Dec("$1A"), 26);
    EXPECT_EQ(Hex2Dec("1a"), 26);
    EXPECT_EQ(Hex2Dec("1$A"), 0);
    EXPECT_EQ(Hex2Dec("xyz"), 0);
    EXPECT_EQ(Hex2Dec(""), 0);
    EXPECT_EQ(IntToBin(0xA5, 8, 4), " 1010 0101");
    EXPECT_EQ(IntToBin(5, 3, 8), "101");
    EXPECT_EQ(IntToBin(-1, 40, 0), std::string(32, '1'));
}

TEST(StrutilsTest, PaddingAndBlanks)
{
    EXPECT_EQ(CenterStr("ab", 7), "  ab   ");
    EXPECT_EQ(CenterStr("abcdefgh", 7), "abcdefgh");
    EXPECT_EQ(AddChar('0', "42", 5), "00042");
    EXPECT_EQ(AddCharR('.', "42", 4), "42..");
    EXPECT_EQ(LeftStr("toolong", 3), "toolong");
    EXPECT_EQ(RightStr("7", 3), "  7");
    EXPECT_EQ(MakeStr('x', -2), "");
    EXPECT_EQ(DelSpace1("  a   b "), " a b ");
    EXPECT_EQ(DelRSpace("  a b  "), "a b");
    EXPECT_EQ(DelBSpace("   "), "");
    EXPECT_EQ(DelESpace("   "), "");
    EXPECT_EQ(DelSpace(" a b "), "ab");
    EXPECT_EQ(DelChars("a-b-c", '-'), "abc");
    EXPECT_EQ(Tab2Space("a\tb", 3), "a   b");
    EXPECT_TRUE(IsEmptyStr("", CharSet(" ")));
    EXPECT_TRUE(IsEmptyStr(" \t ", CharSet(" \t")));
    EXPECT_FALSE(IsEmptyStr(" x ", CharSet(" ")));
}

TEST(StrutilsTest, ReplaceAndQuote)
{
    EXPECT_EQ(ReplaceStr("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceStr("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceStr("abab", "ab", "abab"), "abababab"); // the replacement is not scanned again
    EXPECT_EQ(QuotedString("it's", '\''), "'it''s'");
    EXPECT_EQ(ExtractQuotedString("'it''s' rest", '\''), "it's");
    EXPECT_EQ(ExtractQuotedString("plain", '\''), "plain");
    EXPECT_EQ(ExtractQuotedString("'open", '\''), "open");
}

TEST(StrutilsTest, CopyToSymbol)
{
    std::string text = "Name = Wert";
    EXPECT_EQ(Copy2SymbDel(text, '='), "Name ");
    EXPECT_EQ(text, "= Wert");
    text = "eins zwei";
    EXPECT_EQ(Copy2SpaceDel(text), "eins");
    EXPECT_EQ(text, "zwei");
    EXPECT_EQ(Copy2SpaceDel(text), "zwei");
    EXPECT_EQ(text, "");
    EXPECT_EQ(Copy2Symb("abc", 'x'), "abc");
}

TEST(StrutilsTest, LocaleCaseAndComparison)
{
    EXPECT_EQ(AnsiProperCase("hALLO wELT-öl", CharSet(" -")), "Hallo Welt-Öl");
    EXPECT_EQ(CompText("äpfel", "ÄPFEL"), 0);
    EXPECT_NE(CompStr("äpfel", "ÄPFEL"), 0);
    EXPECT_EQ(CompStr("a", "b"), -1);
    EXPECT_EQ(CompStr("b", "a"), 1);
}

TEST(StrutilsTest, GetCmdLineArgFindsTheFollowingArgument)
{
    Parameters::SetPlatformArguments({"prog", "-ini", "a.ini", "/Log"});
    EXPECT_EQ(GetCmdLineArg("INI", CharSet("-/")), "a.ini");
    EXPECT_EQ(GetCmdLineArg("ini", CharSet("/")), "");
    EXPECT_EQ(GetCmdLineArg("log", CharSet("-/")), ""); // the last argument has nothing after it
    EXPECT_EQ(GetCmdLineArg("ini", TCharSet()), "a.ini");
    EXPECT_EQ(GetCmdLineArg("missing", TCharSet()), "");
}

} // namespace
