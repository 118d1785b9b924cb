// showdump [--only-info] [--no-thumbnails] FILE
//
// Loads a show (or, by the extension ".vsl", a show list) through the
// system's readers and prints the load result and every field of what was
// read as one JSON object: {"result": ..., "show": {...}} or
// {"result": ..., "list": {...}}. Text is UTF-8, colours are unsigned
// numbers, enumerations and results are named, sets are the integer of their
// bits, fonts are {"Name", "Size", "Color", "Style"}, 80-bit floats the
// nearest double and embedded JPEGs {"length", "sha256"} of the stored bytes.
// A show's output also carries "RandomBlendings", the process-wide set of
// random transitions that every show read replaces (the integer of its bits).
// A test utility: built with the tests, not installed.

#include "core/Blendings.h"
#include "core/VisteloList.h"
#include "core/VisteloNPics.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Dialogs.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// SHA-256 of a byte string, as lower-case hex.
class Sha256 {
public:
    static std::string Hex(const std::vector<std::uint8_t>& bytes)
    {
        Sha256 sha;
        std::vector<std::uint8_t> message = bytes;
        const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
        message.push_back(0x80);
        while (message.size() % 64 != 56)
            message.push_back(0);
        for (int i = 7; i >= 0; --i)
            message.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
        for (size_t block = 0; block < message.size(); block += 64)
            sha.Compress(&message[block]);
        std::string hex;
        for (std::uint32_t word : sha.state_) {
            char part[9];
            std::snprintf(part, sizeof part, "%08x", word);
            hex += part;
        }
        return hex;
    }

private:
    static std::uint32_t Rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

    void Compress(const std::uint8_t* block)
    {
        static constexpr std::uint32_t k[64] = {
            0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
            0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
            0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
            0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
            0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
            0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
            0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
            0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
        std::uint32_t w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = std::uint32_t{block[4 * i]} << 24 | std::uint32_t{block[4 * i + 1]} << 16 |
                std::uint32_t{block[4 * i + 2]} << 8 | block[4 * i + 3];
        for (int i = 16; i < 64; ++i) {
            const std::uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        std::array<std::uint32_t, 8> v = state_;
        for (int i = 0; i < 64; ++i) {
            const std::uint32_t s1 = Rotr(v[4], 6) ^ Rotr(v[4], 11) ^ Rotr(v[4], 25);
            const std::uint32_t choice = (v[4] & v[5]) ^ (~v[4] & v[6]);
            const std::uint32_t t1 = v[7] + s1 + choice + k[i] + w[i];
            const std::uint32_t s0 = Rotr(v[0], 2) ^ Rotr(v[0], 13) ^ Rotr(v[0], 22);
            const std::uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
            v = {t1 + s0 + majority, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
        }
        for (size_t i = 0; i < state_.size(); ++i)
            state_[i] += v[i];
    }

    std::array<std::uint32_t, 8> state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
};

// Writes one JSON object, member by member.
class Json {
public:
    std::string Text() const { return text_ + "}"; }

    Json& Str(std::string_view key, std::string_view value) { return Raw(key, Quoted(value)); }
    Json& Int(std::string_view key, std::int64_t value) { return Raw(key, std::to_string(value)); }
    Json& Bool(std::string_view key, bool value) { return Raw(key, value ? "true" : "false"); }
    Json& Color(std::string_view key, TColor value) { return Int(key, static_cast<std::uint32_t>(value)); }
    Json& Double(std::string_view key, double value)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", value);
        return Raw(key, text);
    }
    Json& Raw(std::string_view key, std::string_view value)
    {
        text_ += text_.size() > 1 ? "," : "";
        text_ += Quoted(key) + ":" + std::string(value);
        return *this;
    }

    static std::string Quoted(std::string_view text)
    {
        std::string quoted = "\"";
        for (char c : text) {
            if (c == '"' || c == '\\') {
                quoted += '\\';
                quoted += c;
            } else if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                quoted += escape;
            } else {
                quoted += c;
            }
        }
        return quoted + "\"";
    }

private:
    std::string text_ = "{";
};

template <typename T> std::string Array(const std::vector<T>& items, std::string (*each)(const T&))
{
    std::string text = "[";
    for (size_t i = 0; i < items.size(); ++i)
        text += (i ? "," : "") + each(items[i]);
    return text + "]";
}

std::string Name(std::uint8_t ordinal, std::initializer_list<const char*> names)
{
    return ordinal < names.size() ? Json::Quoted(names.begin()[ordinal]) : std::to_string(ordinal);
}

std::string EndActionName(TWhatToDoWhenVisteloEnds action)
{
    return Name(action,
                {"deAutoRepeat", "deAutoLoadNextVistelo", "deExitImmediately", "deRepeatVistelo",
                 "deRepeatOrLoadVistelo", "deRepeatOrNextVistelo", "deListLikeShow", "deListAutoLoadNext",
                 "deListChooseVistelo", "deOK"});
}

// An element that is JSON already.
std::string Verbatim(const std::string& json) { return json; }

std::string JpegJson(TJPEGImage* jpeg)
{
    if (jpeg == nullptr)
        return "null";
    const std::vector<std::uint8_t>& bytes = jpeg->Data();
    return Json().Int("length", static_cast<std::int64_t>(bytes.size())).Str("sha256", Sha256::Hex(bytes)).Text();
}

std::string FontJson(const TFont* font)
{
    if (font == nullptr)
        return "null";
    return Json()
        .Str("Name", font->Name())
        .Int("Size", font->Size())
        .Color("Color", font->Color())
        .Int("Style", font->Style().Bits())
        .Text();
}

std::string RectJson(const TPlacementRectExt& rect)
{
    return Json()
        .Double("Left", rect.Left)
        .Double("Top", rect.Top)
        .Double("Right", rect.Right)
        .Double("Bottom", rect.Bottom)
        .Text();
}

std::string PictureJson(const std::unique_ptr<TPicInfoObject>& pointer)
{
    TPicInfoObject& e = *pointer;
    return Json()
        .Str("FileName", e.FileName)
        .Str("Comments", e.Comments)
        .Bool("ShowImage", e.ShowImage)
        .Bool("Stretch", e.Stretch)
        .Bool("Proportions", e.Proportions)
        .Bool("Center", e.Center)
        .Bool("ShowComments", e.ShowComments)
        .Raw("CommentAlignment", Name(e.CommentAlignment, {"caCenter", "caLeft", "caRight"}))
        .Raw("CommentPlacement",
             Name(e.CommentPlacement,
                  {"cpPictureTop", "cpPictureMiddle", "cpPictureBottom", "cpNavBar", "cpPictureCaption", "cpUser"}))
        .Raw("CommentUserPlacement", RectJson(e.CommentUserPlacement))
        .Raw("CommentEffects", Name(e.CommentEffects, {"ceNone", "ceBorder", "ceShadow", "ce3DBorder"}))
        .Color("EffectColor1", e.EffectColor1)
        .Color("EffectColor2", e.EffectColor2)
        .Raw("CommentFont", FontJson(e.CommentFont.get()))
        .Int("CommentFontHeight", e.CommentFontHeight)
        .Color("BackgroundColor", e.BackgroundColor)
        .Int("Pause", e.Pause)
        .Int("Blending", e.Blending)
        .Raw("Thumbnail", JpegJson(e.Thumbnail.GetThumbnail()))
        .Int("DateSum", e.DateSum)
        .Str("Keywords", e.Keywords)
        .Str("Sound", e.Sound)
        .Raw("SynchronizeWithSound", Name(e.SynchronizeWithSound, {"ssNoSync", "ssSyncExact", "ssSync"}))
        .Bool("RepeatSound", e.RepeatSound)
        .Bool("DontStopSound", e.DontStopSound)
        .Raw("Placement",
             Name(e.Placement,
                  {"spCenter", "spTopLeft", "spTopCenter", "spTopRight", "spRightCenter", "spBottomRight",
                   "spBottomCenter", "spBottomLeft", "spLeftCenter", "spUser"}))
        .Raw("PicPlacement", RectJson(e.PicPlacement))
        .Raw("SizePercent", Name(e.SizePercent, {"pNone", "pPicture", "pWindow"}))
        .Int("Flags", e.Flags)
        .Text();
}

std::string IntJson(const std::int32_t& value) { return std::to_string(value); }

std::string StringJson(const std::string& value) { return Json::Quoted(value); }

std::string StringListsJson(const TStringList* lists)
{
    if (lists == nullptr)
        return "null";
    std::vector<std::string> entries;
    for (int i = 0; i < lists->Count(); ++i) {
        std::string lines = "null";
        if (const TStringList* inner = VisteloNPics::NamedStringList(*lists, i)) {
            std::vector<std::string> texts;
            for (int k = 0; k < inner->Count(); ++k)
                texts.push_back(inner->Strings(k));
            lines = Array(texts, StringJson);
        }
        entries.push_back(Json().Str("Name", lists->Strings(i)).Raw("Lines", lines).Text());
    }
    return Array(entries, Verbatim);
}

std::string ShowJson(TVistelo& show)
{
    return Json()
        .Raw("Order", Array(show.Order, IntJson))
        .Int("Count", show.Count)
        .Raw("Pictures", Array(show.Pictures, PictureJson))
        .Bool("RandomOrder", show.RandomOrder)
        .Int("CurrentIndex", show.CurrentIndex)
        .Bool("HasThumbnails", show.HasThumbnails)
        .Str("InfoText", show.InfoText)
        .Raw("InfoPicture", JpegJson(show.InfoPicture.get()))
        .Str("InfoTitle", show.InfoTitle)
        .Int("InfoValue", show.InfoValue)
        .Str("AboutText", show.AboutText)
        .Int("Pause", show.Pause)
        .Bool("ShowFilenameInNavigationBar", show.ShowFilenameInNavigationBar)
        .Bool("ShowPleaseWait", show.ShowPleaseWait)
        .Bool("ShowNoDescription", show.ShowNoDescription)
        .Bool("StartFullScreen", show.StartFullScreen)
        .Bool("ShowNavigationBar", show.ShowNavigationBar)
        .Bool("ShowCommentsBox", show.ShowCommentsBox)
        .Bool("PlayMusic", show.PlayMusic)
        .Str("MusicFileNames", show.MusicFileNames)
        .Bool("AutoRewind", show.AutoRewind)
        .Bool("AutoStartMusic", show.AutoStartMusic)
        .Bool("AutoStartSound", show.AutoStartSound)
        .Bool("UseBlendings", show.UseBlendings)
        .Str("LogoFilename", show.LogoFilename)
        .Raw("Logo", Name(show.Logo, {"lNoLogo", "lStdLogo", "lUserLogo"}))
        .Bool("StartImmediately", show.StartImmediately)
        .Raw("EndAction", EndActionName(show.EndAction))
        .Bool("ManualExitToo", show.ManualExitToo)
        .Bool("DontBreakMusic", show.DontBreakMusic)
        .Bool("StopSoundBeforeBlending", show.StopSoundBeforeBlending)
        .Int("LogoPause", show.LogoPause)
        .Raw("StringLists", StringListsJson(show.StringLists.get()))
        .Bool("ScaleFontToScreen", show.ScaleFontToScreen)
        .Int("ReferenceWidth", show.ReferenceWidth)
        .Int("ReferenceHeight", show.ReferenceHeight)
        .Text();
}

std::string ListJson(const TVisteloList& list)
{
    std::vector<std::string> items;
    for (const TListItem* node = list.Items->Head; node != nullptr; node = node->NextItem) {
        const auto& item = static_cast<const TVisteloListItem&>(*node);
        items.push_back(Json().Str("ShowFile", item.ShowFile).Bool("Active", item.Active).Text());
    }
    return Json()
        .Raw("Items", Array(items, Verbatim))
        .Str("Title", list.Title)
        .Str("FileName", list.FileName)
        .Raw("EndAction", EndActionName(list.EndAction))
        .Raw("StartAction", Name(list.StartAction, {"dlsShowList", "dlsPlayFirstVistelo"}))
        .Int("ThumbWidth", list.ThumbWidth)
        .Int("ThumbHeight", list.ThumbHeight)
        .Text();
}

// The process-wide random-transition set, which every show read replaces.
std::int64_t RandomBlendingBits()
{
    std::int64_t bits = 0;
    for (size_t i = 0; i < Blendings::RandomBlendings.size(); ++i)
        if (Blendings::RandomBlendings[i])
            bits |= std::int64_t{1} << i;
    return bits;
}

int Usage()
{
    std::fprintf(stderr, "usage: showdump [--only-info] [--no-thumbnails] FILE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    bool onlyInfo = false;
    bool noThumbnails = false;
    std::string fileName;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--only-info") == 0)
            onlyInfo = true;
        else if (std::strcmp(argv[i], "--no-thumbnails") == 0)
            noThumbnails = true;
        else if (fileName.empty() && argv[i][0] != '-')
            fileName = argv[i];
        else
            return Usage();
    }
    if (fileName.empty())
        return Usage();

    Json output;
    // A list that cannot be read reports it in a message box; answer it at
    // once, as the result says the same.
    ui::BeginDialogScript();
    if (rtl::AnsiSameText(rtl::ExtractFileExt(fileName), ".vsl")) {
        TVisteloList list;
        const bool result = list.LoadFromFile(fileName);
        output.Bool("result", result).Raw("list", ListJson(list));
    } else {
        TVistelo show;
        const TVisteloLoadResult result = show.LoadFromFile(fileName, onlyInfo, noThumbnails);
        output.Raw("result", Name(result, {"dlrOK", "dlrNoVSF"}))
            .Raw("show", ShowJson(show))
            .Int("RandomBlendings", RandomBlendingBits());
    }
    std::printf("%s\n", output.Text().c_str());
    return 0;
}
