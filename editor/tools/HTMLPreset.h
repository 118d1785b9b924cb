#pragma once

// The settings of the HTML export and their preset file (".HTMLPreset"): a
// container file of format 1025 whose chunk 256 holds the page colours and
// the background picture (THTMLPreset) and whose chunk 257 holds every other
// setting of the export (TMyHTMLPreset). Also the two conversions between
// colours and HTML colour codes.

#include "editor/controls/JPEGCompressionWord.h"
#include "platform/graphics/Color.h"

#include <cstdint>
#include <string>

class c_zofilewintypes;

namespace HTMLPreset {

constexpr std::int32_t PresetFormat = 1025;
constexpr std::int32_t BaseChunkId = 256;
constexpr std::int32_t ExtraChunkId = 257;

inline constexpr const char* NotAPresetText = "Diese Datei ist kein HTML-Preset!!!";
inline constexpr const char* BadColorText = "Konnte HTML-Code (%s) nicht als Farbe interpretieren!!!";

inline constexpr const char* DefaultNavPrevLink = "[<A HREF=\"%s\">Voriges Bild</A>]";
inline constexpr const char* DefaultNavBackLink = "[<A HREF=\"%s\">Zurück zur Übersicht</A>]";
inline constexpr const char* DefaultNavNextLink = "[<A HREF=\"%s\">Nächstes Bild</A>]";

// The JPEG setting of pictures and thumbnails: progressive, quality 40.
constexpr TJPEGCompressionWord DefaultJPEGWord = JPEGCompressionWord::MakeJPEGCompressionWord(40, true);

// Ranges the export can work with; a loaded file's values are held inside
// them, so a damaged preset cannot make the export divide by zero or ask for
// a picture of absurd size.
constexpr std::int32_t MaxTabCols = 100;
constexpr std::int32_t MaxWidthSetting = 100; // border and shadow widths
constexpr std::int32_t MaxThumbSize = 2000;

} // namespace HTMLPreset

// "#RRGGBB" of the colour (system colours resolved), upper-case digits.
std::string ColorToHTML(TColor Color);
// The colour of a seven-character code; the first character is not looked
// at. Raises EConvertError with HTMLPreset::BadColorText for another length,
// and the hexadecimal reader's EConvertError for a bad digit.
TColor HTMLToColor(const std::string& Text);

class THTMLPreset {
public:
    THTMLPreset();
    virtual ~THTMLPreset() = default;
    THTMLPreset(const THTMLPreset&) = default;
    THTMLPreset& operator=(const THTMLPreset&) = default;

    // Replaces the file only when it was written completely.
    void SaveToFile(const std::string& FileName) const;
    // Reads the file into this object. Fields of chunks the file lacks keep
    // their values; a damaged file raises EZOFileError after the fields read
    // so far were changed.
    void LoadFromFile(const std::string& FileName);

    TColor BGColor;
    TColor TextColor;
    TColor LinkColor;
    TColor ALinkColor;
    TColor VLinkColor;
    std::string BGPicture;
    // Kept for the file's sake only.
    TColor StoredColor1;
    std::int32_t StoredNumber = 3;
    std::string StoredText;
    TColor StoredColor2;

protected:
    virtual void WriteExtraChunk(c_zofilewintypes& File) const;
    virtual void ReadExtraChunk(c_zofilewintypes& File);

private:
    void WriteBaseChunk(c_zofilewintypes& File) const;
    void ReadBaseChunk(c_zofilewintypes& File);
};

class TMyHTMLPreset : public THTMLPreset {
public:
    TMyHTMLPreset();

    std::string TabHeadLine = "Bilder";
    std::string TabUserText1 = "Klicken Sie auf die Bilder, um sie in Originalgröße zu sehen.";
    std::string TabUserText2;
    std::int32_t TabCols = 5;
    std::int32_t TabBorderWidth = 0;
    bool ShowPicNames = false;
    bool ShowDescription = false;
    bool ShowThumbNails = true;
    std::int32_t ThumbWidth = 60;
    std::int32_t ThumbHeight = 60;
    bool ThumbKeepProportions = true;
    bool ThumbShadow = true;
    std::int32_t ThumbShadowWidth = 5;
    bool TabIndex = true;
    bool PicturePage = true;
    std::string PicDir = "pictures";
    std::string HTMLDir = "html";
    // Stored as written; a drive-letter path means a folder under the home
    // folder when the pages are made.
    std::string MainDir = "c:\\html-vistelo";
    bool UseSubDirs = true;
    bool ForInternet = true;
    std::string MainFilename = "index.htm";
    std::string ConvertExts;
    std::string CopyExts;
    std::string PicHeadLine = "Vistelo";
    std::string PicUserText1;
    std::string PicUserText2;
    bool PicShowBorder = true;
    std::int32_t PicBorderWidth = 3;
    bool PicShowDescription = true;
    bool GenerateShadow = false;
    std::int32_t ShadowWidth = 5;
    bool CreateNavigation = true;
    std::string NavPrevLink = HTMLPreset::DefaultNavPrevLink;
    std::string NavBackLink = HTMLPreset::DefaultNavBackLink;
    std::string NavNextLink = HTMLPreset::DefaultNavNextLink;
    bool NavCenter = false;
    bool PicDivider = true;
    bool TabDivider = false;
    TJPEGCompressionWord PictureJPEG = HTMLPreset::DefaultJPEGWord;
    TJPEGCompressionWord ThumbJPEG = HTMLPreset::DefaultJPEGWord;

protected:
    void WriteExtraChunk(c_zofilewintypes& File) const override;
    // A navigation template that is not valid (HTMLTemplate) falls back to
    // its default, and numbers are held inside the export's ranges.
    void ReadExtraChunk(c_zofilewintypes& File) override;
};
