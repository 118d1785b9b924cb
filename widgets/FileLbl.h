#pragma once

// A label showing a file path, shortened with "..." in the middle so that
// it fits the label's width.

#include <memory>
#include <string>

#include "platform/rtl/StringList.h"
#include "platform/ui/StdLabel.h"

enum TDirection : std::uint8_t { drFromLeft, drFromRight };

namespace FileLbl {

// Appends the pieces of Text between separators to List, empty ones too.
void sBreakApart(const std::string& Text, const std::string& Separator, TStrings& List);

} // namespace FileLbl

class TFileLabel : public TCustomLabel {
    DECLARE_CLASS(TFileLabel, TCustomLabel)
public:
    explicit TFileLabel(TComponent* AOwner);
    ~TFileLabel() override;

    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& Value);
    const std::string& Separator() const { return separator_; }
    void SetSeparator(const std::string& Value);
    TDirection Direction() const { return direction_; }
    void SetDirection(TDirection Value);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

private:
    void FillParts();
    void AdjustCaption();
    std::string ShortenedPath();

    std::string fileName_;
    std::string separator_ = "\\";
    TDirection direction_ = drFromLeft;
    std::unique_ptr<TStringList> parts_;
    bool hasDrive_ = false;
};
