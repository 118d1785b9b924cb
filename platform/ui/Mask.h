#pragma once

// Edits whose text follows a mask: each position takes a letter, a digit,
// any character, or shows a fixed character (a literal). The mask reads
// "positions;save literals;blank": positions use L/l (letter), A/a
// (letter or digit), C/c (any character), 0/9 (digit), # (digit or sign),
// upper case required and lower case optional (0 required, 9 optional),
// > and < for upper and lower case, <> to stop converting, \ before a
// literal that is a mask character; the fields after ";" say whether Text
// keeps the literals ("0": no) and which character shows an empty position
// ("_" by default).

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/ui/StdCtrls.h"

namespace Mask {

struct TToolkitMask {
    std::string Mask;            // positions and blank in the toolkit's notation
    std::vector<bool> IsLiteral; // per shown position
    char Blank = '_';
    bool SaveLiterals = true;
};

// Translates an edit mask; an empty mask stays empty.
TToolkitMask ToolkitMask(const std::string& EditMask);

} // namespace Mask

// Text that does not fill the mask's required positions.
class EDBEditError : public Exception {
public:
    using Exception::Exception;
};

class TCustomMaskEdit : public TCustomEdit {
    DECLARE_CLASS(TCustomMaskEdit, TCustomEdit)
public:
    explicit TCustomMaskEdit(TComponent* AOwner);

    const std::string& EditMask() const { return editMask_; }
    void SetEditMask(const std::string& Value);
    bool IsMasked() const { return !editMask_.empty(); }
    // The text as shown: literals included, empty positions as blanks.
    std::string EditText() const;
    // Raises EDBEditError (and keeps the focus) when a required position is
    // empty; leaving the edit checks it.
    virtual void ValidateEdit();

protected:
    std::unique_ptr<ui::TNativeWidget> MakeNativeWidget() override;
    void NativeWidgetCreated() override;
    void Dispatch(TMessage& Message) override;
    void DoExit() override;

private:
    void ApplyMask();
    // What the widget shows, as Text keeps it: without the blanks, and
    // without the literals unless the mask saves them.
    std::string TextOfWidget() const;

    std::string editMask_;
    Mask::TToolkitMask mask_;
    bool fromWidget_ = false;
};

class TMaskEdit : public TCustomMaskEdit {
    DECLARE_CLASS(TMaskEdit, TCustomMaskEdit)
public:
    explicit TMaskEdit(TComponent* AOwner);
};
