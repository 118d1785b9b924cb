#pragma once

// Text inside the program is UTF-8. Files that store ANSI text hold
// Windows-1252 bytes; these routines convert at that boundary and give the
// letter-case rules of that code page.

#include <string>
#include <string_view>

namespace rtl {

// Windows-1252 bytes to UTF-8. The five bytes 1252 leaves undefined map to
// the C1 control characters of the same value, so every byte survives a round trip.
std::string AnsiToUtf8(std::string_view ansi);

// UTF-8 to Windows-1252. Characters that 1252 cannot hold and bytes that are
// not valid UTF-8 become '?'.
std::string Utf8ToAnsi(std::string_view utf8);

bool IsValidUtf8(std::string_view bytes);

// True when every character of the UTF-8 text has a Windows-1252 byte.
bool FitsAnsi(std::string_view utf8);

// Text of the system's own files (strings of show files, show lists and
// presets, whole ini and registry files). Such text is Windows-1252, except
// text that begins with the UTF-8 byte-order mark: that is UTF-8 after the
// mark. So ANSI text is never taken for UTF-8 by chance ("Spa\xDF\x85" is
// "Spaß…", although its bytes happen to form valid UTF-8), and text outside
// Windows-1252 still survives.
inline constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";

// Stored bytes to UTF-8. A byte after the mark that is not part of valid
// UTF-8 is read as its Windows-1252 character, so the result is always valid.
std::string DecodeFileText(std::string_view bytes);

// UTF-8 to stored bytes: Windows-1252 wherever every character fits (and the
// result does not begin like the mark), otherwise the mark and the UTF-8.
std::string EncodeFileText(std::string_view utf8);

// Text another program hands over in an 8-bit block (dropped file names):
// kept as it is when the bytes are valid UTF-8, otherwise read as
// Windows-1252.
std::string DecodeStoredText(std::string_view bytes);

// Letter case of the characters Windows-1252 knows (ASCII, the Latin-1 letters,
// Š/š, Œ/œ, Ž/ž, Ÿ/ÿ); other characters stay unchanged. 'ß' has no single
// upper-case letter and stays as it is.
std::string AnsiUpperCase(std::string_view utf8);
std::string AnsiLowerCase(std::string_view utf8);

// Three-way comparisons (<0, 0, >0) in German dictionary order: letters first
// compare without accent and case ("Äpfel" sorts between "Apfel" and "Birne",
// "ß" as "ss"), then by accent, then (AnsiCompareStr only) by case. Text
// compares equal only when the characters are equal, up to case for
// AnsiCompareText.
int AnsiCompareStr(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);

} // namespace rtl
