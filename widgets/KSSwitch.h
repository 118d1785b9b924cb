#pragma once

// An on/off switch drawn from one of two pictures, with an optional caption
// beside the picture and a key that toggles it.

#include <array>
#include <cstdint>
#include <memory>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"

enum TTextPos : std::uint8_t { tpNone, tpLeft, tpRight, tpAbove, tpBelow };

namespace KSSwitch {
// The default pictures "SWITCH_OFF" (0) and "SWITCH_ON" (1), 32 x 48.
std::unique_ptr<TBitmap> DefaultGlyph(int Index);
} // namespace KSSwitch

class TKsSwitch : public TCustomControl {
    DECLARE_CLASS(TKsSwitch, TCustomControl)
public:
    explicit TKsSwitch(TComponent* AOwner);
    ~TKsSwitch() override;

    TBitmap& GlyphOff() { return *glyphs_[0]; }
    TBitmap& GlyphOn() { return *glyphs_[1]; }
    // nullptr puts the default picture back.
    void SetGlyphOff(const TBitmap* Value) { SetGlyph(0, Value); }
    void SetGlyphOn(const TBitmap* Value) { SetGlyph(1, Value); }
    // Bit i is set when picture i (0 off, 1 on) was given by the user; only
    // those are stored with a form.
    std::uint8_t CustomGlyphs() const { return customGlyphs_; }
    bool GlyphStored(int Index) const { return (customGlyphs_ >> Index) & 1; }
    // A form being read is about to fill the picture: it counts as custom.
    TBitmap& GlyphForReading(int Index);
    // The form file's binary "Data": the one byte of CustomGlyphs, written
    // when it differs from the ancestor's (from 0 without one). A short
    // block raises EReadError; bits beyond the two pictures are ignored.
    void WriteData(TStream& Stream) const;
    void ReadData(TStream& Stream);
    bool DataStored(const TKsSwitch* Ancestor) const;

    bool StateOn() const { return stateOn_; }
    void SetStateOn(bool Value);
    void ToggleSwitch() { SetStateOn(!stateOn_); }
    TTextPos TextPosition() const { return textPosition_; }
    void SetTextPosition(TTextPos Value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle Value);
    bool ShowFocus() const { return showFocus_; }
    void SetShowFocus(bool Value);
    TShortCut ToggleKey = VK_SPACE;

    TNotifyEvent OnOn;
    TNotifyEvent OnOff;

    // Where the picture of the current state goes (client coordinates).
    TRect GlyphRect();

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    virtual void DoOn();
    virtual void DoOff();
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void Dispatch(TMessage& Message) override;

private:
    void SetGlyph(int Index, const TBitmap* Value);
    void GlyphChanged(int Index);
    TBitmap& ShownGlyph();
    TRect TextRect(TBitmap& Glyph);

    std::array<std::unique_ptr<TBitmap>, 2> glyphs_;
    std::array<std::unique_ptr<TBitmap>, 2> disabledGlyphs_;
    std::uint8_t customGlyphs_ = 0;
    bool stateOn_ = false;
    TTextPos textPosition_ = tpNone;
    TBorderStyle borderStyle_ = bsNone;
    bool showFocus_ = true;
};
