#include "editor/tools/HTMLPreset.h"

#include "core/ContainerSave.h"
#include "core/Tools.h"
#include "core/ZOFileWinTypes.h"
#include "editor/app/AddPictures.h"
#include "editor/tools/HTMLTemplate.h"
#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string FormatBadColor(const std::string& Text)
{
    std::string message = HTMLPreset::BadColorText;
    message.replace(message.find("%s"), 2, Text);
    return message;
}

// The JPEG word on disk: the progressive switch, then the quality.
void WriteJPEGWord(c_zofile& File, TJPEGCompressionWord Word)
{
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(Word & 0xFF), static_cast<std::uint8_t>(Word >> 8)};
    File.write_data(bytes, 2);
}

TJPEGCompressionWord ReadJPEGWord(c_zofile& File)
{
    std::uint8_t bytes[2] = {};
    File.read_data(bytes, 2);
    const int quality = std::clamp<int>(bytes[1], 1, 100);
    return JPEGCompressionWord::MakeJPEGCompressionWord(quality, bytes[0] != 0);
}

std::int32_t ReadInRange(c_zofile& File, std::int32_t Low, std::int32_t High)
{
    return std::clamp(File.read_int(), Low, High);
}

std::string ReadTemplate(c_zofile& File, const char* Default)
{
    std::string text = File.read_string();
    return HTMLTemplate::IsValidTemplate(text) ? text : Default;
}

} // namespace

std::string ColorToHTML(TColor Color)
{
    const auto rgb = static_cast<std::uint32_t>(gfx::ColorToRGB(Color));
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
    return text;
}

TColor HTMLToColor(const std::string& Text)
{
    if (Text.size() != 7)
        throw EConvertError(FormatBadColor(Text));
    const std::int32_t red = Tools::HexToInt(Text.substr(1, 2));
    const std::int32_t green = Tools::HexToInt(Text.substr(3, 2));
    const std::int32_t blue = Tools::HexToInt(Text.substr(5, 2));
    return gfx::RGB(red, green, blue);
}

THTMLPreset::THTMLPreset()
    : BGColor(HTMLToColor("#C0C0C0")), TextColor(HTMLToColor("#000000")), LinkColor(HTMLToColor("#0000EE")),
      ALinkColor(HTMLToColor("#FFFFFF")), VLinkColor(HTMLToColor("#851A8B")), StoredColor1(HTMLToColor("#000000")),
      StoredColor2(BGColor)
{ }

void THTMLPreset::SaveToFile(const std::string& FileName) const
{
    const ContainerSave::TContainerKind kind{zoDefaultHeaderValue, HTMLPreset::PresetFormat, 0};
    ContainerSave::SaveContainer(FileName, kind, [this](c_zofilewintypes& file) {
        ContainerSave::WriteChunk(file, HTMLPreset::BaseChunkId, [&] { WriteBaseChunk(file); });
        ContainerSave::WriteChunk(file, HTMLPreset::ExtraChunkId, [&] { WriteExtraChunk(file); });
    });
}

void THTMLPreset::LoadFromFile(const std::string& FileName)
{
    c_zofilewintypes file(FileName, zoRead);
    if (file.header.format != HTMLPreset::PresetFormat)
        throw EZOFileError(FileName, HTMLPreset::NotAPresetText);
    for (std::int32_t i = 0; i < file.chunkcount; ++i) {
        const std::int64_t start = file.get_file_position();
        s_chunk_header chunk;
        file.read_chunk_header(chunk);
        if (chunk.id == HTMLPreset::BaseChunkId)
            ReadBaseChunk(file);
        else if (chunk.id == HTMLPreset::ExtraChunkId && chunk.length > zoChunkHeaderSize)
            ReadExtraChunk(file); // a plain preset's chunk is empty: the extended fields stay
        file.set_file_position(start + chunk.length);
    }
}

// The stored order differs from the fields' order: the second stored colour
// comes before the stored text.
void THTMLPreset::WriteBaseChunk(c_zofilewintypes& File) const
{
    for (TColor color : {BGColor, TextColor, LinkColor, ALinkColor, VLinkColor})
        File.write_TColor(color);
    File.write_string(BGPicture);
    File.write_TColor(StoredColor1);
    File.write_int(StoredNumber);
    File.write_TColor(StoredColor2);
    File.write_string(StoredText);
}

void THTMLPreset::ReadBaseChunk(c_zofilewintypes& File)
{
    for (TColor* color : {&BGColor, &TextColor, &LinkColor, &ALinkColor, &VLinkColor})
        File.read_TColor(*color);
    BGPicture = File.read_string();
    File.read_TColor(StoredColor1);
    StoredNumber = File.read_int();
    File.read_TColor(StoredColor2);
    StoredText = File.read_string();
}

void THTMLPreset::WriteExtraChunk(c_zofilewintypes&) const { }

void THTMLPreset::ReadExtraChunk(c_zofilewintypes&) { }

TMyHTMLPreset::TMyHTMLPreset()
{
    // The editor's picture extensions: JPEG files are copied, all others converted.
    for (const std::string& ext : AddPictures::SupportedPictureExts())
        (ext == "JPG" || ext == "JPEG" ? CopyExts : ConvertExts) += ext + ";";
}

void TMyHTMLPreset::WriteExtraChunk(c_zofilewintypes& File) const
{
    File.write_string(TabHeadLine);
    File.write_string(TabUserText1);
    File.write_string(TabUserText2);
    File.write_int(TabCols);
    File.write_int(TabBorderWidth);
    File.write_bool(ShowPicNames);
    File.write_bool(ShowDescription);
    File.write_bool(ShowThumbNails);
    File.write_int(ThumbWidth);
    File.write_int(ThumbHeight);
    File.write_bool(ThumbKeepProportions);
    File.write_bool(ThumbShadow);
    File.write_int(ThumbShadowWidth);
    File.write_bool(TabIndex);
    File.write_bool(PicturePage);
    File.write_string(PicDir);
    File.write_string(HTMLDir);
    File.write_string(MainDir);
    File.write_bool(UseSubDirs);
    File.write_bool(ForInternet);
    File.write_string(MainFilename);
    File.write_string(ConvertExts);
    File.write_string(CopyExts);
    File.write_string(PicHeadLine);
    File.write_string(PicUserText1);
    File.write_string(PicUserText2);
    File.write_bool(PicShowBorder);
    File.write_int(PicBorderWidth);
    File.write_bool(PicShowDescription);
    File.write_bool(GenerateShadow);
    File.write_int(ShadowWidth);
    File.write_bool(CreateNavigation);
    File.write_string(NavPrevLink);
    File.write_string(NavBackLink);
    File.write_string(NavNextLink);
    File.write_bool(NavCenter);
    File.write_bool(PicDivider);
    File.write_bool(TabDivider);
    WriteJPEGWord(File, PictureJPEG);
    WriteJPEGWord(File, ThumbJPEG);
}

void TMyHTMLPreset::ReadExtraChunk(c_zofilewintypes& File)
{
    using namespace HTMLPreset;
    TabHeadLine = File.read_string();
    TabUserText1 = File.read_string();
    TabUserText2 = File.read_string();
    TabCols = ReadInRange(File, 1, MaxTabCols);
    TabBorderWidth = ReadInRange(File, 0, MaxWidthSetting);
    ShowPicNames = File.read_bool();
    ShowDescription = File.read_bool();
    ShowThumbNails = File.read_bool();
    ThumbWidth = ReadInRange(File, 1, MaxThumbSize);
    ThumbHeight = ReadInRange(File, 1, MaxThumbSize);
    ThumbKeepProportions = File.read_bool();
    ThumbShadow = File.read_bool();
    ThumbShadowWidth = ReadInRange(File, 0, MaxWidthSetting);
    TabIndex = File.read_bool();
    PicturePage = File.read_bool();
    PicDir = File.read_string();
    HTMLDir = File.read_string();
    MainDir = File.read_string();
    UseSubDirs = File.read_bool();
    ForInternet = File.read_bool();
    MainFilename = File.read_string();
    ConvertExts = File.read_string();
    CopyExts = File.read_string();
    PicHeadLine = File.read_string();
    PicUserText1 = File.read_string();
    PicUserText2 = File.read_string();
    PicShowBorder = File.read_bool();
    PicBorderWidth = ReadInRange(File, 1, MaxWidthSetting);
    PicShowDescription = File.read_bool();
    GenerateShadow = File.read_bool();
    ShadowWidth = ReadInRange(File, 1, MaxWidthSetting);
    CreateNavigation = File.read_bool();
    NavPrevLink = ReadTemplate(File, DefaultNavPrevLink);
    NavBackLink = ReadTemplate(File, DefaultNavBackLink);
    NavNextLink = ReadTemplate(File, DefaultNavNextLink);
    NavCenter = File.read_bool();
    PicDivider = File.read_bool();
    TabDivider = File.read_bool();
    PictureJPEG = ReadJPEGWord(File);
    ThumbJPEG = ReadJPEGWord(File);
}
