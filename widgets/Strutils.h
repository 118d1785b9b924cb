#pragma once
// Text helpers on byte strings: removing and padding characters, words and
// fields split by a set of delimiter characters, quoting, numbers in other
// bases, Roman numerals, wildcard matching and a key-based XOR scrambling.
// Positions are 1-based; 0 means "not found". Case-insensitive operations and
// comparisons follow the run-time layer's locale rules for UTF-8 text.

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

// A set of byte values, e.g. the delimiters of the word functions.
using TCharSet = std::bitset<256>;

namespace Strutils {

// The set of the given characters: CharSet(" ,[]").
TCharSet CharSet(std::string_view chars);

std::string StrToOem(const std::string& text);
std::string OemToAnsiStr(const std::string& text);
bool IsEmptyStr(const std::string& text, const TCharSet& emptyChars);
std::string ReplaceStr(const std::string& text, const std::string& search, const std::string& replace);
std::string DelChars(const std::string& text, char chr);
std::string DelSpace(const std::string& text);
std::string DelBSpace(const std::string& text);
std::string DelESpace(const std::string& text);
std::string DelRSpace(const std::string& text);
std::string DelSpace1(const std::string& text);
std::string Tab2Space(const std::string& text, int count);
std::string MakeStr(char chr, int count);
std::string MS(char chr, int count);
int NPos(const std::string& search, const std::string& text, int n);
std::string AddChar(char chr, const std::string& text, int length);
std::string AddCharR(char chr, const std::string& text, int length);
std::string LeftStr(const std::string& text, int length);
std::string RightStr(const std::string& text, int length);
std::string CenterStr(const std::string& text, int length);
int CompStr(const std::string& a, const std::string& b);
int CompText(const std::string& a, const std::string& b);
std::string Copy2Symb(const std::string& text, char symb);
std::string Copy2SymbDel(std::string& text, char symb);
std::string Copy2Space(const std::string& text);
std::string Copy2SpaceDel(std::string& text);
std::string AnsiProperCase(const std::string& text, const TCharSet& wordDelims);
int WordCount(const std::string& text, const TCharSet& wordDelims);
int WordPosition(int n, const std::string& text, const TCharSet& wordDelims);
std::string ExtractWord(int n, const std::string& text, const TCharSet& wordDelims);
std::string ExtractWordPos(int n, const std::string& text, const TCharSet& wordDelims, int& pos);
std::string ExtractDelimited(int n, const std::string& text, const TCharSet& delims);
std::string ExtractSubstr(const std::string& text, int& pos, const TCharSet& delims);
bool IsWordPresent(const std::string& word, const std::string& text, const TCharSet& wordDelims);
std::string QuotedString(const std::string& text, char quote);
std::string ExtractQuotedString(const std::string& text, char quote);
std::string Numb2USA(const std::string& digits);
std::string Dec2Hex(int64_t n, int digits);
std::string D2H(int64_t n, int digits);
int64_t Hex2Dec(const std::string& hex);
int64_t H2D(const std::string& hex);
std::string Dec2Numb(int64_t n, int digits, int base);
int64_t Numb2Dec(const std::string& text, int base);
int RomanToInt(const std::string& text);
std::string IntToRoman(int value);
std::string IntToBin(int64_t value, int digits, int group);
int FindPart(const std::string& helpWilds, const std::string& inputStr);
bool IsWild(const std::string& inputStr, const std::string& wilds, bool ignoreCase);
std::string XorString(const std::string& key, const std::string& text);
std::string XorEncode(const std::string& key, const std::string& text);
std::string XorDecode(const std::string& key, const std::string& text);
// The argument after the first one made of a switch character and the switch
// name; an empty switchChars accepts any first character.
std::string GetCmdLineArg(const std::string& switchName, const TCharSet& switchChars);

} // namespace Strutils
