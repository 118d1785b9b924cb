#include "platform/rtl/CodePage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST(CodePage, EveryAnsiByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = rtl::AnsiToUtf8(all);
    EXPECT_TRUE(rtl::IsValidUtf8(utf8));
    EXPECT_TRUE(rtl::FitsAnsi(utf8));
    EXPECT_EQ(rtl::Utf8ToAnsi(utf8), all);
}

TEST(CodePage, MapsTheWindowsRangeAndTheLatinLetters)
{
    struct Case {
        char ansi;
        const char* utf8;
    };
    const Case cases[] = {
        {'\x80', "€"}, {'\x8A', "Š"},        {'\x8C', "Œ"},        {'\x93', "“"},        {'\x96', "–"}, {'\x99', "™"},
        {'\x9F', "Ÿ"}, {'\x81', "\xC2\x81"}, {'\x9D', "\xC2\x9D"}, {'\xA0', "\xC2\xA0"}, {'\xC4', "Ä"}, {'\xD6', "Ö"},
        {'\xDC', "Ü"}, {'\xDF', "ß"},        {'\xE4', "ä"},        {'\xF6', "ö"},        {'\xFC', "ü"}, {'\xFF', "ÿ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(rtl::AnsiToUtf8(std::string(1, c.ansi)), c.utf8);
        EXPECT_EQ(rtl::Utf8ToAnsi(c.utf8), std::string(1, c.ansi));
    }
}

TEST(CodePage, WhatAnsiCannotHoldBecomesAQuestionMark)
{
    EXPECT_EQ(rtl::Utf8ToAnsi("Łódź"),
              "?\xF3"
              "d?");
    EXPECT_EQ(rtl::Utf8ToAnsi("日本"), "??");
    EXPECT_EQ(rtl::Utf8ToAnsi("a\xC3"
                              "b"),
              "a?b"); // cut sequence
    EXPECT_EQ(rtl::Utf8ToAnsi("\xF0\x9F\x98\x80"), "?");
    EXPECT_FALSE(rtl::FitsAnsi("Grüße 日"));
    EXPECT_FALSE(rtl::FitsAnsi("\xFF"));
}

TEST(CodePage, StrictUtf8Validation)
{
    struct Case {
        const char* bytes;
        bool valid;
    };
    const Case cases[] = {
        {"plain", true},
        {"Grüße", true},
        {"\xF0\x9F\x98\x80", true},
        {"\xC3", false},             // cut short
        {"\xC3\x28", false},         // bad continuation
        {"\xC0\xAF", false},         // overlong '/'
        {"\xE0\x80\xAF", false},     // overlong
        {"\xED\xA0\x80", false},     // surrogate
        {"\xF4\x90\x80\x80", false}, // above U+10FFFF
        {"\x80", false},             // lone continuation
        {"\xFF", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(rtl::IsValidUtf8(c.bytes), c.valid);
    }
}

TEST(CodePage, StoredTextIsDecodedAsUtf8OnlyWhenItIsValidUtf8)
{
    struct Case {
        std::string stored;
        std::string text;
    };
    const Case cases[] = {
        {"plain ASCII", "plain ASCII"},
        {"Gr\xFC\xDF"
         "e",
         "Grüße"},          // Windows-1252
        {"Grüße", "Grüße"}, // already UTF-8
        {"\x80 5", "€ 5"},  // 1252 euro sign
        {"Stra\xDF"
         "e \xC3\x28",
         "Straße Ã("},      // invalid UTF-8 read as 1252
        {"\xC0\xAF", "À¯"}, // overlong form read as 1252
        {"日本", "日本"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(rtl::DecodeStoredText(c.stored), c.text);
    }
}

TEST(CodePage, FileTextIsWindows1252UnlessItBeginsWithTheUtf8Mark)
{
    struct Case {
        std::string stored;
        std::string text;
    };
    const Case cases[] = {
        {"plain ASCII", "plain ASCII"},
        // Windows-1252 whose bytes happen to form valid UTF-8 (U+07C5, U+07D6).
        {"Viel Spa\xDF\x85", "Viel Spaß…"},
        {"Gru\xDF\x96Karte", "Gruß–Karte"},
        {"Gr\xC3\xBC\xC3\x9F"
         "e",
         "GrÃ¼ÃŸe"}, // UTF-8 without the mark is read as Windows-1252 too
        {"\xEF\xBB\xBF"
         "Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87",
         "Zażółć"},
        {"\xEF\xBB\xBF", ""},
        {"\xEF\xBB\xBF"
         "a\xC3\x28\xC3\xA4",
         "aÃ(ä"}, // a broken sequence after the mark is read byte by byte
        {"\xEF\xBB", "ï»"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(rtl::DecodeFileText(c.stored), c.text);
    }
}

TEST(CodePage, FileTextIsWrittenAsWindows1252WhereItFitsElseAsMarkedUtf8)
{
    struct Case {
        std::string text;
        std::string stored;
    };
    const Case cases[] = {
        {"Viel Spaß…", "Viel Spa\xDF\x85"},
        {"Gruß–Karte", "Gru\xDF\x96Karte"},
        {"5 €", "5 \x80"},
        {"", ""},
        {"Ελληνικά",
         "\xEF\xBB\xBF"
         "Ελληνικά"},
        {"ï»¿ab",
         "\xEF\xBB\xBF"
         "ï»¿ab"}, // in Windows-1252 it would begin with the mark's bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(rtl::EncodeFileText(c.text), c.stored);
        EXPECT_EQ(rtl::DecodeFileText(c.stored), c.text);
    }
}

TEST(CodePage, LetterCaseCoversTheAnsiLetters)
{
    EXPECT_EQ(rtl::AnsiUpperCase("äöü àé ÿ š œ ž ß µ 日 x"), "ÄÖÜ ÀÉ Ÿ Š Œ Ž ß µ 日 X");
    EXPECT_EQ(rtl::AnsiLowerCase("ÄÖÜ ÀÉ Ÿ Š Œ Ž × 日 X"), "äöü àé ÿ š œ ž × 日 x");
    EXPECT_EQ(rtl::AnsiUpperCase("a\xFF"
                                 "b"),
              "A\xFF"
              "B"); // invalid bytes kept
}

TEST(CodePage, ComparisonFollowsGermanDictionaryOrder)
{
    std::vector<std::string> words = {"Zebra", "Birne",  "Äpfel",   "apfel", "Apfel",
                                      "Ähre",  "Straße", "Strasse", "10",    "1"};
    std::sort(words.begin(), words.end(),
              [](const std::string& a, const std::string& b) { return rtl::AnsiCompareStr(a, b) < 0; });
    const std::vector<std::string> expected = {"1",     "10",    "Ähre",    "Apfel",  "apfel",
                                               "Äpfel", "Birne", "Strasse", "Straße", "Zebra"};
    EXPECT_EQ(words, expected);
}

TEST(CodePage, TextComparisonIgnoresCaseButNotAccents)
{
    EXPECT_EQ(rtl::AnsiCompareText("ÄPFEL", "äpfel"), 0);
    EXPECT_TRUE(rtl::AnsiSameText("Straße", "STRAßE"));
    EXPECT_NE(rtl::AnsiCompareText("Straße", "Strasse"), 0);
    EXPECT_NE(rtl::AnsiCompareText("Apfel", "Äpfel"), 0);
    EXPECT_LT(rtl::AnsiCompareText("apfel", "Birne"), 0);
    EXPECT_GT(rtl::AnsiCompareText("Zebra", "äpfel"), 0);
    EXPECT_NE(rtl::AnsiCompareStr("ÄPFEL", "äpfel"), 0);
    EXPECT_LT(rtl::AnsiCompareText("abc", "abcd"), 0);
}

} // namespace
