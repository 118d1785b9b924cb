#include "editor/tools/HTMLTools.h"

#include "editor/tools/HTMLPreset.h"
#include "platform/rtl/CodePage.h"

#include <array>
#include <cerrno>

namespace HTMLTools {

namespace {

struct TEntity {
    char32_t Code;
    const char* Name;
};

// Accented letters and the two marks, as HTML 4 names them.
constexpr std::array<TEntity, 61> LetterTable = {{
    {U'à', "agrave"}, {U'è', "egrave"}, {U'ì', "igrave"}, {U'ò', "ograve"}, {U'ù', "ugrave"}, {U'À', "Agrave"},
    {U'È', "Egrave"}, {U'Ì', "Igrave"}, {U'Ò', "Ograve"}, {U'Ù', "Ugrave"}, {U'á', "aacute"}, {U'é', "eacute"},
    {U'í', "iacute"}, {U'ó', "oacute"}, {U'ú', "uacute"}, {U'Á', "Aacute"}, {U'É', "Eacute"}, {U'Í', "Iacute"},
    {U'Ó', "Oacute"}, {U'Ú', "Uacute"}, {U'â', "acirc"},  {U'ê', "ecirc"},  {U'î', "icirc"},  {U'ô', "ocirc"},
    {U'û', "ucirc"},  {U'Â', "Acirc"},  {U'Ê', "Ecirc"},  {U'Î', "Icirc"},  {U'Ô', "Ocirc"},  {U'Û', "Ucirc"},
    {U'ã', "atilde"}, {U'ñ', "ntilde"}, {U'õ', "otilde"}, {U'Ã', "Atilde"}, {U'Ñ', "Ntilde"}, {U'Õ', "Otilde"},
    {U'ä', "auml"},   {U'ë', "euml"},   {U'ï', "iuml"},   {U'ö', "ouml"},   {U'ü', "uuml"},   {U'Ä', "Auml"},
    {U'Ë', "Euml"},   {U'Ï', "Iuml"},   {U'Ö', "Ouml"},   {U'Ü', "Uuml"},   {U'å', "aring"},  {U'Å', "Aring"},
    {U'æ', "aelig"},  {U'ß', "szlig"},  {U'Æ', "AElig"},  {U'Ç', "Ccedil"}, {U'Ð', "ETH"},    {U'Ø', "Oslash"},
    {U'Þ', "THORN"},  {U'ç', "ccedil"}, {U'ð', "eth"},    {U'ø', "oslash"}, {U'þ', "thorn"},  {U'©', "copy"},
    {U'®', "reg"},
}};

std::string MarkupEntity(char32_t code)
{
    switch (code) {
    case U'<': return "&lt;";
    case U'>': return "&gt;";
    case U'&': return "&amp;";
    case U'"': return "&quot;";
    case 173: return "&shy;";
    default: break;
    }
    if ((code >= 161 && code <= 172 && code != 169) || (code >= 175 && code <= 191))
        return "&#" + std::to_string(static_cast<unsigned>(code)) + ";";
    return {};
}

std::string LetterEntity(char32_t code)
{
    for (const TEntity& entity : LetterTable)
        if (entity.Code == code)
            return std::string("&") + entity.Name + ";";
    return {};
}

// Length of the UTF-8 sequence starting with lead (1 for a stray byte).
std::size_t SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead < 0xF8)
        return 4;
    if (lead >= 0xE0)
        return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

char32_t CodeOf(std::string_view sequence)
{
    const auto lead = static_cast<unsigned char>(sequence[0]);
    if (sequence.size() == 1)
        return lead;
    char32_t code = lead & (0xFF >> (sequence.size() + 1));
    for (std::size_t i = 1; i < sequence.size(); ++i)
        code = (code << 6) | (static_cast<unsigned char>(sequence[i]) & 0x3F);
    return code;
}

} // namespace

// One character at a time: the tables never overlap and their entities hold
// only ASCII, so this gives what a markup pass followed by a letter pass gives.
std::string EncodeText(const std::string& Text, bool Markup, bool Letters)
{
    std::string out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size();) {
        std::size_t length = std::min(SequenceLength(static_cast<unsigned char>(Text[i])), Text.size() - i);
        std::string_view sequence(Text.data() + i, length);
        if (!rtl::IsValidUtf8(sequence)) {
            sequence = sequence.substr(0, 1);
            length = 1;
        }
        i += length;
        const char32_t code = CodeOf(sequence);
        std::string entity = Markup ? MarkupEntity(code) : std::string();
        if (entity.empty() && Letters)
            entity = LetterEntity(code);
        if (!entity.empty())
            out += entity;
        else if (rtl::FitsAnsi(sequence) || length == 1)
            out += rtl::Utf8ToAnsi(sequence);
        else
            out += "&#" + std::to_string(static_cast<unsigned>(code)) + ";";
    }
    return out;
}

} // namespace HTMLTools

THTML::THTML(const std::string& FileName) : fileName_(FileName)
{
    outFile_ = std::fopen(FileName.c_str(), "wb");
    if (!outFile_)
        throw EFCreateError("Datei " + FileName + " kann nicht erstellt werden", errno);
    SameLine = true;
    OpenBlock("HTML", "", 0);
}

THTML::~THTML()
{
    try {
        Close();
    } catch (const Exception&) {
    }
}

void THTML::Close()
{
    if (!outFile_)
        return;
    try {
        while (!blocks_.empty())
            CloseBlock();
    } catch (...) {
        std::fclose(outFile_);
        outFile_ = nullptr;
        throw;
    }
    const bool closed = std::fclose(outFile_) == 0;
    outFile_ = nullptr;
    if (failed_ || !closed)
        throw EWriteError("Datei " + fileName_ + " konnte nicht geschrieben werden", errno);
}

void THTML::PutBytes(const std::string& Bytes)
{
    if (!outFile_)
        return;
    if (std::fwrite(Bytes.data(), 1, Bytes.size(), outFile_) != Bytes.size() || std::fflush(outFile_) != 0) {
        failed_ = true;
        throw EWriteError("Datei " + fileName_ + " konnte nicht geschrieben werden", errno);
    }
}

void THTML::Put(const std::string& Utf8) { PutBytes(HTMLTools::EncodeText(Utf8, false, false)); }

void THTML::WriteIndent()
{
    if (!SameLine && InlineDepth == 0)
        PutBytes("\r\n" + std::string(IndentWithSpaces ? static_cast<std::size_t>(std::max(Indent, 0)) : 0, ' '));
    SameLine = false;
}

void THTML::WriteTag(const std::string& Tag) { WriteTagWithAttributes(Tag, ""); }

void THTML::WriteTagWithAttributes(const std::string& Tag, const std::string& Attributes)
{
    WriteIndent();
    Put(Attributes.empty() ? "<" + Tag + ">" : "<" + Tag + " " + Attributes + ">");
}

void THTML::WriteCloseTag(const std::string& Tag)
{
    WriteIndent();
    Put("</" + Tag + ">");
}

void THTML::WriteMeta(const std::string& Name, const std::string& Content)
{
    WriteTagWithAttributes("META", "NAME=\"" + Name + "\" CONTENT=\"" + Content + "\"");
}

void THTML::OpenBody(const std::string& Background, TColor BG, TColor Text, TColor Link, TColor ALink, TColor VLink)
{
    OpenBlock("BODY",
              "BACKGROUND=\"" + Background + "\" BGCOLOR=\"" + ColorToHTML(BG) + "\" TEXT=\"" + ColorToHTML(Text) +
                  "\" LINK=\"" + ColorToHTML(Link) + "\" ALINK=\"" + ColorToHTML(ALink) + "\" VLINK=\"" +
                  ColorToHTML(VLink) + "\"",
              0);
}

void THTML::WriteLink(const std::string& Href, const std::string& Text)
{
    OpenBlockAttr("A", "HREF=\"" + Href + "\"");
    ++InlineDepth;
    WriteText(Text.empty() ? Href : Text);
    CloseBlock();
    EndInline();
}

void THTML::WriteText(const std::string& Text)
{
    WriteIndent();
    PutBytes(HTMLTools::EncodeText(Text, ReplaceMarkup, ReplaceLetters));
}

void THTML::WriteTextLine(const std::string& Text)
{
    WriteText(Text);
    SameLine = true;
    WriteBR();
}

void THTML::WriteBR() { WriteTag("BR"); }

void THTML::SetSameLine() { SameLine = true; }

void THTML::BeginInline() { ++InlineDepth; }

void THTML::EndInline()
{
    if (InlineDepth > 0)
        --InlineDepth;
}

void THTML::OpenBlock(const std::string& Tag, const std::string& Attributes, std::int32_t Delta)
{
    blocks_.push_back({Tag, Delta});
    WriteTagWithAttributes(Tag, Attributes);
    Indent += Delta;
}

void THTML::OpenBlockAttr(const std::string& Tag, const std::string& Attributes)
{
    OpenBlock(Tag, Attributes, IndentStep);
}

void THTML::OpenBlockPlain(const std::string& Tag) { OpenBlock(Tag, "", IndentStep); }

void THTML::CloseBlock()
{
    if (blocks_.empty())
        throw EHTMLException(HTMLTools::NoBlockOpenText);
    const TBlockItem block = blocks_.back();
    blocks_.pop_back();
    Indent -= block.IndentDelta;
    WriteCloseTag(block.TagName);
}
