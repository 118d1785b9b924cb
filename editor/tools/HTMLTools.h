#pragma once

// Writes one HTML page: a stack of open blocks gives every opening tag its
// closing tag and indents nested blocks; several writes can share one line;
// special characters of texts become entities. The file is Windows-1252 with
// CR LF line breaks, and every line break is written before a tag or text,
// so the file does not end with one.

#include "platform/graphics/Color.h"
#include "platform/rtl/Exceptions.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class EHTMLException : public Exception {
public:
    using Exception::Exception;
};

namespace HTMLTools {

inline constexpr const char* NoBlockOpenText = "CloseBlock: Noch gar kein Block geöffnet";

// The text as the page stores it: Windows-1252 bytes, with the characters of
// the markup table (when Markup) and the letter table (when Letters) as
// entities. Characters Windows-1252 lacks become numeric references.
std::string EncodeText(const std::string& Text, bool Markup, bool Letters);

} // namespace HTMLTools

class THTML {
public:
    // Creates (or overwrites) the file and opens the block "HTML". Raises
    // EFCreateError when the file cannot be created.
    explicit THTML(const std::string& FileName);
    // Closes what is still open; errors are lost here, so callers that
    // report success call Close() first.
    ~THTML();
    THTML(const THTML&) = delete;
    THTML& operator=(const THTML&) = delete;

    // Closes every open block, innermost first, and the file. Raises
    // EWriteError when the file could not be written completely.
    void Close();

    void WriteIndent();
    void WriteTag(const std::string& Tag);
    void WriteTagWithAttributes(const std::string& Tag, const std::string& Attributes);
    void WriteCloseTag(const std::string& Tag);
    void WriteMeta(const std::string& Name, const std::string& Content);
    void OpenBody(const std::string& Background, TColor BG, TColor Text, TColor Link, TColor ALink, TColor VLink);
    // An "A" block on one line; the address is its text when Text is empty.
    void WriteLink(const std::string& Href, const std::string& Text);
    void WriteText(const std::string& Text);
    void WriteTextLine(const std::string& Text);
    void WriteBR();
    void SetSameLine();
    void BeginInline();
    void EndInline();
    void OpenBlock(const std::string& Tag, const std::string& Attributes, std::int32_t Delta);
    void OpenBlockAttr(const std::string& Tag, const std::string& Attributes);
    void OpenBlockPlain(const std::string& Tag);
    // Raises EHTMLException, writing nothing, when no block is open.
    void CloseBlock();

    std::int32_t Indent = 0;
    bool SameLine = false;
    std::int32_t InlineDepth = 0;
    bool IndentWithSpaces = true;
    std::int32_t IndentStep = 2;
    bool ReplaceLetters = true;
    bool ReplaceMarkup = true;

private:
    struct TBlockItem {
        std::string TagName;
        std::int32_t IndentDelta;
    };

    // Tags and attributes are written as given, in Windows-1252.
    void Put(const std::string& Utf8);
    void PutBytes(const std::string& Bytes);

    std::string fileName_;
    std::FILE* outFile_ = nullptr;
    bool failed_ = false;
    std::vector<TBlockItem> blocks_;
};
