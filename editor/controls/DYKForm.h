#pragma once

// The window of the tip of the day: a white panel with a bulb, the heading
// and the tip's text, below it the check box and the two buttons. It lives
// for one run of the tip component.

#include <string>

#include "platform/ui/Forms.h"

class TButton;
class TCheckBox;
class TImage;
class TLabel;
class TPanel;
class TRichEdit;
class TStrings;

class TDidYouKnowForm : public TForm {
    DECLARE_CLASS(TDidYouKnowForm, TForm)
public:
    explicit TDidYouKnowForm(TComponent* AOwner);
    ~TDidYouKnowForm() override;

    TPanel* WhitePanel = nullptr;
    TImage* BulbImage = nullptr;
    TLabel* DidYouKnowLabel = nullptr;
    TRichEdit* DidYouKnowEdit = nullptr;
    TCheckBox* ShowTipsCheck = nullptr;
    TButton* NextBtn = nullptr;
    TButton* CloseBtn = nullptr;

    // The component's tip list (not owned).
    TStrings* Tips = nullptr;
    // The tip shown now; -1 before the first.
    int CurrentTip = -1;
    // The title carries the tip's number.
    bool ShowNumber = false;

    // Shows the tip; an index outside the list shows the first tip.
    void ShowTipIndex(int Index);
    void NextTip();
    void SetTipTitle(const std::string& Title);

private:
    std::string title_;
};
