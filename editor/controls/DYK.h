#pragma once

// The tip of the day: one tip from a list in a small window, a button for
// the next one and a check box that turns the tips at start-up off. The
// component remembers which tip comes next and whether tips are shown; its
// owner keeps both with its settings.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Font.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/StringList.h"

// The tip texts, one per entry; a carriage return inside an entry separates
// its lines.
class TTipStrings : public TStringList {
    DECLARE_CLASS(TTipStrings, TStringList)
};

namespace DYK {

// The lines of a tip: each piece before a carriage return is a line, the
// rest after the last one the last line.
std::vector<std::string> SplitTipLines(const std::string& Tip);
// The window title: "Title (n von count)" with the number, else the title.
std::string TipTitle(const std::string& Title, int CurrentTip, int Count, bool ShowNumber);
// The tip after the current one, the first after the last.
int NextTipIndex(int CurrentTip, int Count);

} // namespace DYK

class TDidYouKnow : public TComponent {
    DECLARE_CLASS(TDidYouKnow, TComponent)
public:
    explicit TDidYouKnow(TComponent* AOwner);
    ~TDidYouKnow() override;

    bool ShowTip = true;
    std::string Title = "Tipp des Tages";
    std::string Caption = "Wussten Sie schon...";
    bool RandomTips = true;
    // The tip shown first; after each run the one after the last shown.
    std::int32_t StartTipNr = 0;
    bool ShowTipNr = false;
    // Shows the window even with ShowTip off (the menu command).
    bool ForceShow = false;

    TTipStrings& Tips() { return *tips_; }
    void SetTips(const TStrings& Value) { tips_->Assign(&Value); }
    TFont& Font() { return *font_; }
    void SetFont(const TFont& Value) { font_->Assign(Value); }

    // Shows the window modally when ShowTip or ForceShow is on; always true.
    bool Execute();

private:
    std::unique_ptr<TTipStrings> tips_;
    std::unique_ptr<TFont> font_;
};
