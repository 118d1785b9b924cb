#pragma once

// The collection of web addresses offered for background music: the data
// file "murls.dat" beside the program, Windows-1252 text of fields separated
// by "|", taken in pairs of title and address. Line breaks carry no meaning,
// so an entry may span lines.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace MusicLinks {

struct TLink {
    std::string Title;
    std::string Address;

    bool operator==(const TLink&) const = default;
};

inline constexpr char DataFileName[] = "murls.dat";
// Where the single stand-in entry points when the data file cannot be read.
inline constexpr char DefaultAddress[] = "https://vistelo.example/";
// Larger data files are not read: the collection is a short list.
inline constexpr std::uintmax_t MaxFileSize = 1 << 20;

// The text with every carriage return and line feed taken out.
std::string RemoveLineBreaks(std::string_view text);

// The entries of the text, in order: each title with the field after it. A
// title without an address at the end is dropped; fields keep their blanks,
// and an empty field is a valid empty title or address.
std::vector<TLink> Parse(std::string_view text);

// The text of the data file as UTF-8 without line breaks. A file that cannot
// be read (missing, unreadable, too large) gives the text of one entry that
// names the file and points to DefaultAddress.
std::string ReadText(const std::string& fileName);

} // namespace MusicLinks
