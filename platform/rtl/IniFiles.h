#pragma once

// Settings files in the Windows profile format:
//
//   [Section]
//   Key=Value
//
// Sections and keys are found without regard to letter case, and the first
// match wins. Reading strips the blanks around a value and one enclosing pair
// of matching quotes ("..." or '...'). Lines starting with ";" are comments.
// The file is written with CR LF line ends, in Windows-1252 wherever the text
// fits and otherwise as UTF-8 after the byte-order mark (rtl::EncodeFileText),
// and is created on the first write; every write replaces the file
// atomically, so a failed save raises and leaves the previous file intact.

#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TStrings;
namespace rtl {
class WatchedFile;
}

// A name or value that the file format cannot hold (a line break inside it, a
// key with "=" or a section with "]"): writing it would change other entries.
class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

class TCustomIniFile : public TObject {
    DECLARE_CLASS(TCustomIniFile, TObject)
public:
    explicit TCustomIniFile(std::string fileName);
    virtual ~TCustomIniFile();

    const std::string& FileName() const { return fileName_; }

    virtual std::string ReadString(const std::string& section, const std::string& ident,
                                   const std::string& defaultValue) = 0;
    virtual void WriteString(const std::string& section, const std::string& ident, const std::string& value) = 0;

    // Decimal, or hexadecimal after "0x" or "$"; the default when the value
    // is missing or not a number.
    virtual int32_t ReadInteger(const std::string& section, const std::string& ident, int32_t defaultValue);
    virtual void WriteInteger(const std::string& section, const std::string& ident, int32_t value);
    // "0" is false, any other number true; the default when missing or not a number.
    virtual bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue);
    // Written as "1" or "0".
    virtual void WriteBool(const std::string& section, const std::string& ident, bool value);

    virtual bool SectionExists(const std::string& section) = 0;
    virtual bool ValueExists(const std::string& section, const std::string& ident) = 0;

    // The key names of a section, in file order, each once.
    virtual void ReadSection(const std::string& section, TStrings& strings) = 0;
    // The section names of the file, in file order, each once.
    virtual void ReadSections(TStrings& strings) = 0;
    // "Key=Value" for every key of the section, values as ReadString gives them.
    virtual void ReadSectionValues(const std::string& section, TStrings& strings) = 0;
    virtual void EraseSection(const std::string& section) = 0;
    virtual void DeleteKey(const std::string& section, const std::string& ident) = 0;
    // Every change is on the disk when its call returns; nothing is pending.
    virtual void UpdateFile();

private:
    std::string fileName_;
};

// The settings file itself: every read sees the file as it is on the disk
// (it is read again when it changed) and every change is saved at once. A
// file name without a folder lies in the Windows folder (rtl::WindowsDir).
class TIniFile : public TCustomIniFile {
    DECLARE_CLASS(TIniFile, TCustomIniFile)
public:
    explicit TIniFile(const std::string& fileName);
    ~TIniFile() override;

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& defaultValue) override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    bool SectionExists(const std::string& section) override;
    bool ValueExists(const std::string& section, const std::string& ident) override;
    void ReadSection(const std::string& section, TStrings& strings) override;
    void ReadSections(TStrings& strings) override;
    void ReadSectionValues(const std::string& section, TStrings& strings) override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;

private:
    struct Content;
    enum class Use { Reading, Changing };
    // The file's content as it is on the disk now. An unreadable file reads
    // as empty but cannot be changed (that would lose what it holds).
    const Content& Current(Use use);
    // Runs edit on the file's lines (with the current content to find them by)
    // and saves them when edit reports a change.
    void Change(const std::function<bool(const Content&, std::vector<std::string>&)>& edit);

    std::unique_ptr<Content> content_;
    std::unique_ptr<rtl::WatchedFile> file_;
};

namespace rtl {

// An integer stored as text in a settings file: decimal, or hexadecimal after
// "0x" or "$" (up to 32 bits, taken as signed), blanks around it ignored.
// nullopt when the text is no such number.
std::optional<int32_t> ParseIniInteger(std::string_view text);

} // namespace rtl
